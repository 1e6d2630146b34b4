"""First start: where the graph window appears, what it is, and that the Exit command ends it."""

import os
import subprocess
import unittest

import harness

GraphWidth = 142
GraphHeight = 43
IdExit = 40008
WindowTimeoutMs = 15000
ExitTimeoutS = 5


class StartupTest(harness.DesktopTestCase):
    def start_fresh(self):
        """Starts a copy of the program in a folder of its own, with no settings file."""
        exe = self.desktop.copy_exe()
        self.assertEqual(os.listdir(os.path.dirname(exe)), [os.path.basename(exe)])
        program = self.desktop.start_program(exe=exe)
        window = self.desktop.wait_window(WindowTimeoutMs)
        self.assertTrue(window.ok, f"no graph window: {window}\n{program.log()}")
        program.windows_pid = window.int("pid")
        return program, window

    def test_window_appears_at_bottom_right_of_work_area(self):
        self.assertEqual(self.desktop.work_area, harness.ShellWorkArea)
        program, window = self.start_fresh()

        left, top = harness.ShellWorkArea[2] - GraphWidth, harness.ShellWorkArea[3] - GraphHeight
        self.assertEqual(
            (window.int("left"), window.int("top"), window.int("right"), window.int("bottom")),
            (left, top, left + GraphWidth, top + GraphHeight), window)
        self.assertEqual((left, top), (882, 705))
        self.assertEqual(window["visible"], "1", window)
        style, exstyle = window.int("style"), window.int("exstyle")
        self.assertTrue(style & harness.WS_POPUP, f"style 0x{style:08x}")
        self.assertTrue(exstyle & harness.WS_EX_TOOLWINDOW, f"exstyle 0x{exstyle:08x}")
        self.assertTrue(exstyle & harness.WS_EX_TOPMOST, f"exstyle 0x{exstyle:08x}")

        shot = self.desktop.screenshot(self.shot_name("desktop"))
        self.assertGreater(os.path.getsize(shot), 0)
        self.assertIsNone(program.poll(), "the program ended by itself")

    def test_exit_command_ends_process_with_code_zero(self):
        program, _ = self.start_fresh()
        posted = self.desktop.command(IdExit)
        self.assertTrue(posted.ok and posted["posted"] == "1", posted)
        try:
            code = program.wait(ExitTimeoutS)
        except subprocess.TimeoutExpired:
            self.fail(f"still running {ExitTimeoutS} s after the Exit command")
        self.assertEqual(code, 0, program.log())
        self.assertFalse(self.desktop.find().ok, "the graph window is still there")

    def test_a_saved_size_starts_painted_with_the_icon_and_its_tooltip(self):
        exe = self.desktop.copy_exe()
        with open(os.path.splitext(exe)[0] + ".ini", "wb") as f:
            f.write(b"[MAIN]\r\nWndPosX=300\r\nWndPosY=200\r\nWndWidth=100\r\n"
                    b"WndHeight=60\r\n")
        program = self.desktop.start_program(exe=exe)
        window = self.desktop.wait_window(WindowTimeoutMs)
        self.assertTrue(window.ok, f"no graph window: {window}\n{program.log()}")
        self.assertEqual((window.int("left"), window.int("top"), window.int("width"),
                          window.int("height")), (300, 200, 100, 60), window)
        picture = self.desktop.grab(self.shot_name("window"), 300, 200, 100, 60)
        self.assertEqual((picture.at(0, 0), picture.at(99, 59)), ((0x80,) * 3, (0x80,) * 3),
                         "the frame is painted")

        icon, _ = self.desktop.find_tray_icon(self.shot_name("tray"))
        self.assertIsNotNone(icon, "the icon graph is in the notification area")
        self.desktop.mousemove(500, 400)
        self.desktop.mousemove(icon[0] + 8, icon[1] + 8)
        tip = harness.wait_for(lambda: self.desktop.probe("tooltip").ok, timeout=10)
        self.desktop.screenshot(self.shot_name("tooltip"))
        self.assertIsNotNone(tip, "hovering over the icon shows its tooltip")
        self.assertIsNone(program.poll(), "the program ended by itself")

    def test_a_place_no_monitor_shows_starts_fully_in_the_work_area(self):
        wl, wt, wr, wb = self.desktop.work_area
        cases = [
            ("far beyond the screen", 3000, 2000, (wr - GraphWidth, wb - GraphHeight)),
            ("left of the screen", -500, 300, (wl, 300)),
            ("a 10 x 10 corner showing", wl - GraphWidth + 10, wt - GraphHeight + 10, (wl, wt)),
        ]
        exe = self.desktop.copy_exe()
        settings = os.path.splitext(exe)[0] + ".ini"
        for what, x, y, place in cases:
            with self.subTest(what):
                with open(settings, "wb") as f:
                    f.write(b"[MAIN]\r\nWndPosX=%d\r\nWndPosY=%d\r\nWndWidth=142\r\n"
                            b"WndHeight=43\r\n" % (x, y))
                program = self.desktop.start_program(exe=exe)
                window = self.desktop.wait_window(WindowTimeoutMs)
                self.assertTrue(window.ok, f"no graph window: {window}\n{program.log()}")
                self.assertEqual((window.int("left"), window.int("top"), window.int("width"),
                                  window.int("height")), place + (GraphWidth, GraphHeight), window)
                self.assertEqual(window["visible"], "1", window)
                picture = self.desktop.grab(self.shot_name(f"{x}.{y}"), *place, GraphWidth,
                                            GraphHeight)
                self.assertEqual((picture.at(0, 0), picture.at(GraphWidth - 1, GraphHeight - 1)),
                                 ((0x80,) * 3, (0x80,) * 3), "the whole frame shows")
                # A person right-clicks it, and its menu opens.
                self.desktop.mousemove(place[0] + 50, place[1] + 20)
                self.desktop.click(3)
                self.assertIsNotNone(harness.wait_for(lambda: self.desktop.probe("menu").ok),
                                     "no menu")
                self.desktop.screenshot(self.shot_name(f"{x}.{y}.menu"))
                self.desktop.key("Escape")
                self.assertIsNotNone(harness.wait_for(lambda: not self.desktop.probe("menu").ok))
                self.desktop.command(IdExit)
                self.assertEqual(program.wait(ExitTimeoutS), 0, program.log())
                with open(settings, "rb") as f:
                    saved = f.read()
                self.assertIn(b"WndPosX=%d\r\nWndPosY=%d\r\n" % place, saved,
                              "the exit saves where the window is")


if __name__ == "__main__":
    unittest.main()

"""The settings window of the running program, opened as a person would (Alt+P on the graph,
"設定(&P)..." in the tray menu), its interval changed by typing and confirmed with OK."""

import os
import re
import time
import unittest

import harness

WindowTimeoutMs = 15000
IdSettings = 40007
IdInterval = 1001  # the main page's interval box
History = (0x00, 0xFF, 0xFF)
Width, Height = 142, 43


class SettingsWindowTest(harness.DesktopTestCase):
    lang = "ja_JP.UTF-8"

    def start(self):
        self.exe = self.desktop.copy_exe()
        self.ini = os.path.splitext(self.exe)[0] + ".ini"
        self.program = self.desktop.start_program(exe=self.exe)
        window = self.desktop.wait_window(WindowTimeoutMs)
        self.assertTrue(window.ok, f"no graph window: {window}\n{self.program.log()}")
        time.sleep(0.5)
        return self.desktop.find()

    def wait_for(self, condition, timeout=5.0):
        return harness.wait_for(condition, timeout) is not None

    def settings(self, control=None):
        args = ["settings"] + ([control] if control else [])
        return self.desktop.probe(*args)

    def samples(self, window):
        """The number of samples the graph shows: the width of its history on row 39."""
        picture = self.desktop.grab(self.shot_name("graph"), window.int("left"),
                                    window.int("top"), Width, Height)
        return picture.row(39).count(History)

    def test_alt_p_opens_the_settings_and_a_new_interval_takes_effect(self):
        window = self.start()
        self.assertTrue(self.desktop.open_settings(window), "no settings window")
        opened = self.settings(IdInterval)
        self.assertEqual(opened.int("count"), 1)
        self.assertEqual(opened["graph_enabled"], "0", "the graph window waits")
        self.assertEqual(opened["ctext"], "1000")
        self.desktop.screenshot(self.shot_name("settings"))

        # A second settings command while it is open does nothing.
        self.desktop.command(IdSettings)
        time.sleep(0.5)
        self.assertEqual(self.settings().int("count"), 1)

        # Type a new interval into the box and press OK.
        box = self.settings(IdInterval)
        self.desktop.mousemove((box.int("cleft") + box.int("cright")) // 2,
                               (box.int("ctop") + box.int("cbottom")) // 2)
        self.desktop.click(1)
        self.desktop.key("End")
        for _ in range(5):
            self.desktop.key("BackSpace")
        self.desktop.xdotool("type", "500")
        self.assertEqual(self.settings(IdInterval)["ctext"], "500")
        before = self.samples(self.desktop.find())
        self.desktop.key("Return")  # the frame's default button is OK
        self.assertTrue(self.wait_for(lambda: not self.settings().ok), "still open")
        self.assertTrue(self.wait_for(lambda: os.path.exists(self.ini)), "no settings file")
        with open(self.ini, "rb") as f:
            self.assertIn(b"\r\nInterval=500\r\n", f.read())
        self.assertEqual(self.desktop.find()["visible"], "1")

        # Twice the pace: about four new samples in two seconds.
        start = self.samples(self.desktop.find())
        time.sleep(2.0)
        grown = self.samples(self.desktop.find()) - start
        self.assertGreaterEqual(grown, 3, f"{grown} samples in 2 s (before: {before})")
        self.assertIsNone(self.program.poll())

    def test_tray_menu_opens_the_settings(self):
        self.start()
        corner, _ = self.desktop.find_tray_icon(self.shot_name("tray"))
        self.assertIsNotNone(corner)
        self.desktop.mousemove(corner[0] + 8, corner[1] + 8)
        time.sleep(0.2)
        self.desktop.click(3)
        self.assertTrue(self.wait_for(lambda: self.desktop.probe("menu").ok), "no menu")
        self.desktop.key("p")
        self.assertTrue(self.wait_for(lambda: self.settings().ok), "no settings window")
        self.desktop.screenshot(self.shot_name("settings"))
        self.desktop.key("Escape")
        self.assertTrue(self.wait_for(lambda: not self.settings().ok), "Escape did not close it")
        self.assertIsNone(self.program.poll())


if __name__ == "__main__":
    unittest.main()

"""Window behaviour with the real pointer and keyboard: dragging and snapping, sizing to the
grid, the hover action, the tray icon's clicks, menu and peek, and a restarted taskbar."""

import os
import subprocess
import time
import unittest

import harness

WindowTimeoutMs = 15000
IdShowGraph = 40002
WS_EX_TOPMOST = 0x8
WS_EX_LAYERED = 0x80000


class ProgramCase(harness.DesktopTestCase):
    """Starts the program and looks at its window and tray icon."""

    def start(self, prop=None, interval=None):
        """Starts a copy of the program, with a settings file holding Prop and Interval when
        given."""
        exe = self.desktop.copy_exe()
        if prop is not None or interval is not None:
            with open(os.path.splitext(exe)[0] + ".ini", "wb") as f:
                f.write(b"[MAIN]\r\n")
                if prop is not None:
                    f.write(b"Prop=%d\r\n" % prop)
                if interval is not None:
                    f.write(b"Interval=%d\r\n" % interval)
        self.program = self.desktop.start_program(exe=exe)
        window = self.desktop.wait_window(WindowTimeoutMs)
        self.assertTrue(window.ok, f"no graph window: {window}\n{self.program.log()}")
        time.sleep(0.5)
        return self.window()

    def window(self):
        found = self.desktop.find()
        self.assertTrue(found.ok, found)
        return found

    def corner(self, window):
        return window.int("left"), window.int("top")

    def wait_for(self, condition, timeout=3.0, step=0.05):
        return harness.wait_for(condition, timeout, step)

    def visible(self):
        return self.window()["visible"] == "1"

    def tray_icon(self):
        corner, _ = self.desktop.find_tray_icon(self.shot_name("tray"))
        self.assertIsNotNone(corner, "no framed graph in the notification area")
        return corner[0] + 8, corner[1] + 8



class BehaviourTest(ProgramCase):
    # ----- moving and sizing -----

    def test_body_drag_snaps_to_the_left_edge_unless_shift_is_held(self):
        window = self.start()
        left, top = self.corner(window)
        grip = (left + 70, top + 25)
        # 9 pixels from the left edge of the work area: within the snapping distance.
        self.desktop.drag(grip, (grip[0] - left + 9, grip[1] - 200))
        self.assertEqual(self.corner(self.window()), (0, top - 200))

        self.desktop.xdotool("keydown", "shift")
        try:
            grip = (70, top - 200 + 25)
            self.desktop.drag(grip, (grip[0] + 9, grip[1]))
        finally:
            self.desktop.xdotool("keyup", "shift")
        self.assertEqual(self.corner(self.window()), (9, top - 200))

    def test_corner_drag_fits_the_height_to_the_grid(self):
        window = self.start()
        left, top = self.corner(window)
        # Away from the work area's edges first, then 5 pixels down at the bottom-right corner.
        self.desktop.drag((left + 70, top + 25), (470, 325))
        window = self.window()
        self.assertEqual(self.corner(window), (400, 300))
        self.desktop.drag((400 + 141, 300 + 42), (400 + 141, 300 + 47))
        window = self.window()
        self.assertEqual((window.int("width"), window.int("height")), (142, 43), window)
        # Ten more rows make one more grid cell.
        self.desktop.drag((400 + 141, 300 + 42), (400 + 141, 300 + 54))
        window = self.window()
        self.assertEqual((window.int("width"), window.int("height")), (142, 53), window)

    # ----- hover -----

    def test_hover_hide_makes_the_window_give_way_to_the_pointer(self):
        window = self.start(prop=0x60F)  # shown, topmost, hover on, hover hides
        left, top = self.corner(window)
        self.desktop.mousemove(500, 300)
        time.sleep(0.3)
        self.desktop.mousemove(left + 70, top + 20)
        self.assertIsNotNone(self.wait_for(lambda: not self.visible()), "not hidden")
        self.desktop.mousemove(500, 300)
        took = self.wait_for(self.visible)
        self.assertIsNotNone(took, "not back after the pointer left")
        self.assertLess(took, 0.6, "back within a few hover ticks")

    def test_hover_fade_turns_the_window_translucent_under_the_pointer(self):
        window = self.start(prop=0x607)  # shown, topmost, hover on, hover fades
        self.assertEqual(window["layered"], "0", window)
        left, top = self.corner(window)
        self.desktop.mousemove(500, 300)
        time.sleep(0.3)
        self.desktop.mousemove(left + 70, top + 20)
        self.assertIsNotNone(self.wait_for(lambda: self.window()["layered"] == "1"))
        under = self.window()
        self.assertEqual(under["alpha"], "204", under)
        self.assertEqual(under["visible"], "1")
        self.desktop.mousemove(500, 300)
        self.assertIsNotNone(self.wait_for(lambda: self.window()["layered"] == "0"),
                             "the layered style is removed when the pointer leaves")

    # ----- the tray icon -----

    def test_tray_clicks_toggle_the_window_and_topmost(self):
        self.start()
        icon = self.tray_icon()
        self.desktop.mousemove(*icon)
        time.sleep(0.2)
        self.desktop.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        self.assertIsNotNone(self.wait_for(lambda: not self.visible()), "double click hides")
        self.desktop.xdotool("click", "--repeat", 2, "--delay", 80, 1)
        self.assertIsNotNone(self.wait_for(self.visible), "double click shows again")

        self.assertTrue(self.window().int("exstyle") & WS_EX_TOPMOST)
        self.desktop.click(2)
        self.assertIsNotNone(
            self.wait_for(lambda: not self.window().int("exstyle") & WS_EX_TOPMOST),
            "middle click clears topmost")
        self.desktop.click(2)
        self.assertIsNotNone(
            self.wait_for(lambda: self.window().int("exstyle") & WS_EX_TOPMOST),
            "middle click sets topmost again")

    def test_peek_shows_the_hidden_window_while_the_pointer_rests_on_the_icon(self):
        # Hidden and topmost. Wine activates a new program's first window even while it is
        # hidden, so the desktop is clicked first, as on a desktop in use.
        self.start(prop=0x602)
        self.assertIsNotNone(self.wait_for(lambda: not self.visible()))
        self.desktop.mousemove(500, 400)
        self.desktop.click(1)
        self.assertIsNotNone(
            self.wait_for(lambda: self.desktop.probe("foreground")["graph"] == "0"))
        icon = self.tray_icon()
        self.desktop.mousemove(icon[0] - 2, icon[1])
        self.desktop.mousemove(*icon)
        took = self.wait_for(self.visible, timeout=3)
        self.assertIsNotNone(took, "the peek did not show the window")
        self.assertGreater(took, 0.2, "not before the hover time")
        self.assertEqual(self.desktop.probe("foreground")["graph"], "0", "shown without activation")
        self.desktop.mousemove(500, 300)
        self.assertIsNotNone(self.wait_for(lambda: not self.visible()), "hidden again")

    def test_icon_comes_back_at_once_after_the_taskbar_restarts(self):
        # A sample once a minute: the icon comes back from the restart's own redraw, as it must
        # when sampling has stopped, not from the next sample's.
        self.start(interval=60000)
        self.tray_icon()
        restart = self.desktop.probe("tray-restart")
        self.assertTrue(restart.ok and restart["deleted"] == "1", restart)
        back = self.wait_for(lambda: self.desktop.find_tray_icon(self.shot_name("back"))[0]
                             is not None, timeout=20)
        self.assertIsNotNone(back, "the icon did not come back")


class MenuTest(ProgramCase):
    """The menus, on a Japanese desktop so that their texts show in the screenshots."""

    lang = "ja_JP.UTF-8"

    def test_tray_menu_opens_by_the_icon_and_its_exit_item_ends_the_program(self):
        self.start()
        icon = self.tray_icon()
        menu = self.desktop.open_tray_menu(*icon)
        self.assertIsNotNone(menu, "no menu opened")
        self.desktop.screenshot(self.shot_name("menu"))
        self.assertGreater(menu.int("bottom") - menu.int("top"), 100, menu)
        # Above and left of the pointer: the taskbar is at the bottom.
        self.assertLessEqual(menu.int("right"), icon[0] + 1, menu)
        self.assertLessEqual(menu.int("bottom"), icon[1] + 1, menu)
        self.desktop.key("x")
        try:
            self.assertEqual(self.program.wait(10), 0, self.program.log())
        except subprocess.TimeoutExpired:
            self.fail("the exit item did not end the program")

    def test_window_menu_opens_at_the_pointer(self):
        window = self.start()
        left, top = self.corner(window)
        point = (left + 50, top + 20)
        self.desktop.mousemove(*point)
        time.sleep(0.2)
        self.desktop.click(3)
        self.assertIsNotNone(self.wait_for(lambda: self.desktop.probe("menu").ok), "no menu")
        menu = self.desktop.probe("menu")
        self.desktop.screenshot(self.shot_name("menu"))
        self.assertGreater(menu.int("bottom") - menu.int("top"), 100, menu)
        # Opened at the click, moved only as far as the screen's edge asks.
        self.assertLessEqual(menu.int("left"), point[0])
        self.assertLessEqual(menu.int("top"), point[1])
        self.assertTrue(menu.int("right") > point[0] or menu.int("bottom") > point[1], menu)
        self.desktop.key("Escape")
        self.assertIsNotNone(self.wait_for(lambda: not self.desktop.probe("menu").ok))
        self.assertIsNone(self.program.poll())


if __name__ == "__main__":
    unittest.main()

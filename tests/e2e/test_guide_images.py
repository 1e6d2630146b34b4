"""The pictures of the user guide, taken from the real program on an English desktop: the graph
window beside the notification area, the tray menu, an alarm's notification, every page of
the settings window and the alarm dialog, and the General page at 150 %. Each shot is checked
for what it must show (the window in its corner, the menu open above the icon, the page of the
tab just chosen, the dialog open over the settings).

The cropped pictures always go to the build's shot folder. When FERRO_GUIDE_IMAGES names a
folder they are also written there as small 8-bit palette PNGs (scripts/guide-images passes
docs/images)."""

import math
import os
import subprocess
import time
import unittest

import harness

ImagesVariable = "FERRO_GUIDE_IMAGES"
WindowTimeoutMs = 15000
Width, Height = 142, 43
Grid = (0x00, 0x00, 0xFF)
Frame = (0x80, 0x80, 0x80)

# A control that only the named page has, as the probe finds it while that page is shown.
IdMainInterval = 1001    # Update &interval
IdCounterPath = 1102     # Counter &path
IdGraphClearText = 1321  # Transparent text bac&kground, graph page only
IdIconClear = 1323       # &Transparent background, icon page only
IdAlarmSettings = 1111   # A&larm Settings...
Pages = [
    ("settings-main", IdMainInterval),
    ("settings-counter", IdCounterPath),
    ("settings-graph", IdGraphClearText),
    ("settings-icon", IdIconClear),
]


class WavyProcessor(harness.ProcFixture):
    """The stand-in /proc of the harness with a processor load that rises and falls (between
    about 10 and 65 %, with a little jitter), so that the window's history has a shape."""

    def __init__(self, folder):
        super().__init__(folder)
        self._busy, self._idle = 1000, 100000

    def _write_stat(self):
        if self._steps:
            percent = 37 + 24 * math.sin(self._steps * 2 * math.pi / 120)
            percent += (self._steps * 37) % 9 - 4
            busy = max(0, min(100, round(percent)))
            self._busy += busy
            self._idle += 100 - busy
        self._write("stat", f"cpu  {self._busy} 0 0 {self._idle} 0 0 0 0 0 0\n"
                            f"cpu0 {self._busy} 0 0 {self._idle} 0 0 0 0 0 0\n")


class GuideShots:
    """What every picture of the guide needs: the program started, shots of the desktop cut
    to a window and saved."""

    lang = "en_US.UTF-8"
    proc_fixture = WavyProcessor

    def setUp(self):
        super().setUp()
        self.images = os.environ.get(ImagesVariable) or None
        if self.images:
            os.makedirs(self.images, exist_ok=True)

    # ----- helpers -----

    def wait_for(self, condition, timeout=5.0):
        return harness.wait_for(condition, timeout) is not None

    def start(self, ini=None):
        exe = self.desktop.copy_exe()
        if ini is not None:
            with open(os.path.splitext(exe)[0] + ".ini", "wb") as f:
                f.write(ini)
        self.program = self.desktop.start_program(exe=exe)
        window = self.desktop.wait_window(WindowTimeoutMs)
        self.assertTrue(window.ok, f"no graph window: {window}\n{self.program.log()}")
        time.sleep(1.5)
        return self.desktop.find()

    def shoot(self, name):
        """The whole desktop now, as a file in the shot folder and as pixels."""
        path = self.desktop.screenshot(self.shot_name(name))
        rgb = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], env=self.desktop.env(),
                             check=True, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL).stdout
        return path, harness.Pixels(rgb, *harness.ScreenSize)

    def save(self, shot, name, box):
        """Crops box (left, top, right, bottom; kept on the screen) out of the screenshot into
        the shot folder and, when asked for, into the guide's folder. Returns the box."""
        left, top = max(0, box[0]), max(0, box[1])
        right, bottom = min(harness.ScreenSize[0], box[2]), min(harness.ScreenSize[1], box[3])
        self.assertGreater(right, left, box)
        self.assertGreater(bottom, top, box)
        crop = ["-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage", "-strip"]
        targets = [(os.path.join(self.desktop.shots_dir, f"guide.{name}.png"), [])]
        if self.images:
            # Few colours on a screen: a palette keeps the files small, without dithering.
            palette = ["+dither", "-colors", "256", "-define", "png:exclude-chunks=date,time"]
            targets.append((os.path.join(self.images, name + ".png"), palette))
        for target, extra in targets:
            out = target if not extra else "PNG8:" + target
            subprocess.run(["convert", shot, *crop, *extra, out], env=self.desktop.env(),
                           check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
        return left, top, right, bottom

    def settings(self, control=None):
        return self.desktop.probe(*(["settings"] + ([control] if control else [])))

    def shown_page(self):
        """The name of the settings page whose own control is visible, or None. Each control
        is asked by a probe of its own, so a switch of pages may be seen half done: the old
        page still shown by one answer and the new one already by the next. That too is None,
        and the callers wait until one page alone is shown."""
        shown = [name for name, control in Pages if self.settings(control)["control"] == "1"]
        return shown[0] if len(shown) == 1 else None


class GuideImagesTest(GuideShots, harness.DesktopTestCase):

    def test_window_beside_the_notification_area(self):
        # A short interval fills the history in seconds; the place is the one the program
        # takes by itself without a settings file, beside the notification area.
        work = harness.ShellWorkArea
        place = (work[2] - Width, work[3] - Height)
        window = self.start(b"[MAIN]\r\nInterval=100\r\nWndPosX=%d\r\nWndPosY=%d\r\n" % place)
        time.sleep(15)
        window = self.desktop.find()
        self.assertEqual(window["visible"], "1", window)
        self.assertEqual((window.int("left"), window.int("top")), place, window)
        icon, _ = self.desktop.find_tray_icon(self.shot_name("tray"))
        self.assertIsNotNone(icon, "no graph in the notification area")

        path, screen = self.shoot("window")
        left, top = place
        self.assertIn(Grid, [screen.at(left + x, top + 25) for x in range(Width)], "grid lines")
        self.assertEqual(screen.at(left, top), Frame, "the frame")
        # The history rises and falls: its top edge is not one straight row.
        tops = set()
        for x in range(10, Width - 10, 8):
            column = [screen.at(left + x, top + y) for y in range(1, Height - 1)]
            tops.add(next((y for y, c in enumerate(column) if c == (0x00, 0xFF, 0xFF)), None))
        self.assertGreater(len(tops - {None}), 2, f"a flat history: {tops}")
        self.save(path, "window", (left - 12, top - 12, harness.ScreenSize[0],
                                   harness.ScreenSize[1]))

    def test_tray_menu(self):
        self.start()
        icon, _ = self.desktop.find_tray_icon(self.shot_name("tray"))
        self.assertIsNotNone(icon, "no graph in the notification area")
        menu = self.desktop.open_tray_menu(icon[0] + 8, icon[1] + 8)
        self.assertIsNotNone(menu, "no menu")
        # Off the icon, so that its tooltip goes, and not over the menu, which would highlight
        # an item: on the empty taskbar to the left.
        self.desktop.mousemove(menu.int("left") - 40, icon[1] + 8)
        time.sleep(1.0)
        self.assertTrue(self.desktop.probe("menu").ok, "the menu closed")
        self.assertGreater(menu.int("bottom") - menu.int("top"), 100, menu)
        self.assertLessEqual(menu.int("bottom"), icon[1] + 9, "above the icon")
        path, _ = self.shoot("tray-menu")
        self.save(path, "tray-menu", (menu.int("left"), menu.int("top"), menu.int("right"),
                                      menu.int("bottom")))
        self.desktop.key("Escape")
        self.assertTrue(self.wait_for(lambda: not self.desktop.probe("menu").ok), "still open")
        self.assertIsNone(self.program.poll())

    def test_notification(self):
        # An alarm at or above 30, which the rising load passes at once, started with the
        # program, firing once with the notification's default text.
        self.start(b"[COUNTER1]\r\nAlarmFlag=0x00005033\r\nAlarmBorder=30\r\n")
        self.assertTrue(self.wait_for(lambda: self.desktop.probe("balloon").ok, timeout=15),
                        "no notification")
        balloon = self.desktop.probe("balloon")
        self.assertIn("(threshold%u002030)", balloon["text"])
        path, _ = self.shoot("notification")
        self.save(path, "notification", (balloon.int("left") - 12, balloon.int("top") - 12,
                                         harness.ScreenSize[0], harness.ScreenSize[1]))
        self.assertIsNone(self.program.poll())

    def test_settings_pages_and_alarm_dialog(self):
        window = self.start()
        self.assertTrue(self.desktop.open_settings(window), "no settings window")
        time.sleep(0.5)
        frame = self.settings()
        box = tuple(frame.int(k) for k in ("left", "top", "right", "bottom"))

        for index, (name, _) in enumerate(Pages):
            if index:
                self.desktop.key("ctrl+Tab")
                self.assertTrue(self.wait_for(lambda: self.shown_page() == name),
                                f"{name} is not shown")
                time.sleep(0.4)
            self.assertEqual(self.shown_page(), name)
            path, _ = self.shoot(name)
            self.save(path, name, box)
            if name == "settings-counter":
                self.alarm_dialog(box)

        self.desktop.key("Escape")  # the settings window's Cancel
        self.assertTrue(self.wait_for(lambda: not self.settings().ok), "still open")
        self.assertIsNone(self.program.poll())

    def alarm_dialog(self, frame):
        """Opens the alarm dialog from the counter page, fills in the beep of the guide's
        second recipe, takes its picture and cancels it."""
        self.desktop.key("alt+a")  # Use an &alarm: enables the button
        button = self.settings(IdAlarmSettings)
        self.assertEqual(button["control"], "1", button)
        time.sleep(0.3)
        _, before = self.shoot("alarm-before")
        self.desktop.key("alt+l")  # A&larm Settings...
        time.sleep(1.0)
        steps = [
            ("key", "alt+s"),                    # &Start the alarm when the program starts
            ("key", "alt+h"), ("type", "90"),    # Thres&hold
            ("key", "alt+c"), ("key", "Home"), ("key", "Down"),  # &Comparison: At or above
            ("key", "alt+d"), ("type", "10000"),  # &Duration
        ]
        for kind, text in steps:
            self.desktop.xdotool(kind, text)
            time.sleep(0.15)
        time.sleep(0.5)
        path, after = self.shoot("alarm")

        # The dialog is what changed in the work area, apart from the graph window's samples
        # (the taskbar changes too: its button and the tray icon).
        graph = self.desktop.find()
        skip = (graph.int("left"), graph.int("top"), graph.int("right"), graph.int("bottom"))
        stride = harness.ScreenSize[0] * 3
        rows, columns_outside = [], []
        for y in range(self.desktop.work_area[3]):
            if before.rgb[y * stride:(y + 1) * stride] == after.rgb[y * stride:(y + 1) * stride]:
                continue
            changed = [x for x in range(harness.ScreenSize[0])
                       if before.at(x, y) != after.at(x, y) and
                       not (skip[0] <= x < skip[2] and skip[1] <= y < skip[3])]
            if changed:
                rows.append(y)
                # The settings window's caption turns inactive: the dialog's own width shows
                # on the rows above and below the settings window.
                if not frame[1] <= y < frame[3]:
                    columns_outside += [changed[0], changed[-1]]
        self.assertTrue(rows, "nothing changed: no alarm dialog")
        columns = columns_outside or [x for y in rows for x in range(harness.ScreenSize[0])
                                      if before.at(x, y) != after.at(x, y)]
        dialog = (min(columns), rows[0], max(columns) + 1, rows[-1] + 1)
        width, height = dialog[2] - dialog[0], dialog[3] - dialog[1]
        self.assertTrue(200 < width < 600 and 250 < height < 700, f"dialog {dialog}")
        # Centred on the settings window.
        self.assertLessEqual(abs((dialog[0] + dialog[2]) - (frame[0] + frame[2])), 4, dialog)
        self.assertLessEqual(abs((dialog[1] + dialog[3]) - (frame[1] + frame[3])), 4, dialog)
        self.save(path, "alarm", dialog)

        self.desktop.key("Escape")  # the alarm dialog's Cancel
        time.sleep(0.5)
        self.assertTrue(self.settings().ok, "the settings window stays open")


class GuideImagesAt150(GuideShots, harness.DesktopTestCase):
    dpi = 144

    def test_general_page(self):
        window = self.start()
        self.assertTrue(self.desktop.open_settings(window), "no settings window")
        self.assertTrue(self.wait_for(lambda: self.shown_page() == "settings-main"))
        time.sleep(0.5)
        frame = self.settings()
        box = tuple(frame.int(k) for k in ("left", "top", "right", "bottom"))
        self.assertGreater(box[2] - box[0], 600, f"not drawn at 150 %: {frame}")
        path, _ = self.shoot("settings-main-150")
        self.save(path, "settings-main-150", box)
        self.desktop.key("Escape")
        self.assertTrue(self.wait_for(lambda: not self.settings().ok), "still open")


if __name__ == "__main__":
    unittest.main()

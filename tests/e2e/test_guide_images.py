"""The pictures of the user guides, taken from the real program on an English desktop and on a
Japanese one: the graph window beside the notification area, the window enlarged with its parts
labelled and with its move and resize zones marked, the tray menu, an alarm's notification,
every page of the settings window and the alarm dialog, and the General page at 150 %. Each
shot is checked for what it must show (the window in its corner, the menu open above the icon,
the page of the tab just chosen, the dialog open over the settings). The Japanese pictures are
named NAME.ja.png.

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
# The first program of a fresh prefix waits for Wine to list every font of the machine.
FontListTimeoutS = 120
Width, Height = 142, 43
Grid = (0x00, 0x00, 0xFF)
Frame = (0x80, 0x80, 0x80)
HistoryLine = (0x00, 0xFF, 0xFF)
# The enlarged pictures of the window: each window pixel is Zoom pixels, with room around it
# for the labels.
Zoom = 4
Margin = (40, 64)
Fonts = {"en": "DejaVu-Sans", "ja": "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"}
Ink = "#b00020"
# The parts of the window the labelled picture names, in the words of the Graph tab.
PartNames = {
    "en": {"text": "Text", "grid": "Grid lines", "frame": "Frame",
           "fill": "History fill", "line": "History line", "latest": "Latest value column"},
    "ja": {"text": "文字", "grid": "背景線", "frame": "グラフ枠",
           "fill": "履歴色（塗り）", "line": "履歴線", "latest": "最新値の列"},
}
ZoneNames = {
    "en": {"edge": "Edge: drag to resize", "corner": "Corner: drag to resize both ways",
           "body": "Anywhere else: drag to move"},
    "ja": {"edge": "辺：ドラッグでサイズ変更", "corner": "角：ドラッグで縦横にサイズ変更",
           "body": "内側：ドラッグで移動"},
}
# The window's sizing border and the length of its corners along each edge, at 100 %.
SizingBorder, SizingCorner = 2, 6

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
    language = "en"
    suffix = ""
    proc_fixture = WavyProcessor
    # Access keys of the alarm steps that differ between the languages.
    threshold_key = "alt+h"
    # How a notification's default text names the threshold of 30.
    threshold_text = "(threshold 30)"

    def setUp(self):
        super().setUp()
        # Marlett draws the caption buttons and Tahoma the dialogs' text; without them the
        # pictures would show letters for buttons and another face.
        for face in ("Marlett", "Tahoma"):
            found = self.desktop.probe("font", face, timeout=FontListTimeoutS)
            self.assertTrue(found.ok, f"no {face} in the prefix")
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
        self.picture(shot, name, ["-crop", f"{right - left}x{bottom - top}+{left}+{top}",
                                  "+repage"])
        return left, top, right, bottom

    def picture(self, source, name, steps):
        """Writes source, changed by the ImageMagick steps, as the picture name (of this
        language) into the shot folder and, when asked for, into the guide's folder."""
        name += self.suffix
        targets = [(os.path.join(self.desktop.shots_dir, f"guide.{name}.png"), [])]
        if self.images:
            # Few colours on a screen: a palette keeps the files small, without dithering.
            palette = ["+dither", "-colors", "256", "-define", "png:exclude-chunks=date,time"]
            targets.append((os.path.join(self.images, name + ".png"), palette))
        for target, extra in targets:
            out = target if not extra else "PNG8:" + target
            subprocess.run(["convert", source, *steps, "-strip", *extra, out],
                           env=self.desktop.env(), check=True, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

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

    def test_window_parts_and_zones(self):
        # A latest-value column 6 pixels wide, which the default width of 0 does not draw.
        work = harness.ShellWorkArea
        place = (work[2] - Width, work[3] - Height)
        self.start(b"[MAIN]\r\nInterval=100\r\nWndPosX=%d\r\nWndPosY=%d\r\n"
                   b"[GRAPH1]\r\nLastWidth=6\r\n" % place)
        time.sleep(15)
        window = self.desktop.find()
        self.assertEqual((window.int("left"), window.int("top")), place, window)
        path, screen = self.shoot("window-parts")
        left, top = place

        def at(x, y):
            return screen.at(left + x, top + y)

        # Where each part is, found in the pixels: the history's top edge in a middle column,
        # a grid pixel of the plot, the latest-value column left of the right frame.
        middle = Width // 2
        line_y = next((y for y in range(14, Height - 1) if at(middle, y) == HistoryLine), None)
        self.assertIsNotNone(line_y, "no history line in the middle column")
        # A pixel of a row line with the black background above and below it.
        black = (0, 0, 0)
        grid = next(((x, y) for y in range(14, Height - 2) for x in range(middle - 8, 8, -1)
                     if at(x, y) == Grid and at(x, y - 1) == black and at(x, y + 1) == black
                     and at(x - 1, y) == Grid and at(x + 1, y) == Grid), None)
        self.assertIsNotNone(grid, "no grid pixel")
        # The fill where the history is highest, halfway down.
        tops = [(next((y for y in range(1, Height - 1) if at(x, y) == HistoryLine), Height), x)
                for x in range(10, Width - 20)]
        top_y, fill_x = min(tops)
        self.assertLess(top_y, Height - 6, "no history to fill")
        latest = Width - 1 - 3
        self.assertNotEqual(at(latest, Height - 4), at(Width - 12, 2), "no latest column")
        self.assertEqual(at(0, Height // 2), Frame, "the frame")
        parts = [("text", (10, 6), "top"), ("grid", grid, "top"),
                 ("frame", (Width * 3 // 4, 0), "top"),
                 ("fill", (fill_x, (top_y + Height - 2) // 2), "bottom"),
                 ("line", (middle, line_y), "bottom"), ("latest", (latest, Height - 6), "bottom")]
        crop = ["-crop", f"{Width}x{Height}+{left}+{top}", "+repage", "-scale", f"{Zoom * 100}%"]
        self.picture(path, "window-parts",
                     crop + self.callouts([(PartNames[self.language][k], p, side)
                                           for k, p, side in parts]))

        # The zones: the sizing border on every edge, its corners, the body that moves.
        band, corner = SizingBorder * Zoom, SizingCorner * Zoom
        w, h = Width * Zoom, Height * Zoom
        edges = [(0, 0, w, band), (0, h - band, w, h), (0, 0, band, h), (w - band, 0, w, h)]
        corners = []
        for x0, x1 in ((0, corner), (w - corner, w)):
            for y0, y1 in ((0, band), (h - band, h)):
                corners.append((x0, y0, x1, y1))
        for y0, y1 in ((0, corner), (h - corner, h)):
            for x0, x1 in ((0, band), (w - band, w)):
                corners.append((x0, y0, x1, y1))
        marks = ["-fill", "rgba(255,150,0,0.85)"]
        marks += [a for r in edges for a in ("-draw", "rectangle %d,%d %d,%d" % (
            r[0], r[1], r[2] - 1, r[3] - 1))]
        marks += ["-fill", "rgba(200,0,40,0.95)"]
        marks += [a for r in corners for a in ("-draw", "rectangle %d,%d %d,%d" % (
            r[0], r[1], r[2] - 1, r[3] - 1))]
        names = ZoneNames[self.language]
        zones = [(names["edge"], (Width // 2, 0), "top"),
                 (names["corner"], (Width - 1, Height - 1), "bottom"),
                 (names["body"], (Width // 3, Height // 2 + 4), "bottom")]
        self.picture(path, "window-zones", crop + marks + self.callouts(zones))

    def callouts(self, labels):
        """ImageMagick steps that put a white margin around the enlarged window and, for each
        (text, window pixel, side), the text above or below it with a line to the pixel."""
        mx, my = Margin
        steps = ["-bordercolor", "white", "-border", f"{mx}x{my}"]
        width = Width * Zoom + 2 * mx
        by_side = {"top": [], "bottom": []}
        for text, point, side in labels:
            by_side[side].append((text, point))
        for side, items in by_side.items():
            items.sort(key=lambda item: item[1][0])
            for index, (text, (x, y)) in enumerate(items):
                px, py = mx + x * Zoom + Zoom // 2, my + y * Zoom + Zoom // 2
                # Labels of one side spread over the width, left to right as their points are;
                # the last of three is put against the right margin.
                column = mx + index * (Width * Zoom) // max(3, len(items))
                label_y = 24 if side == "top" else my + Height * Zoom + 40
                end_y = label_y + 6 if side == "top" else label_y - 18
                anchor_x = column + 12
                gravity = "NorthWest"
                if index == len(items) - 1 and len(items) >= 3:
                    anchor_x = width - mx - 12
                    gravity = "NorthEast"
                    column = mx
                steps += ["-stroke", Ink, "-strokewidth", "2", "-fill", "none",
                          "-draw", f"line {anchor_x},{end_y} {px},{py}",
                          "-fill", Ink, "-draw", f"circle {px},{py} {px + 3},{py}",
                          "-stroke", "none", "-fill", "black", "-font",
                          Fonts[self.language], "-pointsize", "15", "-gravity", gravity,
                          "-annotate", f"+{column}+{label_y - 16}", text,
                          "-gravity", "NorthWest"]
        return steps

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
        # The default text ends in the threshold, in the words of the program's language.
        self.assertIn(self.threshold_text, harness.word(balloon["text"]))
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
            ("key", self.threshold_key), ("type", "90"),  # Thres&hold, 閾値(&V)
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
    wide_at_150 = 650

    def test_general_page(self):
        window = self.start()
        self.assertTrue(self.desktop.open_settings(window), "no settings window")
        self.assertTrue(self.wait_for(lambda: self.shown_page() == "settings-main"))
        time.sleep(0.5)
        frame = self.settings()
        box = tuple(frame.int(k) for k in ("left", "top", "right", "bottom"))
        # The English window is 503 pixels wide at 100 %, the Japanese one 361.
        self.assertGreater(box[2] - box[0], self.wide_at_150, f"not drawn at 150 %: {frame}")
        path, _ = self.shoot("settings-main-150")
        self.save(path, "settings-main-150", box)
        self.desktop.key("Escape")
        self.assertTrue(self.wait_for(lambda: not self.settings().ok), "still open")


class JapaneseGuideImages(GuideImagesTest):
    lang = "ja_JP.UTF-8"
    language = "ja"
    suffix = ".ja"
    threshold_key = "alt+v"
    threshold_text = "(閾値 30)"


class JapaneseGuideImagesAt150(GuideImagesAt150):
    lang = "ja_JP.UTF-8"
    language = "ja"
    suffix = ".ja"
    wide_at_150 = 500


if __name__ == "__main__":
    unittest.main()

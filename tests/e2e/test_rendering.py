"""Rendering: the running program shows its frame, grid, caption and the live processor graph,
and the vertical grid lines move left with the samples."""

import time
import unittest

import harness

WindowTimeoutMs = 15000
Width, Height = 142, 43

Frame = (0x80, 0x80, 0x80)
Grid = (0x00, 0x00, 0xFF)
Background = (0x00, 0x00, 0x00)
History = (0x00, 0xFF, 0xFF)
Caption = (0xFF, 0xFF, 0xFF)

# The harness's stand-in processor is 5 % busy; with the default full scale of 100 on a
# plot of 40 steps above the baseline row 41 it lands 2 rows up.
ValueRow = 41 - harness.ProcFixture.ProcessorPercent * 40 // 100
# Between two horizontal grid lines and below the caption: only vertical lines cross it.
OpenRow = 25


class RenderingTest(harness.DesktopTestCase):
    def look(self, what):
        # Asked again each time: the first answer may come while the window is still being
        # placed during its creation.
        window = self.desktop.find()
        self.assertTrue(window.ok, window)
        self.assertEqual(window["visible"], "1", window)
        return self.desktop.grab(self.shot_name(what), window.int("left"), window.int("top"),
                                 Width, Height)

    def check_picture(self, picture):
        """Checks the fixed parts of the default picture and returns the number of samples
        shown, which the history's width gives."""
        for x in range(Width):
            self.assertEqual(picture.at(x, 0), Frame, f"top frame at {x}")
            self.assertEqual(picture.at(x, Height - 1), Frame, f"bottom frame at {x}")
        for y in range(Height):
            self.assertEqual(picture.at(0, y), Frame, f"left frame at {y}")
            self.assertEqual(picture.at(Width - 1, y), Frame, f"right frame at {y}")
        for y in (1, 11, 21, 31):
            self.assertEqual(picture.at(100, y), Grid, f"horizontal grid line on row {y}")
        self.assertEqual(picture.at(1, 41), Grid, "the baseline is a grid line")

        caption = [picture.at(x, y) for y in range(3, 17) for x in range(3, 60)]
        self.assertGreater(caption.count(Caption), 20, "the caption's glyphs")

        samples = picture.row(ValueRow).count(History)
        self.assertGreater(samples, 0, "the processor's value is drawn")
        self.assertEqual(picture.at(Width - 2, ValueRow), History, "the newest sample")
        self.assertNotEqual(picture.at(Width - 2, ValueRow - 1), History, "above the value")
        self.assertEqual(picture.at(Width - 2, 41), History, "filled down to the baseline")

        # The vertical lines start on the columns 10, 20, ... 140 and step one column left
        # with every sample.
        lines = [x for x in range(1, Width - 1) if picture.at(x, OpenRow) == Grid]
        expected = [x for x in range(1, Width - 1) if x % 10 == (-samples) % 10]
        self.assertEqual(lines, expected, f"vertical grid lines after {samples} samples")
        for x in range(1, Width - 1):
            if x not in lines:
                self.assertEqual(picture.at(x, OpenRow), Background, f"background at {x}")
        return samples

    def test_default_window_shows_the_live_processor_graph(self):
        exe = self.desktop.copy_exe()
        program = self.desktop.start_program(exe=exe)
        window = self.desktop.wait_window(WindowTimeoutMs)
        self.assertTrue(window.ok, f"no graph window: {window}\n{program.log()}")
        time.sleep(2.5)
        first = self.check_picture(self.look("early"))
        time.sleep(3)
        later = self.check_picture(self.look("later"))
        self.assertGreater(later, first, "more samples, further moved grid")

        # The tray icon: the same graph at 16 x 16, frame 8, grid 12 every 5 pixels on rows
        # 4, 9 and 14, history 14; 5 % of 13 steps stays on the baseline.
        corner, bar = self.desktop.find_tray_icon(self.shot_name("tray"))
        self.assertIsNotNone(corner, "no framed graph in the notification area")
        x, y = corner[0], corner[1] - self.desktop.work_area[3]
        for row in (4, 9):
            self.assertEqual(bar.at(x + 7, y + row), Grid, f"grid line on icon row {row}")
        self.assertEqual(bar.at(x + 14, y + 14), History, "the newest sample at the baseline")
        self.assertIsNone(program.poll(), "the program ended by itself")


if __name__ == "__main__":
    unittest.main()

"""Settings file: written beside the program (or where the command line says) when it exits,
read at the next start, and left untouched when Shift is held while it exits."""

import os
import re
import time
import unittest

import harness

IdExit = 40008
WindowTimeoutMs = 15000
ExitTimeoutS = 10
DefaultSettings = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data",
                               "default_settings.ini")


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


class ProgramRuns(harness.DesktopTestCase):
    """Starting the program beside a settings file and ending it with the Exit command."""

    def start(self, exe, args=()):
        program = self.desktop.start_program(args=args, exe=exe)
        window = self.desktop.wait_window(WindowTimeoutMs)
        self.assertTrue(window.ok, f"no graph window: {window}\n{program.log()}")
        return program, window

    def exit(self, program):
        self.exit_program(program, ExitTimeoutS)

    def expected_file(self, window):
        """The defaults as the program writes them, with the window's corner as its place."""
        text = read_bytes(DefaultSettings)
        text = text.replace(b"WndPosX=1138\r\n", b"WndPosX=%d\r\n" % window.int("left"))
        return text.replace(b"WndPosY=721\r\n", b"WndPosY=%d\r\n" % window.int("top"))


class SettingsTest(ProgramRuns):
    def test_exit_writes_the_defaults_beside_the_program_and_the_next_start_reads_them(self):
        exe = self.desktop.copy_exe()
        settings = os.path.splitext(exe)[0] + ".ini"
        program, window = self.start(exe)
        self.assertFalse(os.path.exists(settings))
        self.exit(program)
        self.assertEqual(read_bytes(settings), self.expected_file(window))

        # The next start takes its place from the file.
        moved = re.sub(rb"WndPosX=\d+", b"WndPosX=300", read_bytes(settings))
        moved = re.sub(rb"WndPosY=\d+", b"WndPosY=200", moved)
        with open(settings, "wb") as f:
            f.write(moved)
        program, window = self.start(exe)
        self.assertEqual((window.int("left"), window.int("top")), (300, 200), window)
        self.exit(program)
        self.assertEqual(read_bytes(settings), moved)

    def test_program_without_extension_in_a_dotted_folder(self):
        exe = self.desktop.copy_exe("v1.2")
        bare = os.path.splitext(exe)[0]
        os.rename(exe, bare)
        program, window = self.start(bare)
        self.exit(program)
        self.assertEqual(read_bytes(bare + ".ini"), self.expected_file(window))

    def test_settings_path_with_a_blank_on_the_command_line(self):
        exe = self.desktop.copy_exe()
        folder = os.path.join(self.desktop.run_dir, "my settings")
        os.makedirs(folder)
        settings = os.path.join(folder, "mon.INI")
        # The rest of the command line is the path, blanks and all, without quotes: the
        # blank splits it into two arguments here and Wine joins them with one blank again.
        program, window = self.start(exe, args=harness.windows_path(settings).split(" "))
        self.exit(program)
        self.assertEqual(read_bytes(settings), self.expected_file(window))
        self.assertFalse(os.path.exists(os.path.splitext(exe)[0] + ".ini"))

    def test_exit_with_shift_held_leaves_the_file_as_it_was(self):
        exe = self.desktop.copy_exe()
        settings = os.path.splitext(exe)[0] + ".ini"
        before = b"; kept as it is\r\n[MAIN]\r\nInterval=2000\r\n"
        with open(settings, "wb") as f:
            f.write(before)
        program, _ = self.start(exe)
        self.desktop.xdotool("keydown", "shift")
        try:
            time.sleep(0.3)
            self.exit(program)
        finally:
            self.desktop.xdotool("keyup", "shift")
        self.assertEqual(read_bytes(settings), before)

    def test_a_save_that_fails_at_exit_is_reported_and_the_program_ends_after_it(self):
        exe = self.desktop.copy_exe()
        # The host's /proc takes no new file, even when the tests run with every right on the
        # host's own folders.
        program, _ = self.start(exe, args=["Z:\\proc\\ferrogauge.ini"])
        posted = self.desktop.command(IdExit)
        self.assertTrue(posted.ok and posted["posted"] == "1", posted)
        box = lambda: self.desktop.probe("ping").values.get("message_box") == "1"
        self.assertIsNotNone(harness.wait_for(box, timeout=10), "no message box at exit")
        self.desktop.screenshot("save_failed_at_exit")
        self.assertIsNone(program.poll(), "the program waits for the box to be answered")
        self.desktop.key("Return")
        self.assertEqual(program.wait(ExitTimeoutS), 0, program.log())


IdStart = 40001
IdShowGraph = 40002
IdInterval = 1001  # the main page's interval box
Title = "\uff23\uff30\uff35\u8ca0\u8377"  # ＣＰＵ負荷
White = (0xFF, 0xFF, 0xFF)  # the caption's colour
Utf8Mark = b"\xef\xbb\xbf"


class EncodedSettingsTest(ProgramRuns):
    """A settings file in UTF-8 with its mark shows the same as one in the ANSI code page."""

    lang = "ja_JP.UTF-8"

    def caption(self, window, what):
        """The caption's pixels once the picture stands still."""
        def grab():
            picture = self.desktop.grab(self.shot_name(what), window.int("left"),
                                        window.int("top"), window.int("width"),
                                        window.int("height"))
            return {(x, y) for y in range(picture.height) for x in range(picture.width)
                    if picture.at(x, y) == White}

        shots = [grab()]
        harness.wait_for(lambda: shots.append(grab()) or shots[-1] == shots[-2], timeout=5)
        return shots[-1]

    def run_with(self, folder, settings_bytes):
        """Starts the program on settings_bytes and returns its caption pixels, the interval
        its settings window shows and the file it saved at exit."""
        exe = self.desktop.copy_exe(folder)
        settings = os.path.splitext(exe)[0] + ".ini"
        with open(settings, "wb") as f:
            f.write(settings_bytes)
        program, window = self.start(exe)
        # Sampling stopped and the window shown anew: the caption with "---", as in every run.
        self.desktop.command(IdStart)
        self.desktop.command(IdShowGraph)
        self.desktop.command(IdShowGraph)
        self.assertTrue(harness.wait_for(lambda: self.desktop.find()["visible"] == "1"))
        caption = self.caption(window, folder)
        self.assertTrue(self.desktop.open_settings(window), "no settings window")
        interval = self.desktop.probe("settings", IdInterval)["ctext"]
        self.desktop.key("Escape")
        self.assertIsNotNone(harness.wait_for(lambda: not self.desktop.probe("settings").ok))
        self.exit(program)
        return caption, interval, read_bytes(settings)

    def test_a_file_with_the_utf8_mark_is_read_and_saved_as_utf8(self):
        body = "[MAIN]\r\nInterval=500\r\n\r\n[COUNTER1]\r\nTitle=%s\r\n" % Title
        ansi_caption, ansi_interval, _ = self.run_with("ansi", body.encode("cp932"))
        utf8 = Utf8Mark + body.encode("utf-8")
        caption, interval, saved = self.run_with("utf8", utf8)

        self.assertEqual((ansi_interval, interval), ("500", "500"))
        self.assertGreater(len(ansi_caption), 40, "the title is drawn")
        self.assertEqual(caption, ansi_caption, "the same title in the same place")
        self.assertTrue(saved.startswith(Utf8Mark + b"[MAIN]\r\nInterval=500\r\n"), saved[:40])
        self.assertEqual(saved.count(b"[MAIN]"), 1)
        self.assertIn(b"\r\nTitle=" + Title.encode("utf-8") + b"\r\n", saved)

if __name__ == "__main__":
    unittest.main()

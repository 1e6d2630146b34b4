"""Alarms in the running program: a log line at every firing, stopped and started again by
the menu command; a sound alarm that never loads a winmm.dll planted beside the program; a
notification from the tray icon."""

import os
import shutil
import time
import unittest

import harness

WindowTimeoutMs = 15000
IdAlarm = 40018
Planted = os.path.join(os.environ.get("FERRO_BUILD", ""), "tests", "win", "planted.dll")



class AlarmTest(harness.DesktopTestCase):
    def start_with_alarm(self, flag, alarm_file, option=""):
        exe = self.desktop.copy_exe()
        with open(os.path.splitext(exe)[0] + ".ini", "wb") as f:
            f.write(b"[COUNTER1]\r\nAlarmFlag=0x%08X\r\nAlarmFile=%s\r\nAlarmOption=%s\r\n" %
                    (flag, harness.windows_path(alarm_file).encode(), option.encode()))
        program = self.desktop.start_program(exe=exe)
        window = self.desktop.wait_window(WindowTimeoutMs)
        self.assertTrue(window.ok, f"no graph window: {window}\n{program.log()}")
        return exe, program

    def lines(self, log):
        if not os.path.exists(log):
            return []
        with open(log, "rb") as f:
            return f.read().split(b"\r\n")[:-1]

    def test_log_alarm_writes_a_line_per_sample_until_the_menu_stops_it(self):
        log = os.path.join(self.desktop.run_dir, "alarm.log")
        # In use, started with monitoring, "常に", repeat, action "ログの書き込み".
        _, program = self.start_with_alarm(0x4173, log, r"%t%v%u (%b)\r\n")
        time.sleep(3.5)
        written = self.lines(log)
        self.assertGreaterEqual(len(written), 2, written)
        # The stand-in processor is 5 % busy; the always-comparison reports 0.
        self.assertEqual(set(written), {b"CPU 5 % (0)"})

        self.desktop.command(IdAlarm)
        time.sleep(0.5)
        stopped = len(self.lines(log))
        time.sleep(2.5)
        self.assertEqual(len(self.lines(log)), stopped, "the menu command stopped the alarm")

        self.desktop.command(IdAlarm)
        time.sleep(2.5)
        self.assertGreater(len(self.lines(log)), stopped, "the menu command started it again")
        self.assertIsNone(program.poll())

    def test_sound_alarm_never_loads_a_winmm_dll_beside_the_program(self):
        self.assertTrue(os.path.exists(Planted), Planted)
        exe = self.desktop.copy_exe()
        folder = os.path.dirname(exe)
        shutil.copy(Planted, os.path.join(folder, "winmm.dll"))
        wav = os.path.join(folder, "none.wav")
        with open(os.path.splitext(exe)[0] + ".ini", "wb") as f:
            f.write(b"[COUNTER1]\r\nAlarmFlag=0x00003173\r\nAlarmFile=%s\r\n" %
                    harness.windows_path(wav).encode())
        # Wine prefers its own winmm.dll wherever a program looks for one; told to prefer a
        # native one, it loads whatever the program's search finds first.
        program = self.desktop.start_program(exe=exe, env={"WINEDLLOVERRIDES": "winmm=n,b"})
        self.assertTrue(self.desktop.wait_window(WindowTimeoutMs).ok, program.log())
        time.sleep(3)
        self.assertIsNone(program.poll())
        self.assertFalse(os.path.exists(os.path.join(folder, "planted-loaded.txt")),
                         "the planted winmm.dll was loaded")

    def test_notification_alarm_shows_its_text_beside_the_tray_icon(self):
        # In use, started with monitoring, "At or above" 1, which the stand-in processor's 5 %
        # always is, once, "Show a notification" with no text of its own: the default names the
        # value and the threshold.
        self.start_copy(b"[COUNTER1]\r\nAlarmFlag=0x00005033\r\nAlarmBorder=1\r\n")
        came = harness.wait_for(lambda: self.desktop.probe("balloon").ok, timeout=15)
        self.desktop.screenshot(self.shot_name("notification"))
        self.assertIsNotNone(came, "no notification came")
        balloon = self.desktop.probe("balloon")
        self.assertEqual(harness.word(balloon["text"]), "CPU 5 % (threshold 1)")
        # Its stem points at the icon, at the right end of the taskbar below it.
        icon, _ = self.desktop.find_tray_icon(self.shot_name("tray"))
        self.assertIsNotNone(icon, "no tray icon")
        self.assertLessEqual(balloon.int("left"), icon[0])
        self.assertGreaterEqual(balloon.int("right"), icon[0])
        self.assertLessEqual(balloon.int("bottom"), icon[1])
        self.assertGreater(balloon.int("bottom"), icon[1] - 40)
        self.assertIsNone(self.program.poll())


if __name__ == "__main__":
    unittest.main()

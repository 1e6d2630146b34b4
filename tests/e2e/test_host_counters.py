"""The running program on the real Linux machine's figures: the processor graph rises with a
load that the test makes, and the memory graph switched on through the settings file reports
the machine's committed share."""

import os
import subprocess
import sys
import time
import unittest

import harness

WindowTimeoutMs = 15000
Width, Height = 142, 43
History = (0x00, 0xFF, 0xFF)
Baseline = 41
Steps = 40  # rows of the plot above the baseline at the default size


def committed_percent():
    figures = {}
    with open("/proc/meminfo") as f:
        for line in f:
            key, _, rest = line.partition(":")
            figures[key] = int(rest.split()[0])
    return 100 * figures["Committed_AS"] / figures["CommitLimit"]


class HostCountersTest(harness.DesktopTestCase):
    proc_fixture = None  # the machine's own figures

    def start(self, settings=b""):
        exe = self.desktop.copy_exe()
        if settings:
            with open(os.path.splitext(exe)[0] + ".ini", "wb") as f:
                f.write(settings)
        program = self.desktop.start_program(exe=exe)
        window = self.desktop.wait_window(WindowTimeoutMs)
        self.assertTrue(window.ok, f"no graph window: {window}\n{program.log()}")
        return program

    def newest_top(self, what):
        """The highest row of the newest sample's column: the value drawn, 41 for 0 %."""
        window = self.desktop.find()
        picture = self.desktop.grab(self.shot_name(what), window.int("left"),
                                    window.int("top"), Width, Height)
        column = picture.column(Width - 2)
        rows = [y for y in range(1, Baseline + 1) if column[y] == History]
        return min(rows) if rows else Baseline + 1

    def test_processor_graph_rises_with_a_real_load(self):
        self.start()
        time.sleep(2.5)
        load = [subprocess.Popen([sys.executable, "-c", "while True: pass"],
                                 preexec_fn=harness._die_with_parent)
                for _ in range(os.cpu_count() or 1)]
        try:
            time.sleep(3.5)
            top = self.newest_top("loaded")
        finally:
            for process in load:
                process.kill()
                process.wait()
        # Every processor busy: far above the 5 % Wine's own counter would give (row 39).
        self.assertLessEqual(top, Baseline - Steps * 60 // 100, f"newest sample on row {top}")

    def test_memory_graph_reports_the_machines_committed_share(self):
        log = os.path.join(self.desktop.run_dir, "memory.log")
        # Graph 2 in use on its default path, with a log alarm that writes every sample.
        self.start(b"[COUNTER2]\r\nPdhFlag=1\r\nAlarmFlag=0x00004173\r\n"
                   b"AlarmFile=%s\r\nAlarmOption=%%v\\r\\n\r\n" %
                   harness.windows_path(log).encode())
        self.assertIsNotNone(harness.wait_for(lambda: os.path.exists(log) and
                                              os.path.getsize(log) > 0, timeout=10))
        time.sleep(1.5)
        expected = committed_percent()
        with open(log, "rb") as f:
            values = [int(v) for v in f.read().split(b"\r\n")[:-1]]
        self.assertTrue(values, "logged samples")
        for value in values:
            self.assertGreaterEqual(value, 0)
            self.assertLessEqual(value, 100)
            self.assertLessEqual(abs(value - expected), 3, f"{values} vs {expected:.1f}")


if __name__ == "__main__":
    unittest.main()

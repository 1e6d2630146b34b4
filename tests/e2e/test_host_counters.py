"""The running program on the real Linux machine's figures: the processor graph rises with a
load that the test makes, and the memory graph switched on through the settings file reports
the machine's committed share."""

import os
import subprocess
import sys
import threading
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
        load = [subprocess.Popen([sys.executable, "-c", "while True: pass"],
                                 preexec_fn=harness._die_with_parent)
                for _ in range(os.cpu_count() or 1)]
        # Every processor busy: far above the 5 % Wine's own counter would give (row 39).
        highest = Baseline - Steps * 60 // 100
        try:
            risen = harness.wait_for(lambda: self.newest_top("loaded") <= highest, timeout=20)
        finally:
            for process in load:
                process.kill()
                process.wait()
        self.assertIsNotNone(risen, f"newest sample on row {self.newest_top('after')}")

    def test_memory_graph_reports_the_machines_committed_share(self):
        log = os.path.join(self.desktop.run_dir, "memory.log")

        def logged():
            if not os.path.exists(log):
                return []
            with open(log, "rb") as f:
                return [int(v) for v in f.read().split(b"\r\n")[:-1]]

        # Other programs change the machine's memory while the test runs: the share is read
        # all along, and each logged sample must lie within what was seen around it.
        seen = [committed_percent()]
        done = threading.Event()

        def watch():
            while not done.is_set():
                seen.append(committed_percent())
                done.wait(0.02)

        watcher = threading.Thread(target=watch, daemon=True)
        watcher.start()
        try:
            # Graph 2 in use on its default path, with a log alarm that writes every sample.
            self.start(b"[COUNTER2]\r\nPdhFlag=1\r\nAlarmFlag=0x00004173\r\n"
                       b"AlarmFile=%s\r\nAlarmOption=%%v\\r\\n\r\n" %
                       harness.windows_path(log).encode())
            self.assertIsNotNone(harness.wait_for(lambda: len(logged()) >= 3, timeout=15))
        finally:
            done.set()
            watcher.join()
        values = logged()
        # The value is whole percent: one either side of what was seen covers its rounding.
        low, high = min(seen) - 1, max(seen) + 1
        for value in values:
            self.assertGreaterEqual(value, 0)
            self.assertLessEqual(value, 100)
            self.assertTrue(low <= value <= high, f"{values} outside {low:.1f} .. {high:.1f}")


if __name__ == "__main__":
    unittest.main()

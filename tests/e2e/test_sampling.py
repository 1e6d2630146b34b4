"""Sampling: the started program samples its counters without an error and stays responsive."""

import time
import unittest

import harness

WindowTimeoutMs = 15000
# The default interval is one second: a few ticks of it.
RunSeconds = 3.5


class SamplingTest(harness.DesktopTestCase):
    def test_default_counters_sample_without_error_and_window_responds(self):
        exe = self.desktop.copy_exe()
        program = self.desktop.start_program(exe=exe)
        window = self.desktop.wait_window(WindowTimeoutMs)
        self.assertTrue(window.ok, f"no graph window: {window}\n{program.log()}")
        deadline = time.monotonic() + RunSeconds
        while time.monotonic() < deadline:
            ping = self.desktop.probe("ping")
            self.assertTrue(ping.ok, ping)
            self.assertEqual(ping["responds"], "1", ping)
            # A counter that cannot be added or collected shows a message box at once.
            self.assertEqual(ping["message_box"], "0", ping)
            time.sleep(0.5)
        self.assertIsNone(program.poll(), "the program ended by itself")


if __name__ == "__main__":
    unittest.main()

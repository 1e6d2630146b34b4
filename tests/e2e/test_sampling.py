"""Sampling: the started program samples its counters without an error and stays responsive."""

import os
import threading
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


NetHeader = "Inter-|   Receive |  Transmit\n face |bytes packets|bytes packets\n"
White = (0xFF, 0xFF, 0xFF)


class AdapterTest(harness.DesktopTestCase):
    """A network graph on the first adapter there is: the adapter goes, another comes."""

    def caption_ink(self, what):
        """The rows and columns of the caption's white glyphs, from a picture of the window."""
        window = self.desktop.find()
        picture = self.desktop.grab(self.shot_name(what), window.int("left"), window.int("top"),
                                    60, 20)
        ink = [(x, y) for y in range(2, 20) for x in range(2, 60) if picture.at(x, y) == White]
        rows = {y for _, y in ink}
        columns = {x for x, _ in ink}
        return rows, columns

    def shows_value(self, what):
        rows, _ = self.caption_ink(what)
        return len(rows) >= 5  # a digit is several rows high

    def shows_dashes(self, what):
        rows, columns = self.caption_ink(what)
        return 1 <= len(rows) <= 2 and len(columns) >= 6  # "---": a short stroke or two

    def logged(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, "rb") as f:
            return [int(v) for v in f.read().split(b"\r\n")[:-1]]

    def test_the_caption_shows_dashes_while_the_adapter_is_gone_then_the_graph_follows_the_new_one(self):
        self.log = os.path.join(self.desktop.run_dir, "net.log")
        # No title or unit: the caption is the value alone. A log line for every value read.
        self.start_copy(b"[COUNTER1]\r\nPath=\\Network Interface()\\Bytes Total/sec\r\n"
                        b"ValMax=100000\r\nTitle=\r\nUnit=\r\nAlarmFlag=0x00004173\r\n"
                        b"AlarmFile=%s\r\nAlarmOption=%%v\\r\\n\r\n" %
                        harness.windows_path(self.log).encode())
        proc = self.desktop.proc
        self.assertIsNotNone(harness.wait_for(lambda: len(self.logged()) >= 2, timeout=15))
        self.assertEqual(self.logged()[-1], 0, "eth0's counts stand still")
        self.assertIsNotNone(harness.wait_for(lambda: self.shows_value("eth0"), timeout=5))

        # eth0 is unplugged: the graph stops, and says so.
        proc._write(os.path.join("net", "dev"), NetHeader)
        self.assertIsNotNone(harness.wait_for(lambda: self.shows_dashes("gone"), timeout=15),
                             "the caption never showed ---")
        gone = len(self.logged())

        # Another adapter comes, and moves data.
        stop = threading.Event()

        def traffic():
            received = 0
            while not stop.is_set():
                received += 50000
                proc._write(os.path.join("net", "dev"), NetHeader +
                            f"  eth1: {received} 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0\n")
                stop.wait(0.05)

        mover = threading.Thread(target=traffic, daemon=True)
        mover.start()
        try:
            # Five failed reads, then the re-add; at worst one slow retry 30 s later.
            followed = harness.wait_for(lambda: any(v > 0 for v in self.logged()[gone:]),
                                        timeout=60)
            self.assertIsNotNone(followed, f"logged {self.logged()}")
            self.assertIsNotNone(harness.wait_for(lambda: self.shows_value("eth1"), timeout=5))
        finally:
            stop.set()
            mover.join()
        ping = self.desktop.probe("ping")
        self.assertEqual(ping["message_box"], "0", ping)
        self.exit_program(self.program)


if __name__ == "__main__":
    unittest.main()

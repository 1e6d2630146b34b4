"""Soak: the real program through 10,000 sample ticks with the graph shown and the tray icon
renewed at every tick keeps its GDI objects, handles and private bytes. The program samples at
most every 100 ms; the test posts the sampling timer's ticks itself, in batches, so that the
10,000 come in a minute or two."""

import os
import time
import unittest

import harness

WindowTimeoutMs = 15000
Ticks = 10000
# Far more than 10,000 posted ticks need, yet bounded.
SoakTimeoutS = 400
WM_TIMER = 0x0113
TimerSample = 1
Batch = 200
PrivateGrowthLimit = 64 * 1024
GdiReadings = 5


def host_process(exe):
    """The Linux process that runs the Windows program: the one with the most memory among
    those whose command line names the program's copy. The copy's test folder tells it from
    the programs of the tests that run at the same time."""
    best, best_rss = None, -1
    folder = os.path.basename(os.path.dirname(os.path.dirname(exe))).encode()
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open(f"/proc/{name}/cmdline", "rb") as f:
                command = f.read()
                if os.path.basename(exe).encode() not in command or folder not in command:
                    continue
            rss = host_memory(int(name))["VmRSS"]
        except (OSError, KeyError):
            continue
        if rss > best_rss:
            best, best_rss = int(name), rss
    return best


def host_memory(pid):
    """Fields of /proc/PID/status in kB."""
    fields = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, value = line.partition(":")
            if value.strip().endswith("kB"):
                fields[key] = int(value.split()[0])
    return fields


def open_files(pid, leave_out):
    """The Linux file descriptors of the process, without those open on leave_out."""
    count = 0
    folder = f"/proc/{pid}/fd"
    for name in os.listdir(folder):
        try:
            if os.path.realpath(os.readlink(os.path.join(folder, name))) == leave_out:
                continue
        except OSError:
            continue  # closed while it was being read
        count += 1
    return count


def host_cpu_ms(pid):
    with open(f"/proc/{pid}/stat") as f:
        parts = f.read().rsplit(")", 1)[1].split()
    ticks = int(parts[11]) + int(parts[12])  # utime and stime
    return ticks * 1000 // os.sysconf("SC_CLK_TCK")


class SoakTest(harness.DesktopTestCase):
    def stats(self, pid, host_pid, log):
        """GDI objects from the program's handle table (Wine reports no other figures of
        another process), memory and CPU from the Linux process that runs it."""
        # The program makes and frees the tray picture's bitmaps at every tick, and opens and
        # closes the log at every tick of its own timer: a reading may fall inside either.
        # The least of a few readings is the count that stays, and the log is not counted.
        gdi, fds = [], []
        for _ in range(GdiReadings):
            result = self.desktop.probe("stats", pid)
            self.assertTrue(result.ok, result)
            gdi.append(result.int("gdi"))
            fds.append(open_files(host_pid, log))
        memory = host_memory(host_pid)
        return {"gdi": min(gdi), "fds": min(fds),
                "private_kb": memory.get("RssAnon", memory["VmRSS"]),
                "cpu_ms": host_cpu_ms(host_pid)}

    def test_ten_thousand_ticks_leave_nothing_behind(self):
        exe = self.desktop.copy_exe()
        log = os.path.join(self.desktop.run_dir, "ticks.log")
        # Every tick appends one line through an alarm ("常に", repeat, log), so the ticks can
        # be counted from outside. The committed-memory share has a value at every collection
        # (the processor's needs time to pass between two), so every tick stores a sample.
        with open(os.path.splitext(exe)[0] + ".ini", "wb") as f:
            f.write(b"[MAIN]\r\nInterval=100\r\nWndPosX=882\r\nWndPosY=705\r\n"
                    b"[COUNTER1]\r\nPath=\\Memory\\%% Committed Bytes In Use\r\n"
                    b"AlarmFlag=0x00004173\r\nAlarmFile=%s\r\nAlarmOption=.\r\n"
                    % harness.windows_path(log).encode())
        program = self.desktop.start_program(exe=exe)
        window = self.desktop.wait_window(WindowTimeoutMs)
        self.assertTrue(window.ok, f"no graph window: {window}\n{program.log()}")
        pid = window.int("pid")
        host_pid = host_process(exe)
        self.assertIsNotNone(host_pid, "no Linux process for the program")

        def ticks():
            return os.path.getsize(log) if os.path.exists(log) else 0

        def drive(target, timeout):
            """Posts ticks of the sampling timer, a batch at a time once the one before has
            been sampled, until the log counts target ticks (the timer adds its own)."""
            deadline = time.monotonic() + timeout
            while ticks() < target and time.monotonic() < deadline:
                before = ticks()
                # A probe of a busy machine has been seen to end without a word: the batch
                # is posted again, the log telling whether the first one came.
                posted = self.desktop.probe("post-many", WM_TIMER, TimerSample, 0, Batch)
                self.assertTrue(posted.ok or not posted.line, posted)
                harness.wait_for(lambda: ticks() >= before + Batch, timeout=30, step=0.05)
            return ticks() >= target

        # Past the start-up: the working-set trim, the first icons and fonts.
        self.assertTrue(drive(2000, 90), f"only {ticks()} ticks to start with")
        start, first_tick, first_time = self.stats(pid, host_pid, os.path.realpath(log)), ticks(), time.monotonic()
        self.assertTrue(drive(first_tick + Ticks, SoakTimeoutS),
                        f"only {ticks() - first_tick} ticks in {SoakTimeoutS} s")
        end, elapsed = self.stats(pid, host_pid, os.path.realpath(log)), time.monotonic() - first_time
        done = ticks() - first_tick
        cpu = end['cpu_ms'] - start['cpu_ms']
        print(f"soak: {done} ticks in {elapsed:.1f} s; start {start}; end {end}; "
              f"CPU {cpu} ms ({cpu * 1000 / done:.0f} us a tick)")
        self.assertEqual(end["gdi"], start["gdi"], "GDI objects grew")
        self.assertLessEqual(end["fds"], start["fds"], "file descriptors grew")
        self.assertLess((end["private_kb"] - start["private_kb"]) * 1024, PrivateGrowthLimit,
                        "private memory grew by 64 KiB or more")
        self.assertEqual(self.desktop.find()["visible"], "1")
        self.assertIsNone(program.poll())


if __name__ == "__main__":
    unittest.main()

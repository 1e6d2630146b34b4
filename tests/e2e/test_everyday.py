"""Everyday life on one desktop: the start at sign-in written to the user's Run key, the
show/hide hot key set in the settings window and pressed on the keyboard, the settings file
where Windows lets it be written, and settings files that are links."""

import glob
import os
import re
import select
import subprocess
import time
import unittest

import harness

RunKey = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
ApprovedKey = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
IdHotKey = 1018
IdSignIn = 1019
IdSignInNote = 1020
VK_F9, VK_F10 = 0x78, 0x79
MOD_ALT, MOD_CONTROL, MOD_SHIFT = 1, 2, 4


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


class EverydayCase(harness.DesktopTestCase):
    lang = "en_US.UTF-8"

    def wait_for(self, condition, timeout=5.0):
        return harness.wait_for(condition, timeout) is not None

    def start(self, exe, args=()):
        self.program = self.desktop.start_program(args=args, exe=exe)
        window = self.desktop.wait_window(15000)
        self.assertTrue(window.ok, f"no graph window: {window}\n{self.program.log()}")
        time.sleep(0.5)
        return self.desktop.find()

    def control(self, control_id):
        answer = self.desktop.probe("settings", control_id)
        self.assertTrue(answer.ok, answer)
        return answer

    def click_control(self, control_id, x_offset=None):
        """Clicks the control where a person would: a check box on its box, at the left."""
        c = self.control(control_id)
        self.assertEqual(c["control"], "1", c)
        x = c.int("cleft") + (x_offset if x_offset is not None
                              else (c.int("cright") - c.int("cleft")) // 2)
        self.desktop.mousemove(x, (c.int("ctop") + c.int("cbottom")) // 2)
        self.desktop.click(1)

    def open_settings(self):
        self.assertTrue(self.desktop.open_settings(self.desktop.find()), "no settings window")

    def close_settings(self, key="Return"):
        self.desktop.key(key)
        self.assertTrue(self.wait_for(lambda: not self.desktop.probe("settings").ok),
                        "the settings window stayed open")

    def message_box(self):
        answer = self.desktop.probe("ping")
        return answer if answer.values.get("message_box") == "1" else None


class SignInTest(EverydayCase):
    """The check box on the General tab and the user's Run entry, read with reg.exe."""

    def reg(self, *args):
        return subprocess.run(["wine", "reg", *args], env=self.desktop.env(),
                              stdin=subprocess.DEVNULL, capture_output=True, text=True,
                              errors="replace", timeout=60)

    def run_entry(self):
        done = self.reg("query", RunKey, "/v", "Ferrogauge")
        found = re.search(r"Ferrogauge\s+REG_SZ\s+(.*)", done.stdout)
        return found.group(1).strip() if done.returncode == 0 and found else None

    def box(self):
        c = self.control(IdSignIn)
        return c["checked"] == "1", c["enabled"] == "1"

    def test_the_box_writes_this_program_with_its_settings_file_and_clearing_removes_it(self):
        exe = self.desktop.copy_exe()
        folder = os.path.join(self.desktop.run_dir, "my settings")
        os.makedirs(folder)
        ini = os.path.join(folder, "mon.ini")
        # A path with a blank, which Wine's command line puts in quotes, as Windows does.
        self.start(exe, args=[harness.windows_path(ini)])
        self.assertIsNone(self.run_entry(), "nothing is written unless the user asks")

        self.open_settings()
        self.assertEqual(self.box(), (False, True))
        self.click_control(IdSignIn, x_offset=6)
        self.assertEqual(self.box(), (True, True))
        self.desktop.screenshot(self.shot_name("ticked"))
        self.close_settings()
        self.assertEqual(self.run_entry(),
                         f'"{harness.windows_path(exe)}" "{harness.windows_path(ini)}"')

        self.open_settings()
        self.assertEqual(self.box(), (True, True), "read again at the next opening")
        self.click_control(IdSignIn, x_offset=6)
        self.close_settings()
        self.assertIsNone(self.run_entry(), "cleared: removed")

        # Another copy's entry shows unchecked and is left alone.
        other = r'"C:\Old place\ferrogauge.exe"'
        self.assertEqual(self.reg("add", RunKey, "/v", "Ferrogauge", "/t", "REG_SZ", "/d",
                                  other, "/f").returncode, 0)
        self.open_settings()
        self.assertEqual(self.box(), (False, True))
        self.close_settings()
        self.assertEqual(self.run_entry(), other)

        # Turned off in Task Manager: unchecked, left to the user, with a note saying where.
        self.assertEqual(self.reg("add", ApprovedKey, "/v", "Ferrogauge", "/t", "REG_BINARY",
                                  "/d", "030000000000000000000000", "/f").returncode, 0)
        self.open_settings()
        self.assertEqual(self.box(), (False, False))
        note = self.control(IdSignInNote)
        self.assertEqual(note["control"], "1", "the note shows")
        self.desktop.screenshot(self.shot_name("turned_off"))
        self.close_settings("Escape")
        self.assertEqual(self.run_entry(), other)
        self.exit_program(self.program)


class HotKeyTest(EverydayCase):
    """The show/hide hot key pressed into the General tab and then on the keyboard."""

    def hold_hot_key(self, modifiers, key):
        """Another program holding a hot key, until the test ends."""
        holder = subprocess.Popen(
            ["wine", self.desktop.probe_exe, "hold-hotkey", str(modifiers), str(key)],
            env=self.desktop.env(), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.DEVNULL)
        self.addCleanup(holder.wait, 30)
        self.addCleanup(holder.stdin.close)
        ready, _, _ = select.select([holder.stdout], [], [], 30)
        self.assertTrue(ready, "the holder did not start")
        self.assertEqual(holder.stdout.readline().strip(), b"registered=1")

    def visible(self):
        return self.desktop.find()["visible"] == "1"

    def press_into_the_box(self, keys):
        self.click_control(IdHotKey)
        self.desktop.key(keys)
        time.sleep(0.3)

    def test_a_pressed_combination_toggles_the_window_and_one_held_elsewhere_is_refused(self):
        exe = self.desktop.copy_exe()
        self.start(exe)
        self.assertTrue(self.visible())
        self.open_settings()
        # A key alone would take it from every program: Ctrl+Alt is added. Backspace clears.
        self.press_into_the_box("F8")
        self.assertEqual(self.control(IdHotKey).int("hotkey"), 0x0677)  # Ctrl+Alt, F8
        self.desktop.key("BackSpace")
        self.assertEqual(self.control(IdHotKey).int("hotkey"), 0)
        self.press_into_the_box("ctrl+shift+F9")
        self.assertEqual(self.control(IdHotKey).int("hotkey"), 0x0378)  # Ctrl+Shift, F9
        self.desktop.screenshot(self.shot_name("pressed"))
        self.close_settings()
        ini = os.path.splitext(exe)[0] + ".ini"
        self.assertIn(b"\r\nHkShow=0x007B0678\r\n", read_bytes(ini))

        # The new key works at once, from the keyboard, both ways.
        self.desktop.key("ctrl+shift+F9")
        self.assertTrue(self.wait_for(lambda: not self.visible()), "not hidden by the hot key")
        self.desktop.key("ctrl+shift+F9")
        self.assertTrue(self.wait_for(self.visible), "not shown again by the hot key")

        # A combination another program takes before OK (once held, its keys never reach
        # the box): a message naming it, the window stays open, and the old key still works
        # once it is closed.
        self.open_settings()
        self.press_into_the_box("ctrl+shift+F10")
        self.assertEqual(self.control(IdHotKey).int("hotkey"), 0x0379)  # Ctrl+Shift, F10
        self.hold_hot_key(MOD_CONTROL | MOD_SHIFT, VK_F10)
        self.desktop.key("Return")
        self.assertTrue(self.wait_for(self.message_box, timeout=10), "no message")
        box = self.message_box()
        self.assertIn("Ctrl+Shift+F10", box["message"])
        self.desktop.screenshot(self.shot_name("refused"))
        self.desktop.key("Return")
        self.assertTrue(self.wait_for(lambda: self.message_box() is None), "the message stayed")
        self.assertTrue(self.desktop.probe("settings").ok, "the settings window stays open")
        self.close_settings("Escape")
        self.assertIn(b"\r\nHkShow=0x007B0678\r\n", read_bytes(ini), "nothing stored")
        self.desktop.key("ctrl+shift+F9")
        self.assertTrue(self.wait_for(lambda: not self.visible()), "the old key stopped working")
        self.exit_program(self.program)


class SettingsPlaceTest(EverydayCase):
    """Where the settings file lives, and settings files that are links."""

    lang = "ja_JP.UTF-8"

    def roaming_file(self):
        found = glob.glob(os.path.join(self.desktop.prefix, "drive_c", "users", "*", "AppData",
                                       "Roaming", "Ferrogauge", "ferrogauge.ini"))
        return found[0] if found else None

    def test_a_folder_that_refuses_new_files_keeps_the_settings_in_the_users_folder(self):
        exe = self.desktop.copy_exe("locked")
        folder = os.path.dirname(exe)
        # As under Program Files: the folder takes no new file (for root too, on ext4).
        locked = subprocess.run(["chattr", "+i", folder], capture_output=True, text=True)
        if locked.returncode != 0:
            self.skipTest(f"chattr +i is not available here: {locked.stderr.strip()}")
        self.addCleanup(subprocess.run, ["chattr", "-i", folder])
        self.start(exe)
        self.desktop.command(harness.IdExit)
        try:
            self.program.wait(10)
        except subprocess.TimeoutExpired:
            self.desktop.screenshot(self.shot_name("hung"))
            self.fail(f"no exit: {self.desktop.probe('ping')}")
        self.assertFalse(os.path.exists(os.path.join(folder, "ferrogauge.ini")))
        saved = self.roaming_file()
        self.assertIsNotNone(saved, "no settings file in %APPDATA%\\Ferrogauge")
        self.assertIsNone(self.message_box(), "no save error")

        # The next start reads it from there.
        text = re.sub(rb"WndPosX=\d+", b"WndPosX=300", read_bytes(saved))
        text = re.sub(rb"WndPosY=\d+", b"WndPosY=200", text)
        with open(saved, "wb") as f:
            f.write(text)
        window = self.start(exe)
        self.assertEqual((window.int("left"), window.int("top")), (300, 200), window)
        self.exit_program(self.program)
        self.assertEqual(read_bytes(saved), text)

        # Once the folder takes files again (a run with more rights, say), the file in the
        # user's folder stays the one in use.
        subprocess.run(["chattr", "-i", folder], check=True)
        window = self.start(exe)
        self.assertEqual((window.int("left"), window.int("top")), (300, 200), window)
        self.exit_program(self.program)
        self.assertFalse(os.path.exists(os.path.join(folder, "ferrogauge.ini")))

    def test_a_hard_link_and_a_symbolic_link_stay_links_after_a_save(self):
        kept = os.path.join(self.desktop.run_dir, "kept")
        os.makedirs(kept)
        # The empty file is what a Scoop install links before the program's first run.
        for kind, mine in (("hard", b"; mine\r\n[MAIN]\r\nInterval=1000\r\n"),
                           ("symbolic", b"; mine\r\n[MAIN]\r\nInterval=1000\r\n"),
                           ("hard-empty", b"")):
            with self.subTest(kind):
                exe = self.desktop.copy_exe(kind)
                name = os.path.splitext(exe)[0] + ".ini"
                target = os.path.join(kept, kind + ".ini")
                with open(target, "wb") as f:
                    f.write(mine)
                if kind.startswith("hard"):
                    os.link(target, name)
                else:
                    os.symlink(target, name)
                self.start(exe)
                self.exit_program(self.program)
                text = read_bytes(name)
                self.assertTrue(text.startswith(mine), text)
                self.assertIn(b"WndPosX=", text)
                self.assertEqual(read_bytes(target), text, "both names hold the new text")
                if kind.startswith("hard"):
                    self.assertEqual(os.stat(name).st_nlink, 2, "still two names")
                    self.assertFalse(os.path.exists(name + ".bak"))
                else:
                    self.assertTrue(os.path.islink(name), "still a link")
                    self.assertEqual(os.readlink(name), target)


if __name__ == "__main__":
    unittest.main()

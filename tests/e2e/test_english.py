"""The program on a Windows whose language is not Japanese: its menu, every settings page, the
alarm dialog and its messages in English, every label whole at 100 % and 150 %, and the
settings window storing what is typed into it as it does in Japanese."""

import os
import time
import unittest

import harness

# The font of the English dialogs.
Face, Points = "MS Shell Dlg 2", 9
IdExit = 40008
# A control that only the named page has.
Pages = [("General", 1001), ("Counter", 1102), ("Graph", 1321), ("Icon", 1323)]
IdInterval = 1001
IdAlarmSettings = 1111
IdAbout = 1017
About = "Ferrogauge version 0.1.0\r\nCopyright (C) 2026 The Ferrogauge developers"
IdUnitMode, IdRounding, IdCompare, IdAction = 1109, 1370, 1205, 1209

# One label of each page, and the lists that come from the string table.
Labels = {"General": (1010, "&Snap to screen edges when moving"),
          "Counter": (1110, "Use an &alarm"),
          "Graph": (1322, "Choose from 16 &colors"),
          "Icon": (1323, "&Transparent background")}
Lists = {IdUnitMode: ["As measured", "Auto (bytes)", "KB", "MB", "Auto (bits)", "bit", "Kbit", "Mbit"],
         IdRounding: ["Round down", "Round to nearest", "Round up"],
         IdCompare: ["Equal to", "At or above", "At or below", "Not equal to", "Always"],
         IdAction: ["Default beep", "Open a file", "Run a program", "Play a WAV file",
                    "Write to a log", "Show a notification"]}
FileTypes = "All files (*.*)|Programs (*.exe)|WAV files (*.wav)|Log files (*.log)"
CounterError = ("The performance counter could not be read, so Ferrogauge has stopped "
                "sampling.\r\nOpen Settings, check the counter path on the Counter tab, and then "
                "click OK.")
IdOptionLabel = 1213


class Dialogs:
    """The probe's 'texts' answer: the program's shown dialogs with their controls."""

    def __init__(self, answer):
        self.answer = answer
        self.dialogs = []  # [(title, [control, ...]), ...], a control as a dict of its pairs
        self.dpi = None
        for line in answer.stdout.splitlines():
            pairs = {k: harness.word(v) for k, v in harness.parse_pairs(line).items()}
            if line.startswith("found="):
                self.dpi = int(pairs["dpi"])
            elif line.startswith("dialog "):
                self.dialogs.append((pairs["title"], []))
            elif line.startswith("control ") and self.dialogs:
                self.dialogs[-1][1].append(pairs)

    def controls(self):
        return [c for _, controls in self.dialogs for c in controls]

    def titled(self, title):
        """The controls of the shown dialog with the title by their ids, or None."""
        return next(({int(c["id"]): c for c in reversed(controls)}
                     for t, controls in self.dialogs if t == title), None)

    def control(self, control_id):
        return next((c for c in self.controls() if int(c["id"]) == control_id), None)

    def text(self, control_id):
        """The text of the first control with the id in any dialog, or None."""
        control = self.control(control_id)
        return control["text"] if control else None

    def cut(self):
        """The controls whose text does not fit them."""
        return [c for c in self.controls() if "need" in c and int(c["need"]) > int(c["room"])]

    def texts(self):
        return [t for t, _ in self.dialogs] + [c["text"] for c in self.controls()] + [
            item for c in self.controls() for item in c.get("items", "").split("|")]


class EnglishCase(harness.DesktopTestCase):
    lang = "en_US.UTF-8"

    def start(self, ini=None):
        return self.start_copy(ini)

    def dialogs(self):
        return Dialogs(self.desktop.probe("texts", Face, Points))

    def wait_dialogs(self, condition, what):
        """The dialogs once condition(dialogs) holds; fails the test with what otherwise."""
        found = []

        def check():
            dialogs = self.dialogs()
            found[:] = [dialogs]
            return condition(dialogs)
        self.assertIsNotNone(harness.wait_for(check, 10), f"{what}:\n{found[0].answer}")
        return found[0]

    def assert_english(self, dialogs, where):
        # Texts are measured in the font the dialog templates name, at the desktop's scale.
        self.assertEqual(dialogs.dpi, self.dpi, dialogs.answer)
        japanese = [t for t in dialogs.texts() if any(ord(ch) > 0x7F for ch in t)]
        self.assertEqual(japanese, [], f"{where}: not in English")
        self.assertEqual(dialogs.cut(), [], f"{where}: a text does not fit its control")

    def pages_and_alarm_dialog(self):
        """Shows every page and the alarm dialog, checks that they speak English with every
        label whole, and takes a picture of each. Leaves the settings window open on the
        General page's neighbour that was shown last, the Icon page."""
        window = self.start()
        self.assertTrue(self.desktop.open_settings(window), "no settings window")
        for index, (page, own) in enumerate(Pages):
            if index:
                self.desktop.key("ctrl+Tab")
            dialogs = self.wait_dialogs(
                lambda d: d.text(own) is not None and
                all(d.text(other) is None for _, other in Pages if other != own),
                f"the {page} page did not come")
            time.sleep(0.3)  # the page paints after it shows
            dialogs = self.dialogs()
            self.desktop.screenshot(self.shot_name(page))
            frame = dialogs.titled("Ferrogauge 0.1.0 Settings")
            self.assertIsNotNone(frame, dialogs.answer)
            self.assertEqual((frame[1]["text"], frame[2]["text"]), ("OK", "Cancel"))
            control, label = Labels[page]
            self.assertEqual(dialogs.text(control), label)
            for list_id, items in Lists.items():
                if dialogs.control(list_id):
                    self.assertEqual(dialogs.control(list_id)["items"].split("|"), items)
            self.assert_english(dialogs, page)
            if page == "Counter":
                self.alarm_dialog()

    def alarm_dialog(self):
        self.desktop.key("alt+a")  # Use an &alarm: enables the button
        self.assertTrue(harness.wait_for(
            lambda: self.desktop.probe("settings", IdAlarmSettings)["control"] == "1"))
        self.desktop.key("alt+l")  # A&larm Settings...
        dialogs = self.wait_dialogs(lambda d: d.titled("Alarm Settings"), "no alarm dialog")
        time.sleep(0.3)
        self.desktop.screenshot(self.shot_name("alarm"))
        alarm = dialogs.titled("Alarm Settings")
        self.assertEqual((alarm[1]["text"], alarm[2]["text"]), ("OK", "Cancel"))
        self.assertEqual(alarm[IdCompare]["items"].split("|"), Lists[IdCompare])
        self.assertEqual(alarm[IdAction]["items"].split("|"), Lists[IdAction])
        self.assert_english(dialogs, "the alarm dialog")
        # The file dialog's types are in English too.
        self.desktop.key("alt+a")  # &Action:
        # Show a notification: the file box and its button go off, and the option box is named
        # for the text; with Write to a log they come on, and the box holds the log line.
        self.desktop.key("End")
        self.wait_dialogs(lambda d: d.text(IdOptionLabel) == "Notification &text:",
                          "the option box is not named for the notification")
        self.desktop.key("Up")
        self.wait_dialogs(lambda d: d.text(IdOptionLabel) == "&Log line:",
                          "the option box is not named for the log line")
        self.desktop.key("alt+f")  # &File:
        self.desktop.key("Tab")    # the Browse button beside it
        self.desktop.key("space")
        self.wait_dialogs(lambda d: any(c.get("items", "").startswith(FileTypes)
                                        for c in d.controls()), "no file dialog")
        self.desktop.key("Escape")
        self.wait_dialogs(lambda d: len(d.dialogs) == 2, "the file dialog stays")
        self.desktop.key("Escape")
        self.wait_dialogs(lambda d: not d.titled("Alarm Settings"), "the alarm dialog stays")

    def test_every_page_and_the_alarm_dialog_in_english_with_every_label_whole(self):
        self.pages_and_alarm_dialog()
        self.desktop.key("Escape")
        self.assertTrue(harness.wait_for(lambda: not self.desktop.probe("settings").ok),
                        "Escape did not close the settings window")
        self.assertIsNone(self.program.poll())


class At96(EnglishCase):
    def test_the_menu_is_in_english_and_ok_stores_a_typed_interval(self):
        window = self.start()
        self.desktop.mousemove(window.int("left") + 70, window.int("top") + 25)
        self.desktop.click(3)
        self.assertTrue(harness.wait_for(lambda: self.desktop.probe("menu").ok), "no menu")
        time.sleep(0.3)
        self.desktop.screenshot(self.shot_name("menu"))
        # Another process cannot read the menu's texts under Wine; its keys tell the languages
        # apart: S is "&Settings..." in English and "Show graph" in Japanese.
        self.desktop.key("s")
        self.wait_dialogs(lambda d: d.text(IdInterval) == "1000", "no settings window")
        self.assertEqual(self.desktop.find()["visible"], "1")
        self.desktop.key("alt+i")  # Update &interval: selects the box's text
        self.desktop.xdotool("type", "2500")
        self.wait_dialogs(lambda d: d.text(IdInterval) == "2500", "the interval was not typed")
        # The About box reads the version block of the language in use.
        button = self.desktop.probe("settings", IdAbout)
        self.desktop.mousemove((button.int("cleft") + button.int("cright")) // 2,
                               (button.int("ctop") + button.int("cbottom")) // 2)
        self.desktop.click(1)
        dialogs = self.wait_dialogs(lambda d: d.titled("About Ferrogauge"), "no About box")
        # Then the settings file in use, so that the user can find it.
        about = About + "\r\n\r\nSettings file: " + harness.windows_path(self.ini)
        self.assertIn(about, [c["text"] for c in dialogs.titled("About Ferrogauge").values()])
        self.desktop.key("Return")
        self.wait_dialogs(lambda d: not d.titled("About Ferrogauge"), "the About box stays")
        self.desktop.key("alt+i")  # back in the box: Return there is the frame's OK
        self.desktop.key("Return")
        self.assertTrue(harness.wait_for(lambda: not self.desktop.probe("settings").ok),
                        "still open")
        self.assertTrue(harness.wait_for(lambda: os.path.exists(self.ini)), "no settings file")
        with open(self.ini, "rb") as f:
            self.assertIn(b"\r\nInterval=2500\r\n", f.read())
        self.desktop.command(IdExit)
        self.assertEqual(self.program.wait(10), 0, self.program.log())

    def test_a_counter_that_cannot_be_read_is_reported_in_english(self):
        self.start(b"[COUNTER1]\r\nPath=\\No Such Object\\No Such Counter\r\n")
        dialogs = self.wait_dialogs(lambda d: d.titled("Ferrogauge"), "no message box")
        self.desktop.screenshot(self.shot_name("error"))
        box = dialogs.titled("Ferrogauge")
        self.assertIn(CounterError, [c["text"] for c in box.values()], dialogs.answer)
        self.desktop.key("Return")
        self.wait_dialogs(lambda d: not d.titled("Ferrogauge"), "the message stays")
        self.assertIsNone(self.program.poll())


class At144(EnglishCase):
    dpi = 144


del EnglishCase

if __name__ == "__main__":
    unittest.main()

"""Damaged and hostile settings files, one row each: the file in; the window a person sees, the
message due, if any; and the file the program leaves.

Every row starts a copy of the program beside its file on one Japanese desktop, waits until the
program has handled what it posted itself at start, looks at the window and any message box,
answers the box with a click on its OK, ends the program with the Exit command and reads the
file. The next damaged file is one more row."""

import os
import re

import harness

IdShowGraph = 40002
WindowTimeoutMs = 15000
ExitTimeoutS = 10

UseMore = "[MAIN]\r\nWndPosX=300\r\nWndPosY=300\r\n"


def section_value(text, section, key):
    """The value of the first key= line of [section] in text (str), or None."""
    match = re.search(r"(?:^|\n)\[" + re.escape(section) + r"\]\r\n(.*?)(?=\r\n\[|\Z)", text,
                      re.S)
    if not match:
        return None
    line = re.search(r"(?:^|\r\n)" + re.escape(key) + r"=([^\r\n]*)", match.group(1))
    return line.group(1) if line else None


class Row:
    """One damaged file.

    ini: the file's bytes (None: a folder in its place).
    box: texts the message box due at start shows, or None for no box.
    size: the window's size (width, height), place: its left and top, alpha: its layered alpha.
    unchanged: the file must be byte for byte what it was.
    values: {(section, key): value} the rewritten file must hold.
    kept: lines of the input the rewritten file must still hold, in their order.
    utf16: the file is UTF-16 with its mark before and after.
    """

    def __init__(self, name, ini, box=None, size=None, place=None, alpha=None,
                 unchanged=False, values=None, kept=(), utf16=False, witness=None):
        self.name, self.ini, self.box = name, ini, box
        self.size, self.place, self.alpha = size, place, alpha
        self.unchanged, self.values, self.kept = unchanged, values or {}, kept
        self.utf16, self.witness = utf16, witness


CounterError = "パフォーマンス取得エラー"
GraphOneOff = "グラフ1のカウンタが使われていません。"
ReadError = "設定ファイルを読み込めませんでした。"

LongPath = "\\" + "p" * 9999
LongTitle = "t" * 100
LongUnit = "u" * 100
LongFace = "f" * 40

Rows = [
    # The window's size as the mouse allows it, whatever the file says.
    Row("size 0 x 0", UseMore + "WndWidth=0\r\nWndHeight=0\r\n; mine\r\n",
        size=(16, 16), place=(300, 300),
        values={("MAIN", "WndWidth"): "16", ("MAIN", "WndHeight"): "16"}, kept=["; mine"]),
    Row("size below zero", UseMore + "WndWidth=-142\r\nWndHeight=-43\r\n",
        size=(16, 16), place=(300, 300)),
    Row("place and size empty", "[MAIN]\r\nWndPosX=\r\nWndPosY=\r\nWndWidth=\r\nWndHeight=\r\n",
        size=(16, 16), place=(0, 0)),
    Row("size over the desktop",
        "[MAIN]\r\nWndPosX=-100\r\nWndPosY=-100\r\nWndWidth=5000\r\nWndHeight=4000\r\n",
        size=(250, 150), place=(-100, -100),
        values={("MAIN", "WndWidth"): "250", ("MAIN", "WndHeight"): "150"}),
    Row("size at the 32-bit limit", UseMore + "WndWidth=2147483647\r\nWndHeight=2147483647\r\n",
        size=(250, 150), place=(300, 300)),
    # Opacity held to 10 ... 90 %.
    Row("opacity 0", "[MAIN]\r\nProp=1555\r\nWndAlpha=0\r\n", alpha=25,
        values={("MAIN", "WndAlpha"): "10"}),
    Row("opacity 101", "[MAIN]\r\nProp=1555\r\nWndAlpha=101\r\n", alpha=229,
        values={("MAIN", "WndAlpha"): "90"}),
    # The period and the grid.
    Row("interval 0 and cells at the limit",
        "[MAIN]\r\nInterval=0\r\n[GRAPH1]\r\nBackWidth=2147483647\r\nBackHeight=2147483647\r\n",
        size=(142, 43),
        values={("MAIN", "Interval"): "100", ("GRAPH1", "BackWidth"): "99",
                ("GRAPH1", "BackHeight"): "99"}),
    Row("interval below zero and a wide frame",
        "[MAIN]\r\nInterval=-1000\r\n[GRAPH1]\r\nFrameWidth=100\r\n",
        values={("MAIN", "Interval"): "100", ("GRAPH1", "FrameWidth"): "9"}),
    Row("interval at the 32-bit limit", "[MAIN]\r\nInterval=2147483647\r\n",
        values={("MAIN", "Interval"): "60000"}),
    # Values the fields cannot hold stay in the file.
    Row("path of 10,000 characters", "[COUNTER1]\r\nPath=" + LongPath + "\r\n",
        box=[CounterError], kept=["Path=" + LongPath]),
    Row("title and unit of 100 characters",
        "[COUNTER1]\r\nTitle=" + LongTitle + "\r\nUnit=" + LongUnit + "\r\n",
        kept=["Title=" + LongTitle, "Unit=" + LongUnit]),
    Row("face name of 40 characters",
        "[COUNTER1]\r\nFont=" + LongFace + "\r\nFontHigh=-12\r\nFontType=512\r\n",
        kept=["Font=" + LongFace, "FontHigh=-12", "FontType=512"]),
    # The alarm log pointed at the settings file: graph 2's alarm writes the same lines to a
    # witness log, so that the firings are seen.
    Row("alarm log in the settings file", None, witness=True),
    # Files the program cannot read: it says so once, runs on its defaults and leaves them.
    Row("UTF-16 without its mark", "[MAIN]\r\nInterval=500\r\n".encode("utf-16-le"),
        box=[ReadError, "ファイルに値が 0 のバイトがあります。"], unchanged=True),
    Row("a zero byte", b"[MAIN]\r\nInterval=500\r\n\x00[x]\r\n",
        box=[ReadError, "ファイルに値が 0 のバイトがあります。"], unchanged=True),
    Row("over 64 KB", b"[MAIN]\r\n" + b";" * 70000 + b"\r\n",
        box=[ReadError, "ファイルが 64 KB を超えています。"], unchanged=True),
    Row("a folder in its place", None, box=[ReadError, "ファイルではなくフォルダーです。"]),
    # Windows' own "Unicode" form is read and written as it is.
    Row("UTF-16 with its mark",
        b"\xff\xfe" + "[main]\r\ninterval=500\r\n; 日本語\r\n".encode("utf-16-le"),
        values={("main", "interval"): "500"}, kept=["; 日本語"], utf16=True),
    # Graph 1 switched off by hand: the message says so.
    Row("graph 1 switched off", "[COUNTER1]\r\nPdhFlag=0\r\n", box=[GraphOneOff],
        values={("COUNTER1", "PdhFlag"): "0"}),
    # Lines the program does not understand stay where they are.
    Row("odd lines",
        b"before any section\r\n[MAIN\r\n=\r\n[]\r\n[MAIN]\r\nno equals here\r\nInterval=abc\r\n"
        b"[[x]]\r\n\xff\xfe\xfd\r\n",
        values={("MAIN", "Interval"): "100"},
        kept=["before any section", "[MAIN", "=", "[]", "no equals here", "[[x]]"]),
    Row("cut short", b"[MAIN]\r\nWndPosX=3", values={("MAIN", "WndPosX"): None}),
    # Numbers no editor limits, at their ends: taken as they are, and nothing breaks.
    Row("every bit set", "[MAIN]\r\nProp=-1\r\nHkShow=0xFFFFFFFF\r\nPriority=-2147483648\r\n"
        "2ndGraph=-1\r\n[COUNTER1]\r\nPdhFlag=-1\r\nAlarmFlag=0xFFFFFFFF\r\n"
        "[GRAPH1]\r\nDrawFlag=-1\r\n[ICON1]\r\nDrawFlag=-1\r\nColorFlag=-1\r\n",
        # Without a tray icon the window must stay reachable: click-through and the see-through
        # background go.
        values={("MAIN", "Prop"): "-97",
                ("MAIN", "Priority"): "-2147483648"}),
    Row("colours past 24 bits", "[MAIN]\r\nProp=1587\r\nColWndLay=-1\r\n[GRAPH1]\r\n" +
        "".join(key + "=-1\r\n" for key in (
            "ColLastBrush", "ColLastPen", "ColHistBrush", "ColHistPen", "ColText", "ColShadow",
            "ColFrame", "ColBackBrush", "ColBackPen")),
        values={("GRAPH1", "ColText"): "-1"}),
    Row("font heights at the 32-bit limits",
        "[COUNTER1]\r\nFont=Arial\r\nFontHigh=2147483647\r\n"
        "[COUNTER2]\r\nPdhFlag=1\r\nFont=Arial\r\nFontHigh=-2147483648\r\n",
        values={("COUNTER1", "FontHigh"): "2147483647", ("COUNTER2", "FontHigh"): "-2147483648"}),
]


class DamagedSettingsTest(harness.DesktopTestCase):
    lang = "ja_JP.UTF-8"

    def run_row(self, row, folder):
        exe = self.desktop.copy_exe(folder)
        ini = os.path.splitext(exe)[0] + ".ini"
        witness = os.path.join(os.path.dirname(exe), "witness.log")
        data = row.ini
        if row.witness:
            data = ("[MAIN]\r\nInterval=100\r\n"
                    "[COUNTER1]\r\nAlarmFlag=0x00004173\r\nAlarmFile=%s\r\nAlarmOption=%%v\\r\\n\r\n"
                    "[COUNTER2]\r\nPdhFlag=1\r\nPath=\\Processor(_Total)\\%% Processor Time\r\n"
                    "AlarmFlag=0x00004173\r\nAlarmFile=%s\r\nAlarmOption=%%v\\r\\n\r\n"
                    % (harness.windows_path(ini), harness.windows_path(witness)))
        if isinstance(data, str):
            data = data.encode("cp932")
        if data is None:
            os.mkdir(ini)
        else:
            with open(ini, "wb") as f:
                f.write(data)

        program = self.desktop.start_program(exe=exe)
        try:
            window = self.desktop.wait_window(WindowTimeoutMs)
            self.assertTrue(window.ok, f"no graph window: {window}\n{program.log()}")
            self.settle()
            self.check_box(row)
            window = self.desktop.find()
            self.check_window(row, window)
            if row.witness:
                fired = harness.wait_for(lambda: os.path.exists(witness) and
                                         open(witness, "rb").read().count(b"\r\n") >= 3)
                self.assertIsNotNone(fired, "graph 2's alarm fired")
                with open(ini, "rb") as f:
                    self.assertEqual(f.read(), data, "no log line in the settings file")
            self.exit_program(program, ExitTimeoutS)
        finally:
            program.kill()
        self.check_file(row, ini, data)

    def settle(self):
        """Waits until the program has handled what it posted itself at start: a hide and a
        show posted now run after it, in a message box's loop too."""
        for visible in ("0", "1"):
            self.desktop.command(IdShowGraph)
            shown = harness.wait_for(lambda: self.desktop.find()["visible"] == visible)
            self.assertIsNotNone(shown, f"the window did not turn visible={visible}")

    def check_box(self, row):
        ping = self.desktop.probe("ping")
        self.assertEqual(ping["responds"], "1", ping)
        if row.box is None:
            self.assertEqual(ping["message_box"], "0", harness.word(ping.values.get("message",
                                                                                    "")))
            return
        self.assertEqual(ping["message_box"], "1", "a message is due")
        text = harness.word(ping["message"])
        for part in row.box:
            self.assertIn(part, text)
        self.desktop.screenshot(self.shot_name(row.name.replace(" ", "_")))
        # Answered as a person does: a click on its OK.
        self.desktop.mousemove(ping.int("ok_x"), ping.int("ok_y"))
        self.desktop.click(1)
        gone = harness.wait_for(lambda: self.desktop.probe("ping")["message_box"] == "0")
        self.assertIsNotNone(gone, "the box goes with its OK")

    def check_window(self, row, window):
        """Visible, at a size the mouse could give it, and enough of it in the work area to be
        grabbed."""
        self.assertEqual(window["visible"], "1", window)
        left, top, right, bottom = self.desktop.work_area
        width, height = window.int("width"), window.int("height")
        self.assertTrue(16 <= width <= 250 and 16 <= height <= 150, window)
        shown_x = min(right, window.int("right")) - max(left, window.int("left"))
        shown_y = min(bottom, window.int("bottom")) - max(top, window.int("top"))
        self.assertTrue(shown_x >= 16 and shown_y >= 16, window)
        if row.size:
            self.assertEqual((width, height), row.size, window)
        if row.place:
            self.assertEqual((window.int("left"), window.int("top")), row.place, window)
        if row.alpha is not None:
            self.assertEqual(window.int("alpha"), row.alpha, window)

    def check_file(self, row, ini, data):
        if data is None:
            self.assertTrue(os.path.isdir(ini), "the folder is still there")
            return
        with open(ini, "rb") as f:
            after = f.read()
        if row.unchanged:
            self.assertEqual(after, data)
            return
        if row.utf16:
            self.assertTrue(after.startswith(b"\xff\xfe"), after[:8])
            text = after[2:].decode("utf-16-le")
        else:
            text = after.decode("cp932", errors="replace")
        self.assertIn("WndPosX=", text, "the program's values were written")
        for (section, key), value in row.values.items():
            if value is not None:
                self.assertEqual(section_value(text, section, key), value, (section, key))
        if row.witness:
            self.assertIn("AlarmFile=" + harness.windows_path(ini) + "\r\n", text)
        at = 0
        for line in row.kept:
            found = re.compile(r"(?:\A|(?<=\r\n))" + re.escape(line) + r"\r\n").search(text, at)
            self.assertIsNotNone(found, f"{line[:60]!r} kept, after the lines before it")
            at = found.end()

    def test_each_damaged_file_gives_a_usable_window_its_message_and_a_kept_file(self):
        for number, row in enumerate(Rows):
            with self.subTest(row.name):
                self.run_row(row, f"row{number}")


if __name__ == "__main__":
    import unittest
    unittest.main()

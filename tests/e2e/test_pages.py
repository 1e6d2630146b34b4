"""The settings pages used as a person would, with the keyboard and the pointer: the grid lines
switched off, a history colour from the 16-colour popup, a new title, and an alarm set in the
alarm dialog, each seen in the running program afterwards."""

import os
import time
import unittest

import harness

WindowTimeoutMs = 15000
Width, Height = 142, 43
Grid = (0x00, 0x00, 0xFF)
IdHistFillColour = 1314  # the colour button of "履歴色(&I)"
IdTitle = 1106


class PagesTest(harness.DesktopTestCase):
    lang = "ja_JP.UTF-8"

    def setUp(self):
        super().setUp()
        self.exe = self.desktop.copy_exe()
        self.program = self.desktop.start_program(exe=self.exe)
        window = self.desktop.wait_window(WindowTimeoutMs)
        self.assertTrue(window.ok, f"no graph window: {window}\n{self.program.log()}")
        time.sleep(1.5)
        self.window = self.desktop.find()

    def wait_for(self, condition, timeout=5.0):
        return harness.wait_for(condition, timeout) is not None

    def open_settings(self, tabs_right=0):
        self.assertTrue(self.desktop.open_settings(self.window), "no settings")
        time.sleep(0.3)
        for _ in range(tabs_right):
            self.desktop.key("ctrl+Tab")
            time.sleep(0.3)

    def confirm(self):
        self.desktop.key("Return")
        self.assertTrue(self.wait_for(lambda: not self.desktop.probe("settings").ok), "open")
        time.sleep(1.5)  # the next sample repaints

    def graph(self, what):
        return self.desktop.grab(self.shot_name(what), self.window.int("left"),
                                 self.window.int("top"), Width, Height)

    def test_grid_lines_off_on_the_graph_page(self):
        self.assertIn(Grid, self.graph("before").row(25))
        self.open_settings(tabs_right=2)  # 本体 → PDH → グラフ
        self.desktop.screenshot(self.shot_name("graph-page"))
        self.desktop.key("alt+b")  # 背景線(&B)
        self.confirm()
        self.assertNotIn(Grid, self.graph("after").row(25), "the grid lines are gone")
        self.assertNotIn(Grid, self.graph("after").row(31))

    def test_history_colour_from_the_16_colour_popup(self):
        self.open_settings(tabs_right=2)
        self.desktop.key("alt+u")  # 16色から色を選択する(&U)
        button = self.desktop.probe("settings", IdHistFillColour)
        self.assertEqual(button["control"], "1", button)
        self.desktop.mousemove((button.int("cleft") + button.int("cright")) // 2,
                               (button.int("ctop") + button.int("cbottom")) // 2)
        self.desktop.click(1)
        self.assertTrue(self.wait_for(lambda: self.desktop.probe("menu").ok), "no popup")
        menu = self.desktop.probe("menu")
        self.desktop.screenshot(self.shot_name("popup"))
        # Two columns of eight: red (index 9) is the second item of the second column.
        width = (menu.int("right") - menu.int("left")) // 2
        height = (menu.int("bottom") - menu.int("top")) // 8
        self.desktop.mousemove(menu.int("left") + width + width // 2,
                               menu.int("top") + height + height // 2)
        time.sleep(0.2)
        self.desktop.click(1)
        time.sleep(0.3)
        self.confirm()
        graph = self.graph("after")
        self.assertEqual(graph.at(Width - 3, 40), (0xFF, 0x00, 0x00), "the history fill is red")

    def test_new_title_changes_the_caption(self):
        def caption_width(picture):
            columns = [x for x in range(Width) for y in range(3, 17)
                       if picture.at(x, y) == (0xFF, 0xFF, 0xFF)]
            return max(columns) - min(columns) if columns else 0
        before = caption_width(self.graph("before"))
        self.open_settings(tabs_right=1)  # PDH
        box = self.desktop.probe("settings", IdTitle)
        self.desktop.mousemove((box.int("cleft") + box.int("cright")) // 2,
                               (box.int("ctop") + box.int("cbottom")) // 2)
        self.desktop.click(1)
        self.desktop.key("End")
        for _ in range(6):
            self.desktop.key("BackSpace")
        self.desktop.xdotool("type", "Processor ")
        self.confirm()
        after = caption_width(self.graph("after"))
        self.assertGreater(after, before + 20, f"caption {before} → {after} pixels wide")

    def test_alarm_set_in_the_alarm_dialog_writes_its_log(self):
        log = os.path.join(self.desktop.run_dir, "pages.log")
        self.open_settings(tabs_right=1)  # PDH
        self.desktop.key("alt+a")  # アラームを使用する(&A)
        self.desktop.key("alt+l")  # アラームの設定(&L)...
        time.sleep(0.8)
        self.desktop.screenshot(self.shot_name("alarm-dialog"))
        steps = [
            ("key", "alt+s"),   # 起動時にアラームを開始する(&S)
            ("key", "alt+c"),   # 比較方法(&C): the list
            ("key", "End"),     # 常に
            ("key", "alt+n"),   # 閾値内で毎時アラーム(&N)
            ("key", "alt+r"),   # 実行(&R): the list
            ("key", "End"),     # 通知の表示, the last
            ("key", "Up"),      # ログの書き込み
            ("key", "alt+f"),   # ファイル(&F)
            ("type", "Z:" + log.replace("/", "\\")),
            ("key", "alt+o"),   # オプション(&O)
            ("type", r"%v\r\n"),
        ]
        for kind, text in steps:
            self.desktop.xdotool(kind, text)
            time.sleep(0.15)
        self.desktop.screenshot(self.shot_name("alarm-filled"))
        self.desktop.key("Return")  # the alarm dialog's OK
        time.sleep(0.5)
        self.confirm()  # the settings window's OK
        # The alarm is in use but waits (待機中) until it is started: the "アラーム" command.
        self.desktop.command(40018)
        time.sleep(3)
        self.assertTrue(os.path.exists(log), "no log file")
        with open(log, "rb") as f:
            lines = f.read().split(b"\r\n")[:-1]
        self.assertGreaterEqual(len(lines), 2, lines)
        self.assertEqual(set(lines), {b"5"})


if __name__ == "__main__":
    unittest.main()

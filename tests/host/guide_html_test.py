"""The user guide as it ships: scripts/guide-html builds both web pages into a folder as the
package does, and every link and picture in them must lead somewhere in that folder. Every
label a guide quotes in bold must be a text that the program shows in that guide's language,
as the resource files give them; the English guide keeps to US spelling; each guide shows the
pictures of its own language."""

import html
import os
import re
import subprocess
import sys
import tempfile
import unittest
import urllib.parse

Root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
Docs = os.path.join(Root, "docs")
Resources = os.path.join(Root, "src", "res")
# Each guide, its page and the resources of its language.
Guides = [("guide.md", "guide.html", "lang_en.rc"), ("guide.ja.md", "guide.ja.html", "lang_ja.rc")]

StringLiteral = re.compile(r'"((?:[^"\\]|""|\\.)*)"')
AccessKeySuffix = re.compile(r"\(&.\)")
Bold = re.compile(r"\*\*(.+?)\*\*")
CodeSpan = re.compile(r"(`+).+?\1")
Fence = re.compile(r"^(```|~~~)")
Attribute = re.compile(r'\s(id|href|src)="([^"]*)"')
# British spellings that the English guide must not use in its own sentences.
British = re.compile(r"\b(colour\w*|grey\w*|centre\w*|centred|licence\w*|behaviour\w*|"
                     r"favourite\w*|organis\w*|recognis\w*|minimis\w*|maximis\w*|customis\w*)\b",
                     re.I)


def label(text):
    """A text as the reader sees it: no access-key marker, no trailing colon or ellipsis."""
    text = AccessKeySuffix.sub("", text).replace("&&", "\0").replace("&", "").replace("\0", "&")
    text = text.strip()
    for end in ("...", "…", ":", "："):
        if text.endswith(end):
            text = text[: -len(end)].rstrip()
    return text


def resource_texts(rc_name):
    """Every text of a resource file (menus, dialogs, string tables), one per line of a
    multi-line string, each as label() makes it."""
    with open(os.path.join(Resources, rc_name), encoding="utf-8") as f:
        source = f.read()
    texts = set()
    for line in source.splitlines():
        if line.lstrip().startswith(("//", "#")):
            continue
        for literal in StringLiteral.findall(line):
            literal = literal.replace('""', '"')
            for part in re.split(r"\\[rnt]", literal):
                part = label(part.replace("\\\\", "\\"))
                if part:
                    texts.add(part)
    return texts


def prose_lines(markdown):
    """The guide's lines outside fenced blocks, with code spans taken out."""
    inside = False
    for number, line in enumerate(markdown.splitlines(), 1):
        if Fence.match(line.lstrip()):
            inside = not inside
            continue
        if not inside:
            yield number, CodeSpan.sub("", line)


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


class GuidePages(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        subprocess.run([sys.executable, os.path.join(Root, "scripts", "guide-html"),
                        cls.folder.name], check=True)

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def page(self, name):
        return read(os.path.join(self.folder.name, name))

    def ids(self, name):
        return {html.unescape(v) for k, v in Attribute.findall(self.page(name)) if k == "id"}

    def test_every_link_and_picture_leads_somewhere_in_the_package(self):
        for _, name, _ in Guides:
            text = self.page(name)
            # cmark-gfm writes a link's non-ASCII letters (#はじめに) percent-encoded, as the
            # browser sends them.
            links = [(k, urllib.parse.unquote(html.unescape(v)))
                     for k, v in Attribute.findall(text) if k != "id"]
            self.assertTrue(any(v.startswith("#") for _, v in links), f"{name}: no section links")
            self.assertTrue(any(k == "src" for k, _ in links), f"{name}: no pictures")
            for kind, target in links:
                if re.match(r"[a-z]+:", target):
                    continue  # a web or mail address, outside the package
                page, _, anchor = target.partition("#")
                page = page or name
                self.assertTrue(os.path.isfile(os.path.join(self.folder.name, page)),
                                f"{name}: {kind}={target}: no {page} in the package")
                if anchor:
                    self.assertTrue(anchor in self.ids(page), f"{name}: no section #{anchor}")
            self.assertIn('href="guide.css"', text)

    def test_each_guide_links_to_the_other(self):
        self.assertIn('href="guide.ja.html"', self.page("guide.html"))
        self.assertIn('href="guide.html"', self.page("guide.ja.html"))

    def test_japanese_text_has_no_blanks_where_the_source_breaks_its_lines(self):
        text = re.sub(r"<pre[ >].*?</pre>", "", self.page("guide.ja.html"), flags=re.S)
        breaks = re.findall(r"[\u3000-\u30ff\u4e00-\u9fff\uff00-\uffef]\n"
                            r"[\u3000-\u30ff\u4e00-\u9fff\uff00-\uffef]", text)
        self.assertFalse(breaks, breaks[:3])

    def test_headings_have_the_anchors_the_markdown_links_use(self):
        ids = self.ids("guide.html")
        self.assertIn("getting-started", ids)
        self.assertIn("main", ids)  # "### `[MAIN]`"
        self.assertIn("はじめに", self.ids("guide.ja.html"))


class GuideTexts(unittest.TestCase):
    def test_bold_labels_are_the_programs_own_texts(self):
        for markdown, _, rc in Guides:
            texts = resource_texts(rc)
            self.assertIn("Update interval" if rc == "lang_en.rc" else "グラフの更新間隔", texts)
            quoted = 0
            for number, line in prose_lines(read(os.path.join(Docs, markdown))):
                for bold in Bold.findall(line):
                    quoted += 1
                    self.assertTrue(label(bold) in texts,
                                    f"{markdown}:{number}: **{bold}** is not a text of {rc}")
            self.assertGreater(quoted, 40, f"{markdown} quotes few labels in bold")

    def test_the_english_guide_keeps_to_us_spelling(self):
        for number, line in prose_lines(read(os.path.join(Docs, "guide.md"))):
            found = British.findall(line)
            self.assertFalse(found, f"guide.md:{number}: {found}")

    def test_each_guide_shows_the_pictures_of_its_language(self):
        for markdown, _, _ in Guides:
            pictures = re.findall(r"images/([\w.-]+\.png)", read(os.path.join(Docs, markdown)))
            self.assertTrue(pictures, markdown)
            japanese = markdown == "guide.ja.md"
            for picture in pictures:
                self.assertEqual(picture.endswith(".ja.png"), japanese, f"{markdown}: {picture}")


if __name__ == "__main__":
    unittest.main()

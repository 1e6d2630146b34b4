// The settings text engine: finding sections and keys, reading values, editing the text in
// place or into a new one, deleting lines, and reading files within the size limit.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "settings/settings_text.h"
#include "settings/settings_text_file.h"
#include "settings_support.h"
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {

std::wstring Get(const std::string& bytes, const char* section, const char* key,
                 const wchar_t* fallback = L"<default>") {
    OwnedText t(bytes);
    wchar_t out[64];
    GetTextValue(section, key, fallback, out, 64, t.text);
    return out;
}

std::string Set(const std::string& bytes, const char* section, const char* key,
                const wchar_t* value) {
    OwnedText t(bytes);
    t.text = SetTextValue(section, key, value, t.text);
    return t.Bytes();
}

TEST(SettingsText, FindsSectionsAndKeysAsTheScannerReadsThem) {
    struct Case {
        const char* text;
        const char* section;
        const char* key;
        const wchar_t* value;
    };
    const Case cases[] = {
        {"[main]\r\nInterval=5\r\n", "MAIN", "Interval", L"5"},
        {"[ MAIN ]\r\nInterval=5\r\n", "MAIN", "Interval", L"<default>"},
        {"[MAIN] ; note\r\nInterval=5\r\n", "MAIN", "Interval", L"5"},
        {"  [MAIN]\r\n\tInterval=5\r\n", "MAIN", "Interval", L"5"},
        {"[MAIN]\r\ninterval=5\r\n", "MAIN", "Interval", L"5"},
        {"[MAIN]\r\nInterval =5\r\n", "MAIN", "Interval", L"<default>"},
        {"[MAIN]\r\nUnit= %\r\n", "MAIN", "Unit", L" %"},
        {"[MAIN]\r\nPath=a=b\r\n", "MAIN", "Path", L"a=b"},
        {"[MAIN]\nA=1\rB=2\r\n\r\n\nC=3", "MAIN", "C", L"3"},
        {"[MAIN]\r\nA=1\r\n[MAIN]\r\nB=2\r\n", "MAIN", "B", L"<default>"},
        {"[MAIN]\r\nA=1\r\nA=2\r\n", "MAIN", "A", L"1"},
        {"[MAIN]\r\n#A=1\r\n;A=2\r\n!A=3\r\nA=4\r\n", "MAIN", "A", L"4"},
        {"A=1\r\n[MAIN]\r\nB=2\r\n", "MAIN", "A", L"<default>"},
        {"[MAIN\r\nA=1\r\n", "MAIN", "A", L"<default>"},
        {"[MAIN]\r\n[MAIN\r\nA=1\r\n", "MAIN", "A", L"<default>"},
        {"[OTHER]\r\nA=1\r\n[MAIN]\r\nA=2", "MAIN", "A", L"2"},
        {"[MAIN]\r\nA\r\nA=2\r\n", "MAIN", "A", L"2"},
        {"[MAIN]\r\nA=\r\n", "MAIN", "A", L""},
        {"", "MAIN", "A", L"<default>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Get(c.text, c.section, c.key), c.value);
    }
    wchar_t out[8] = L"x";
    EXPECT_EQ(GetTextValue("MAIN", "A", L"dflt", out, 8, nullptr), 0) << "absent text";
    EXPECT_EQ(std::wstring(out), L"dflt");
}

TEST(SettingsText, NumbersReadFromTheValueAndGiveZeroWhenUnusable) {
    OwnedText t("[MAIN]\r\nProp=0x603\r\nHkShow=1D\r\nEmpty=\r\nWord=abc\r\n"
                "Big=-9223372036854775808\r\nPlain=1539 trailing\r\n");
    EXPECT_EQ(GetIntValue("MAIN", "Prop", 7, t.text), 0) << "a hex text read as decimal";
    EXPECT_EQ(GetHexValue("MAIN", "HkShow", 7, t.text), 0x1Du);
    EXPECT_EQ(GetIntValue("MAIN", "Empty", 7, t.text), 0) << "present: 0, not the default";
    EXPECT_EQ(GetIntValue("MAIN", "Word", 7, t.text), 0);
    EXPECT_EQ(GetInt64Value("MAIN", "Big", 7, t.text), INT64_MIN);
    EXPECT_EQ(GetIntValue("MAIN", "Plain", 7, t.text), 1539);
    EXPECT_EQ(GetIntValue("MAIN", "Missing", 7, t.text), 7);
    EXPECT_EQ(GetHexValue("NONE", "HkShow", 9, t.text), 9u);
    EXPECT_EQ(GetInt64Value("MAIN", "Prop", 5, nullptr), 5);
}

TEST(SettingsText, TextValuesQueryTheirSizeAndNeverOverflow) {
    OwnedText t("[C]\r\nPath=\\Processor(_Total)\\% Processor Time\r\n");
    EXPECT_EQ(GetTextValue("C", "Path", L"", nullptr, 0, t.text), 35);
    wchar_t small[8] = L"guard";
    EXPECT_EQ(GetTextValue("C", "Path", L"dflt", small, 8, t.text), 0);
    EXPECT_EQ(std::wstring(small), L"") << "a value that does not fit gives the empty text";
    wchar_t exact[36];
    EXPECT_EQ(GetTextValue("C", "Path", L"", exact, 36, t.text), 35);
    EXPECT_EQ(std::wstring(exact), L"\\Processor(_Total)\\% Processor Time");
    wchar_t cut[4];
    GetTextValue("C", "Missing", L"default", cut, 4, t.text);
    EXPECT_EQ(std::wstring(cut), L"def") << "a default is cut to the capacity";
}

TEST(SettingsText, WritesEditInPlaceOrMakeANewText) {
    // Same size and shrinking stay in the same text; growing makes a new one.
    OwnedText t("[MAIN]\r\nInterval=1000\r\nNext=1\r\n");
    SettingsText* before = t.text;
    t.text = SetTextValue("MAIN", "Interval", L"500", t.text);
    EXPECT_EQ(t.text, before);
    EXPECT_EQ(t.Bytes(), "[MAIN]\r\nInterval=500\r\nNext=1\r\n");
    t.text = SetTextValue("MAIN", "Interval", L"700", t.text);
    EXPECT_EQ(t.text, before);
    EXPECT_EQ(t.Bytes(), "[MAIN]\r\nInterval=700\r\nNext=1\r\n");
    t.text = SetTextValue("MAIN", "Interval", L"60000", t.text);
    EXPECT_EQ(t.Bytes(), "[MAIN]\r\nInterval=60000\r\nNext=1\r\n");

    struct Case {
        const char* before;
        const char* section;
        const char* key;
        const wchar_t* value;
        const char* after;
    };
    const Case cases[] = {
        // a new key at the end of its section, before the blank lines and the next header
        {"[A]\r\nX=1\r\n\r\n[B]\r\n", "A", "Y", L"2", "[A]\r\nX=1\r\nY=2\r\n\r\n[B]\r\n"},
        {"[A]\r\nX=1\r\n; note\r\n\r\n[B]\r\n", "A", "Y", L"2",
         "[A]\r\nX=1\r\n; note\r\nY=2\r\n\r\n[B]\r\n"},
        {"[A]\r\nX=1", "A", "Y", L"2", "[A]\r\nX=1\r\nY=2\r\n"},
        {"[A]", "A", "Y", L"2", "[A]\r\nY=2\r\n"},
        // the first of two sections, and the key's own letter case kept
        {"[A]\r\nx=1\r\n[A]\r\nX=3\r\n", "A", "X", L"2", "[A]\r\nx=2\r\n[A]\r\nX=3\r\n"},
        // a key line with a blank before '=' is another key
        {"[A]\r\nX =1\r\n", "A", "X", L"2", "[A]\r\nX =1\r\nX=2\r\n"},
        // a key above the first header goes into its section
        {"X=1\r\n[A]\r\n", "A", "X", L"2", "X=1\r\n[A]\r\nX=2\r\n"},
        // new sections: one blank line before them, none in an empty text
        {"", "A", "X", L"1", "[A]\r\nX=1\r\n"},
        {"[B]\r\nY=1\r\n", "A", "X", L"1", "[B]\r\nY=1\r\n\r\n[A]\r\nX=1\r\n"},
        {"[B]\r\nY=1", "A", "X", L"1", "[B]\r\nY=1\r\n\r\n[A]\r\nX=1\r\n"},
        {"; only a comment\n", "A", "X", L"1", "; only a comment\n\r\n[A]\r\nX=1\r\n"},
        // values as they are: blanks kept, none written empty
        {"[A]\r\nUnit= %\r\n", "A", "Unit", L" %", "[A]\r\nUnit= %\r\n"},
        {"[A]\r\nF=old\r\n", "A", "F", nullptr, "[A]\r\nF=\r\n"},
        {"[A]\r\n", "A", "F", nullptr, "[A]\r\nF=\r\n"},
        // a lone CR or LF ends a line as CR LF does
        {"[A]\rX=1\rY=2", "A", "X", L"33", "[A]\rX=33\rY=2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        EXPECT_EQ(Set(c.before, c.section, c.key, c.value), c.after);
    }
    OwnedText fresh(std::string(), true);
    fresh.text = SetTextValue("MAIN", "Prop", L"1539", fresh.text);
    EXPECT_EQ(fresh.Bytes(), "[MAIN]\r\nProp=1539\r\n");
}

TEST(SettingsText, TypedWritersFormatTheirNumbers) {
    OwnedText t;
    t.text = SetHexValue("M", "Zero", 0, t.text);
    t.text = SetHexValue("M", "Key", 0x007B011D, t.text);
    t.text = SetHexValue("M", "Top", 0xFFFFFFFF, t.text);
    t.text = SetIntValue("M", "Neg", -2147483647 - 1, t.text);
    t.text = SetInt64Value("M", "Big", INT64_MIN, t.text);
    EXPECT_EQ(t.Bytes(), "[M]\r\nZero=0\r\nKey=0x007B011D\r\nTop=0xFFFFFFFF\r\n"
                         "Neg=-2147483648\r\nBig=-9223372036854775808\r\n");
}

TEST(SettingsText, DeleteKeyRemovesTheFirstMatchingLineOnly) {
    struct Case {
        const char* before;
        const char* key;
        int removed;
        const char* after;
    };
    const Case cases[] = {
        {"[C]\r\nFont=A\r\nFontHigh=-12\r\n", "Font", 1, "[C]\r\nFontHigh=-12\r\n"},
        {"[C]\r\n  Font=A\r\nX=1\r\n", "Font", 1, "[C]\r\nX=1\r\n"},
        {"[C]\r\nFont=A\r\nFont=B\r\n", "Font", 1, "[C]\r\nFont=B\r\n"},
        {"[C]\r\nX=1\r\n\r\nFont=A", "Font", 1, "[C]\r\nX=1\r\n\r\n"},
        {"[C]\r\n;Font=A\r\n", "Font", 0, "[C]\r\n;Font=A\r\n"},
        {"[C]\r\nX=1\r\n[D]\r\nFont=A\r\n", "Font", 0, "[C]\r\nX=1\r\n[D]\r\nFont=A\r\n"},
        {"[D]\r\nFont=A\r\n", "Font", 0, "[D]\r\nFont=A\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        OwnedText t(c.before);
        EXPECT_EQ(DeleteKey("C", c.key, t.text), c.removed);
        EXPECT_EQ(t.Bytes(), c.after);
    }
    EXPECT_EQ(DeleteKey("C", "Font", nullptr), 0);
}

#ifndef _WIN32
TEST(SettingsText, NoMemoryForALargerTextKeepsTheTextAndSaysSo) {
    for (const char* before : {"[A]\r\nX=1\r\n", "[A]\r\n", "[B]\r\n"}) {
        SCOPED_TRACE(before);
        OwnedText t(before);
        SettingsText* given = t.text;
        PortFailHeapAfter(0);
        bool failed = false;
        t.text = SetTextValue("A", "X", L"1234567", t.text, &failed);
        PortFailHeapAfter(-1);
        EXPECT_TRUE(failed);
        EXPECT_EQ(t.text, given);
        EXPECT_EQ(t.Bytes(), before);
    }
    PortFailHeapAfter(0);
    bool failed = false;
    SettingsText* text = SetTextValue("A", "X", L"1", nullptr, &failed);
    PortFailHeapAfter(-1);
    EXPECT_EQ(text, nullptr);
    EXPECT_TRUE(failed);
}
#endif

// Double-byte characters whose trail byte is ']' (0x5D) or '\' (0x5C): stepped whole, they
// are never taken for the end of a header or anything else.
class SettingsTextCodePage : public testing::Test {
protected:
    void TearDown() override { RestoreCodePage(); }
};

TEST_F(SettingsTextCodePage, TrailBytesAreNeverDelimitersInCodePage932) {
    if (!SelectCodePage(932))
        GTEST_SKIP() << "the system's code page is not 932";
    const std::string zo = "\x83\x5D"; // ゾ, trail byte ']'
    const std::string so = "\x83\x5C"; // ソ, trail byte '\'
    const std::string text = "[" + zo + "]\r\n" + so + "=" + zo + so + "\r\n";
    EXPECT_EQ(Get(text, zo.c_str(), so.c_str()), L"\u30be\u30bd");
    EXPECT_EQ(Get(text, "\x83", so.c_str()), L"<default>") << "half a character is no name";

    // A wide value written in the code page and read back.
    OwnedText t(text);
    t.text = SetTextValue(zo.c_str(), so.c_str(), L"\u30bd\u30d5\u30c8]", t.text);
    EXPECT_EQ(t.Bytes(), "[" + zo + "]\r\n" + so + "=\x83\x5C\x83\x74\x83\x67]\r\n");
    wchar_t out[16];
    GetTextValue(zo.c_str(), so.c_str(), L"", out, 16, t.text);
    EXPECT_EQ(std::wstring(out), L"\u30bd\u30d5\u30c8]");
    EXPECT_EQ(GetTextValue(zo.c_str(), so.c_str(), L"", nullptr, 0, t.text), 7) << "bytes";
    EXPECT_EQ(DeleteKey(zo.c_str(), so.c_str(), t.text), 1);
    EXPECT_EQ(t.Bytes(), "[" + zo + "]\r\n");

    // A lead byte whose trail byte is missing does not swallow the line break after it.
    struct Broken {
        const char* text;
        const wchar_t* b;
    };
    const Broken broken[] = {{"[S]\r\nA=\x83\nB=2\r\n", L"2"},
                             {"[S]\r\nA=\x83\r\nB=2\r\n", L"2"},
                             {"[S]\n\x83\n", L"none"}};
    for (const Broken& c : broken) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Get(c.text, "S", "B", L"none"), c.b);
        OwnedText b(c.text);
        b.text = SetTextValue("S", "K", L"1", b.text);
        EXPECT_EQ(Get(b.Bytes(), "S", "K"), L"1") << "a key written after it reads back";
    }
}

TEST_F(SettingsTextCodePage, SingleBytesOfCodePage1252AreCharactersOfTheirOwn) {
    if (!SelectCodePage(1252))
        GTEST_SKIP() << "the system's code page is not 1252";
    const std::string text = "[\x83]\x5D\r\nK=\x80\xe9\r\n";
    EXPECT_EQ(Get(text, "\x83", "K"), L"\u20ac\u00e9");
    OwnedText t;
    t.text = SetTextValue("S", "K", L"\u00e9\u20ac\u30bd", t.text);
    EXPECT_EQ(t.Bytes(), "[S]\r\nK=\xe9\x80?\r\n") << "a missing character becomes '?'";
}

// A text that starts with the UTF-8 mark is UTF-8 whatever the code page: its first header
// is found, its values convert as UTF-8 both ways, and every edit keeps the mark.
TEST(SettingsText, ATextWithTheUtf8MarkIsUtf8Throughout) {
    const std::string mark = "\xEF\xBB\xBF";
    const std::string so = "\xE3\x82\xBD"; // ソ: its last byte is a lead byte of 932
    const std::string text = mark + "[MAIN]\r\nT=" + so + "\r\n" + so + "=x\r\nK=1\r\n";
    EXPECT_EQ(Get(text, "MAIN", "T"), L"\u30bd");
    EXPECT_EQ(Get(text, "MAIN", "K"), L"1");
    EXPECT_EQ(Get(mark + "[MAIN]\r\nT=\xE3\x82\r\n", "MAIN", "T"), L"\ufffd\ufffd")
        << "a cut sequence";

    OwnedText t(text);
    t.text = SetTextValue("MAIN", "T", L"\u30bd\u30d5\u30c8\U0001F600", t.text);
    t.text = SetTextValue("MAIN", "New", L"\u00e9", t.text);
    t.text = SetTextValue("GRAPH1", "K", L"2", t.text);
    EXPECT_EQ(t.Bytes(),
              mark + "[MAIN]\r\nT=\xE3\x82\xBD\xE3\x83\x95\xE3\x83\x88\xF0\x9F\x98\x80\r\n" + so +
                  "=x\r\nK=1\r\nNew=\xC3\xA9\r\n\r\n[GRAPH1]\r\nK=2\r\n");
    EXPECT_EQ(Get(t.Bytes(), "MAIN", "T"), L"\u30bd\u30d5\u30c8\U0001F600");
    EXPECT_EQ(DeleteKey("MAIN", "New", t.text), 1);

    // A text that is nothing but the mark gets its first section right after it.
    EXPECT_EQ(Set(mark, "MAIN", "K", L"1"), mark + "[MAIN]\r\nK=1\r\n");

    // Names are found in any letter case, as in a text of the code page.
    const std::string lower = mark + "[main]\r\ninterval=500\r\n";
    EXPECT_EQ(Get(lower, "MAIN", "Interval"), L"500");
    EXPECT_EQ(Set(lower, "MAIN", "Interval", L"750"), mark + "[main]\r\ninterval=750\r\n");
}

// A value is one line: a break in it would put a key or a section of the value's own into the
// file.
TEST(SettingsText, AValueIsWrittenUpToItsFirstLineBreak) {
    EXPECT_EQ(Set("[A]\r\nT=old\r\n", "A", "T", L"x\r\n[MAIN]\r\nInterval=1"), "[A]\r\nT=x\r\n");
    EXPECT_EQ(Set("[A]\r\n", "A", "T", L"ab\ncd"), "[A]\r\nT=ab\r\n");
    EXPECT_EQ(Set("", "A", "T", L"\rcd"), "[A]\r\nT=\r\n");
}

TEST(SettingsFile, ReadsFilesOfOneTo65535Bytes) {
    ScratchFolder folder;
    struct Case {
        const char* name;
        std::string bytes;
        SettingsFileStatus status;
    };
    std::string big(65535, 'x');
    big.replace(0, 11, "[MAIN]\r\nA=1");
    const std::vector<Case> cases = {
        {"limit.ini", big, SettingsFileStatus::Read},
        {"over.ini", big + "x", SettingsFileStatus::Refused},
        {"empty.ini", "", SettingsFileStatus::Absent},
        {"utf16.ini", std::string("[\0M\0A\0I\0N\0]\0", 12), SettingsFileStatus::Refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring path = folder.Path(ScratchFolder::Widen(c.name).c_str());
        WriteBytes(path, c.bytes);
        SettingsFileStatus status;
        SettingsText* text = ReadSettingsFile(path.c_str(), &status);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(text != nullptr, c.status == SettingsFileStatus::Read);
        if (text) {
            EXPECT_EQ(std::string(text), c.bytes);
        }
        FreeSettingsText(text);
    }
    SettingsFileStatus status;
    EXPECT_EQ(ReadSettingsFile(folder.Path(L"missing.ini").c_str(), &status), nullptr);
    EXPECT_EQ(status, SettingsFileStatus::Absent);
    EXPECT_EQ(ReadSettingsFile(folder.Path(L"no\\such\\folder.ini").c_str(), &status), nullptr);
    EXPECT_EQ(status, SettingsFileStatus::Absent);
}

// Windows' own profile functions read and write UTF-16 with its mark: such a file is held as
// UTF-8 while it is edited and written back as UTF-16, unit for unit.
TEST(SettingsFile, AUtf16FileIsReadAsUtf8AndWrittenBackAsItWas) {
    ScratchFolder folder;
    std::wstring path = folder.Path(L"mon.ini");
    // "; ソ\r\n[MAIN]\r\nA=1\r\nB=" a lone high surrogate "\r\n"
    static const char bytes[] = "\xFF\xFE;\0 \0\xBD\x30\r\0\n\0[\0M\0A\0I\0N\0]\0\r\0\n\0"
                                "A\0=\0" "1\0\r\0\n\0B\0=\0\x01\xD8\r\0\n\0";
    const std::string file(bytes, sizeof(bytes) - 1);
    WriteBytes(path, file);
    SettingsFileStatus status;
    SettingsFileForm form = SettingsFileForm::Bytes;
    SettingsText* text = ReadSettingsFile(path.c_str(), &status, nullptr, &form);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(status, SettingsFileStatus::Read);
    EXPECT_EQ(form, SettingsFileForm::Utf16);
    EXPECT_EQ(std::string(text), "\xEF\xBB\xBF; \xE3\x82\xBD\r\n[MAIN]\r\nA=1\r\nB=\xED\xA0\x81\r\n");
    EXPECT_TRUE(WriteSettingsFile(path.c_str(), text, nullptr, form));
    EXPECT_EQ(ReadBytes(path), file);
    FreeSettingsText(text);

    // The mark alone is an empty text of that form.
    WriteBytes(path, "\xFF\xFE");
    text = ReadSettingsFile(path.c_str(), &status, nullptr, &form);
    EXPECT_EQ(std::string(text ? text : "<none>"), "\xEF\xBB\xBF");
    EXPECT_EQ(form, SettingsFileForm::Utf16);
    FreeSettingsText(text);
}

// A file refused says why: too large, a zero byte or unit, UTF-16 cut within a character, a
// folder.
TEST(SettingsFile, ARefusedFileSaysWhy) {
    ScratchFolder folder;
    struct Case {
        const char* name;
        std::string bytes;
        uint32_t error;
    };
    const std::vector<Case> cases = {
        {"large.ini", std::string(65536, ';'), PortErrorFileTooLarge},
        {"zero.ini", std::string("[MAIN]\0", 7), PortErrorInvalidData},
        {"nomark.ini", std::string("[\0M\0]\0", 6), PortErrorInvalidData},
        {"zerounit.ini", std::string("\xFF\xFE[\0\0\0]\0", 8), PortErrorInvalidData},
        {"cut.ini", std::string("\xFF\xFE[\0M", 5), PortErrorNoUnicodeTranslation},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring path = folder.Path(ScratchFolder::Widen(c.name).c_str());
        WriteBytes(path, c.bytes);
        SettingsFileStatus status;
        uint32_t error = 0;
        EXPECT_EQ(ReadSettingsFile(path.c_str(), &status, &error), nullptr);
        EXPECT_EQ(status, SettingsFileStatus::Refused);
        EXPECT_EQ(error, c.error);
    }
    SettingsFileStatus status;
    uint32_t error = 0;
    std::wstring inner = folder.Path(L"folder.ini");
#ifdef _WIN32
    CreateDirectoryW(inner.c_str(), nullptr);
#else
    mkdir(ScratchFolder::Narrow(inner).c_str(), 0700);
#endif
    EXPECT_EQ(ReadSettingsFile(inner.c_str(), &status, &error), nullptr);
    EXPECT_EQ(status, SettingsFileStatus::Refused);
    EXPECT_EQ(error, PortErrorIsFolder);
}

// A text whose UTF-16 form the read would refuse is not written.
TEST(SettingsFile, AUtf16TextTooLargeForTheReadIsNotWritten) {
    ScratchFolder folder;
    std::wstring path = folder.Path(L"mon.ini");
    WriteBytes(path, "kept");
    std::string body = "\xEF\xBB\xBF" + std::string(32766, 'x'); // 2 + 65532 bytes: fits
    OwnedText fits(body);
    uint32_t error = 0;
    EXPECT_TRUE(WriteSettingsFile(path.c_str(), fits.text, &error, SettingsFileForm::Utf16));
    EXPECT_EQ(ReadBytes(path).size(), 65534u);
    OwnedText over(body + "y");
    EXPECT_FALSE(WriteSettingsFile(path.c_str(), over.text, &error, SettingsFileForm::Utf16));
    EXPECT_EQ(error, PortErrorFileTooLarge);
    EXPECT_EQ(ReadBytes(path).size(), 65534u) << "the file as it was";
}

TEST(SettingsFile, WriteReplacesTheWholeFileAndLeavesNoTemporaryFile) {
    ScratchFolder folder;
    std::wstring path = folder.Path(L"mon.ini");
    WriteBytes(path, std::string(5000, 'o'));
    OwnedText t("[MAIN]\r\nA=1\r\n");
    EXPECT_TRUE(WriteSettingsFile(path.c_str(), t.text));
    EXPECT_EQ(ReadBytes(path), "[MAIN]\r\nA=1\r\n");
    EXPECT_EQ(CountFiles(folder), 1);
    EXPECT_FALSE(WriteSettingsFile(folder.Path(L"none/mon.ini").c_str(), t.text));
    EXPECT_EQ(CountFiles(folder), 1);
}

} // namespace

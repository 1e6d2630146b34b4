// Loading and saving the settings file: its path, the whole file written from nothing, a
// user's file edited in place, and files that must never be overwritten.
#include <string>

#include <gtest/gtest.h>

#include "settings/settings_schema.h"
#include "settings/settings_store.h"
#include "settings_support.h"
#include "text/convert.h"

namespace {

std::wstring Resolve(const wchar_t* argument, const wchar_t* module) {
    wchar_t path[PathChars];
    if (!ResolveSettingsPath(argument, module, path))
        return L"<none>";
    return path;
}

TEST(SettingsPath, ArgumentEndingInIniQuotedOrNotElseTheProgramsOwnName) {
    struct Case {
        const wchar_t* argument;
        const wchar_t* module;
        const wchar_t* path;
    };
    const Case cases[] = {
        {L"D:\\conf\\mon.INI", L"C:\\Tools\\mon.exe", L"D:\\conf\\mon.INI"},
        {L"rel.ini", L"C:\\Tools\\mon.exe", L"rel.ini"},
        {L"D:\\my conf\\a.Ini", L"C:\\Tools\\mon.exe", L"D:\\my conf\\a.Ini"},
        {L"D:\\conf\\mon.ini.bak", L"C:\\Tools\\mon.exe", L"C:\\Tools\\mon.ini"},
        {L"D:\\conf\\mon.inix", L"C:\\Tools\\mon.exe", L"C:\\Tools\\mon.ini"},
        {L"D:\\conf\\mon", L"C:\\Tools\\mon.exe", L"C:\\Tools\\mon.ini"},
        {L"\"D:\\a b\\mon.ini\"", L"C:\\Tools\\mon.exe", L"D:\\a b\\mon.ini"},
        {L"\"D:\\a b\\mon.txt\"", L"C:\\Tools\\mon.exe", L"C:\\Tools\\mon.ini"},
        {L"\"\"", L"C:\\Tools\\mon.exe", L"C:\\Tools\\mon.ini"},
        {L"", L"C:\\Tools\\mon.exe", L"C:\\Tools\\mon.ini"},
        {nullptr, L"C:\\Tools\\mon.exe", L"C:\\Tools\\mon.ini"},
        {L"", L"C:\\v1.2\\mon", L"C:\\v1.2\\mon.ini"},
        {L"", L"C:\\Tools\\mon.old.exe", L"C:\\Tools\\mon.old.ini"},
        {L"", L"", L"<none>"},
        {L"", nullptr, L"<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ScratchFolder::Narrow(c.argument ? c.argument : L"<null>"));
        EXPECT_EQ(Resolve(c.argument, c.module), c.path);
    }

    // 259 characters fit with the terminator; one more does not.
    std::wstring longIni = std::wstring(255, L'a') + L".ini";
    EXPECT_EQ(Resolve(longIni.c_str(), L"C:\\m.exe"), longIni);
    std::wstring tooLong = std::wstring(256, L'a') + L".ini";
    EXPECT_EQ(Resolve(tooLong.c_str(), L"C:\\m.exe"), L"C:\\m.ini") << "falls back";
    std::wstring module = std::wstring(255, L'b') + L".exe";
    EXPECT_EQ(Resolve(L"", module.c_str()), std::wstring(255, L'b') + L".ini");
    std::wstring noDot = std::wstring(256, L'b');
    EXPECT_EQ(Resolve(L"", noDot.c_str()), L"<none>");
}

class SettingsStore : public testing::Test {
protected:
    std::wstring File(const wchar_t* name = L"mon.ini") const { return folder.Path(name); }

    int Load(const std::wstring& path) {
        return LoadSettingsFile(path.c_str(), &loaded.records, loaded.runs);
    }

    SettingsSaveResult Save(const std::wstring& path) {
        return SaveSettingsFile(path.c_str(), &loaded.records);
    }

    ScratchFolder folder;
    LoadedRecords loaded;
};

TEST_F(SettingsStore, SaveFromNoFileWritesTheDefaultsInSchemaOrder) {
    std::wstring path = File();
    EXPECT_EQ(Load(path), 0);
    loaded.records.Place.WndPosX = 1138;
    loaded.records.Place.WndPosY = 721;
    EXPECT_EQ(Save(path), SettingsSaveResult::Created);
    EXPECT_EQ(ReadBytes(path), ReadBytes(TestDataPath("default_settings.ini")));
    EXPECT_EQ(CountFiles(folder), 1);

    // Loaded again, saved again: the same bytes.
    LoadedRecords again;
    EXPECT_EQ(LoadSettingsFile(path.c_str(), &again.records, again.runs), 1);
    EXPECT_EQ(again.records.Place.WndPosX, 1138);
    EXPECT_EQ(SaveSettingsFile(path.c_str(), &again.records), SettingsSaveResult::Replaced);
    EXPECT_EQ(ReadBytes(path), ReadBytes(TestDataPath("default_settings.ini")));
}

TEST_F(SettingsStore, AUsersFileKeepsItsLinesInPlaceAndGetsTheRest) {
    std::wstring path = File();
    WriteBytes(path, "; my settings\r\n[main]\r\ninterval=500\r\n# keep\r\n\r\n"
                     "[Other]\r\nx=1\r\n\r\n[GRAPH2]\r\nBackWidth=7\r\nDrawFlag=5\r\n");
    EXPECT_EQ(Load(path), 1);
    EXPECT_EQ(loaded.records.Main.Interval, 500u);
    EXPECT_EQ(loaded.records.Main.Prop, 0x603u) << "the rest at its default";
    EXPECT_EQ(loaded.records.Style[1].DrawFlag, 5u);
    EXPECT_EQ(loaded.records.Style[1].BackWidth, 0) << "graph 2 has no width keys";
    EXPECT_EQ(Save(path), SettingsSaveResult::Replaced);

    std::string saved = ReadBytes(path);
    EXPECT_EQ(saved.rfind("; my settings\r\n[main]\r\ninterval=500\r\n# keep\r\nProp=1539\r\n", 0),
              0u)
        << saved;
    EXPECT_NE(saved.find("WndHeight=43\r\n\r\n[Other]\r\nx=1\r\n\r\n[GRAPH2]\r\nBackWidth=7\r\n"
                         "DrawFlag=5\r\nColLastBrush=255\r\n"),
              std::string::npos)
        << saved;
    EXPECT_EQ(saved.find("Interval="), std::string::npos) << "no second Interval line";
    EXPECT_NE(saved.find("ColBackPen=16711680\r\n\r\n[COUNTER1]\r\n"), std::string::npos);
    EXPECT_EQ(saved.find("[COUNTER1]"), saved.rfind("[COUNTER1]"));
}

TEST_F(SettingsStore, FontKeysAreWrittenOnlyWithAFaceName) {
    std::wstring path = File();
    WriteBytes(path, "[COUNTER1]\r\nFontHigh=-12\r\nFontType=256\r\nX=1\r\n");
    EXPECT_EQ(Load(path), 1);
    EXPECT_EQ(loaded.records.Slot[0].FontHigh, -12);
    Save(path);
    std::string saved = ReadBytes(path);
    EXPECT_EQ(saved.find("Font"), std::string::npos) << saved;
    EXPECT_EQ(saved.rfind("[COUNTER1]\r\nX=1\r\nPdhFlag=1\r\n", 0), 0u) << saved;

    CopyWideText(loaded.records.Slot[1].Font, L"Tahoma", FontChars);
    loaded.records.Slot[1].FontHigh = -11;
    Save(path);
    saved = ReadBytes(path);
    // Keys new to an existing section go to its end.
    EXPECT_NE(saved.find("AlarmOption=\r\nFont=Tahoma\r\nFontHigh=-11\r\nFontType=0\r\n\r\n"
                         "[GRAPH2]"),
              std::string::npos)
        << saved;
}

TEST_F(SettingsStore, AlarmTextsOfAnyLengthComeBackExactly) {
    std::wstring path = File();
    std::wstring option(3000, L'p');
    option += L" %V \\t end ";
    loaded.records.Slot[0].AlarmOption =
        static_cast<wchar_t*>(PortHeapAlloc((option.size() + 1) * sizeof(wchar_t)));
    CopyWideText(loaded.records.Slot[0].AlarmOption, option.c_str(),
                 static_cast<int>(option.size() + 1));
    Save(path);
    LoadedRecords again;
    LoadSettingsFile(path.c_str(), &again.records, again.runs);
    ASSERT_NE(again.records.Slot[0].AlarmOption, nullptr);
    EXPECT_EQ(std::wstring(again.records.Slot[0].AlarmOption), option);
    EXPECT_EQ(again.records.Slot[0].AlarmFile, nullptr) << "an empty value is no text";
}

// A file saved by an editor as UTF-8 with its mark: read as UTF-8, and saved with the mark, one
// [MAIN] and the title's bytes as they were.
TEST_F(SettingsStore, AUtf8FileKeepsItsMarkSectionsAndTexts) {
    std::wstring path = File();
    const std::string title =
        "\xEF\xBC\xA3\xEF\xBC\xB0\xEF\xBC\xB5\xE8\xB2\xA0\xE8\x8D\xB7"; // ＣＰＵ負荷
    const std::string before =
        "\xEF\xBB\xBF[MAIN]\r\nInterval=500\r\n\r\n[COUNTER1]\r\nTitle=" + title + "\r\n";
    WriteBytes(path, before);
    EXPECT_EQ(Load(path), 1);
    EXPECT_EQ(loaded.records.Main.Interval, 500u);
    EXPECT_EQ(std::wstring(loaded.records.Slot[0].Title), L"\uFF23\uFF30\uFF35\u8CA0\u8377");
    CopyWideText(loaded.records.Slot[1].Unit, L"\u500b/s", UnitChars);
    EXPECT_EQ(Save(path), SettingsSaveResult::Replaced);

    std::string saved = ReadBytes(path);
    EXPECT_EQ(saved.rfind("\xEF\xBB\xBF[MAIN]\r\nInterval=500\r\n", 0), 0u) << saved;
    EXPECT_EQ(saved.find("[MAIN]"), saved.rfind("[MAIN]")) << "one [MAIN]";
    EXPECT_NE(saved.find("\r\nTitle=" + title + "\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\r\nUnit=\xE5\x80\x8B/s\r\n"), std::string::npos) << saved;
    LoadedRecords again;
    LoadSettingsFile(path.c_str(), &again.records, again.runs);
    EXPECT_EQ(std::wstring(again.records.Slot[1].Unit), L"\u500b/s");
}

// A value too long for its field is shown empty, and the file keeps it as it was until the user
// writes another: a save must not erase what the program could not hold.
TEST_F(SettingsStore, ValuesTooLongForTheirFieldsStayInTheFile) {
    std::wstring path = File();
    const std::string path10k = "Path=\\" + std::string(9999, 'p');
    const std::string title = "Title=" + std::string(100, 't');
    const std::string unit = "Unit=" + std::string(16, 'u');
    const std::string font = "Font=" + std::string(40, 'f') + "\r\nFontHigh= -12\r\nFontType=512";
    const std::string before = "[COUNTER1]\r\n" + path10k + "\r\n" + title + "\r\n" + unit +
                               "\r\n" + font + "\r\n[COUNTER2]\r\nTitle=" +
                               std::string(31, 'k') + "\r\n";
    WriteBytes(path, before);
    EXPECT_EQ(Load(path), 1);
    const CounterSlot& slot = loaded.records.Slot[0];
    EXPECT_EQ(std::wstring(slot.Path), L"");
    EXPECT_EQ(std::wstring(slot.Title), L"");
    EXPECT_EQ(std::wstring(slot.Unit), L"");
    EXPECT_EQ(std::wstring(slot.Font), L"");
    EXPECT_EQ(slot.LongInFile, LongPath | LongTitle | LongUnit | LongFont);
    EXPECT_EQ(loaded.records.Slot[1].LongInFile, 0u) << "31 characters fit";
    EXPECT_EQ(std::wstring(loaded.records.Slot[1].Title), std::wstring(31, L'k'));

    EXPECT_EQ(Save(path), SettingsSaveResult::Replaced);
    std::string saved = ReadBytes(path);
    EXPECT_EQ(saved.rfind("[COUNTER1]\r\n" + path10k + "\r\n" + title + "\r\n" + unit + "\r\n" +
                              font + "\r\nPdhFlag=1\r\n",
                          0),
              0u)
        << saved.substr(0, 200);
    EXPECT_EQ(saved.find("Font", saved.find("PdhFlag=1")), std::string::npos)
        << "no second font line";

    // Written in the settings window, a value replaces the file's; the others stay.
    CopyWideText(loaded.records.Slot[0].Title, L"Disk ", TitleChars);
    loaded.records.Slot[0].LongInFile &= ~LongTitle;
    Save(path);
    saved = ReadBytes(path);
    EXPECT_NE(saved.find("\r\nTitle=Disk \r\n"), std::string::npos);
    EXPECT_EQ(saved.find(title), std::string::npos);
    EXPECT_NE(saved.find(path10k + "\r\n"), std::string::npos);
    EXPECT_NE(saved.find(font + "\r\n"), std::string::npos);

    // Emptied in the settings window after that, it is written empty.
    loaded.records.Slot[0].Title[0] = L'\0';
    Save(path);
    EXPECT_NE(ReadBytes(path).find("\r\nTitle=\r\n"), std::string::npos);
}

// A file saved as "Unicode" (UTF-16 with its mark) is edited in its own form: the user's lines
// stay, unit for unit, and the program's values go into their places.
TEST_F(SettingsStore, AUtf16FileIsEditedInItsOwnForm) {
    auto utf16 = [](const std::string& utf8) {
        std::string out(static_cast<size_t>(
                            Utf8ToUtf16Le(utf8.data(), static_cast<int>(utf8.size()), nullptr, 0)),
                        '#');
        Utf8ToUtf16Le(utf8.data(), static_cast<int>(utf8.size()), &out[0],
                      static_cast<int>(out.size()));
        return "\xFF\xFE" + out;
    };
    auto utf8 = [](const std::string& file) {
        EXPECT_EQ(file.rfind("\xFF\xFE", 0), 0u) << "the mark stays";
        int n = static_cast<int>(file.size()) - 2;
        std::string out(static_cast<size_t>(Utf16LeToUtf8(file.data() + 2, n, nullptr, 0)), '#');
        Utf16LeToUtf8(file.data() + 2, n, &out[0], static_cast<int>(out.size()));
        return out;
    };
    const std::string cpu = "\xEF\xBC\xA3\xEF\xBC\xB0\xEF\xBC\xB5"; // ＣＰＵ
    const std::string user = "; \xE8\xA8\xAD\xE5\xAE\x9A\r\n[main]\r\ninterval=500\r\n\r\n"
                             "[Other]\r\nx=\xF0\x9F\x98\x80\r\n\r\n[COUNTER1]\r\nTitle=" +
                             cpu + "\r\n";
    std::wstring path = File();
    WriteBytes(path, utf16(user));
    EXPECT_EQ(Load(path), 1);
    EXPECT_EQ(loaded.records.Main.Interval, 500u);
    EXPECT_EQ(std::wstring(loaded.records.Slot[0].Title), L"\uFF23\uFF30\uFF35");
    EXPECT_EQ(Save(path), SettingsSaveResult::Replaced);

    std::string saved = utf8(ReadBytes(path));
    EXPECT_EQ(saved.rfind("; \xE8\xA8\xAD\xE5\xAE\x9A\r\n[main]\r\ninterval=500\r\nProp=1539\r\n", 0),
              0u)
        << saved;
    EXPECT_EQ(saved.find("[MAIN]"), std::string::npos) << "one [main]";
    EXPECT_NE(saved.find("[Other]\r\nx=\xF0\x9F\x98\x80\r\n"), std::string::npos);
    EXPECT_NE(saved.find("\r\nTitle=" + cpu + "\r\n"), std::string::npos);
    LoadedRecords again;
    LoadSettingsFile(path.c_str(), &again.records, again.runs);
    EXPECT_EQ(std::wstring(again.records.Slot[0].Title), L"\uFF23\uFF30\uFF35");
    EXPECT_EQ(SaveSettingsFile(path.c_str(), &again.records), SettingsSaveResult::Replaced);
    EXPECT_EQ(utf8(ReadBytes(path)), saved) << "a second save changes nothing";
}

// A file that was not read whole is never replaced, and the program runs on its defaults.
TEST_F(SettingsStore, FilesNotTakenWholeAreLeftAlone) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    std::string large = "[MAIN]\r\nInterval=500\r\n" + std::string(70000, ';');
    const Case cases[] = {
        {"large.ini", large},
        {"utf16.ini", std::string("[\0M\0A\0I\0N\0]\0\r\0\n\0", 16)},
        {"zero.ini", std::string("[MAIN]\r\nInterval=500\r\n\0[x]\r\n", 28)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring path = File(ScratchFolder::Widen(c.name).c_str());
        WriteBytes(path, c.bytes);
        SettingsFileStatus status = SettingsFileStatus::Read;
        EXPECT_EQ(LoadSettingsFile(path.c_str(), &loaded.records, loaded.runs, &status), 0);
        EXPECT_EQ(status, SettingsFileStatus::Refused);
        EXPECT_EQ(loaded.records.Main.Interval, 1000u) << "the defaults";
        EXPECT_EQ(Save(path), SettingsSaveResult::Refused);
        EXPECT_EQ(ReadBytes(path), c.bytes);
    }
}

TEST_F(SettingsStore, AnEmptyFileIsFilledAndAMissingFolderIsAFailure) {
    std::wstring path = File();
    WriteBytes(path, "");
    EXPECT_EQ(Load(path), 0);
    EXPECT_EQ(Save(path), SettingsSaveResult::Created);
    EXPECT_EQ(ReadBytes(path).rfind("[MAIN]\r\nProp=1539\r\n", 0), 0u);
    EXPECT_EQ(Save(folder.Path(L"none/mon.ini")), SettingsSaveResult::Failed);
    EXPECT_EQ(SaveSettingsFile(nullptr, &loaded.records), SettingsSaveResult::Failed);
}

TEST_F(SettingsStore, ASaveTheLoadCouldNotReadBackIsNotWritten) {
    // 65000 bytes of the user's own: the program's sections would take the file past the
    // limit of the load.
    std::wstring path = File();
    std::string user = "[User]\r\n" + std::string(65000, ';') + "\r\n";
    WriteBytes(path, user);
    EXPECT_EQ(Load(path), 1);
    EXPECT_EQ(Save(path), SettingsSaveResult::Failed);
    EXPECT_EQ(ReadBytes(path), user);
}

#ifndef _WIN32
TEST_F(SettingsStore, NoMemoryDuringASaveLeavesTheFileAsItWas) {
    std::wstring path = File();
    const std::string before = "[MAIN]\r\nInterval=500\r\n";
    for (long allowed : {0L, 1L, 2L, 10L, 40L}) {
        SCOPED_TRACE(allowed);
        WriteBytes(path, before);
        PortFailHeapAfter(allowed);
        SettingsSaveResult result = Save(path);
        PortFailHeapAfter(-1);
        EXPECT_EQ(result, SettingsSaveResult::Failed);
        EXPECT_EQ(ReadBytes(path), before);
    }
}
#endif

} // namespace

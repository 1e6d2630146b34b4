// The program's resources in its two languages, read from this executable (which links the
// same resource script): the same string ids, the same menus and the same dialog controls in
// both, each with mnemonics that pick one control, and dialogs in the font the settings frame
// takes from the string table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <windows.h>

#include "res/resource.h"

namespace {

const LANGID Japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const LANGID English = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const LANGID Languages[] = {Japanese, English};

// One resource's bytes in one language; empty when that language has none.
std::vector<BYTE> ResourceBytes(const wchar_t* type, const wchar_t* name, LANGID language) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, type, name, language);
    if (!found)
        return {};
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    return std::vector<BYTE>(data, data + SizeofResource(module, found));
}

BOOL CALLBACK AddName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::set<WORD>*>(names)->insert(LOWORD(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages) {
    reinterpret_cast<std::set<LANGID>*>(languages)->insert(language);
    return TRUE;
}

std::set<WORD> Names(const wchar_t* type) {
    std::set<WORD> names;
    EnumResourceNamesW(GetModuleHandleW(nullptr), type, AddName,
                       reinterpret_cast<LONG_PTR>(&names));
    return names;
}

std::set<LANGID> LanguagesOf(const wchar_t* type, WORD name) {
    std::set<LANGID> languages;
    EnumResourceLanguagesW(GetModuleHandleW(nullptr), type, MAKEINTRESOURCEW(name), AddLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

// Every string of a language by id: a string block holds 16 counted strings.
std::map<UINT, std::wstring> Strings(LANGID language) {
    std::map<UINT, std::wstring> strings;
    for (WORD block : Names(RT_STRING)) {
        std::vector<BYTE> bytes = ResourceBytes(RT_STRING, MAKEINTRESOURCEW(block), language);
        const WCHAR* at = reinterpret_cast<const WCHAR*>(bytes.data());
        const WCHAR* end = at + bytes.size() / sizeof(WCHAR);
        for (UINT k = 0; k < 16 && at < end; k++) {
            WORD length = *at++;
            if (length)
                strings[(block - 1u) * 16 + k] = std::wstring(at, at + length);
            at += length;
        }
    }
    return strings;
}

// The letter after a single '&' in a text, lower-cased, or 0 when it has none.
wchar_t Mnemonic(const std::wstring& text) {
    for (size_t i = 0; i + 1 < text.size(); i++) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] != L'&')
            return static_cast<wchar_t>(std::towlower(text[i + 1]));
        i++;
    }
    return 0;
}

// The texts that are not plain ASCII: in English, a text left in Japanese.
std::wstring NotAscii(const std::vector<std::wstring>& texts) {
    std::wstring found;
    for (const std::wstring& text : texts)
        if (std::any_of(text.begin(), text.end(), [](wchar_t c) { return c > 0x7E; }))
            found += text + L"|";
    return found;
}

// The mnemonics of texts that are not unique among them.
std::wstring Repeated(const std::vector<std::wstring>& texts) {
    std::map<wchar_t, int> seen;
    std::wstring repeated;
    for (const std::wstring& text : texts) {
        wchar_t letter = Mnemonic(text);
        if (letter && ++seen[letter] == 2)
            repeated += letter;
    }
    return repeated;
}

// A menu's shape, one entry per item in order (its id, a separator or a popup with its own
// shape), and the texts of each popup level for the mnemonic check.
void MenuShape(HMENU menu, std::wstring* shape, std::vector<std::vector<std::wstring>>* levels) {
    std::vector<std::wstring> texts;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; i++) {
        wchar_t text[128] = L"";
        MENUITEMINFOW item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 128;
        GetMenuItemInfoW(menu, i, TRUE, &item);
        texts.push_back(text);
        if (item.fType & MFT_SEPARATOR) {
            *shape += L"-,";
        } else if (item.hSubMenu) {
            *shape += L"[";
            MenuShape(item.hSubMenu, shape, levels);
            *shape += L"],";
        } else {
            *shape += std::to_wstring(item.wID) + L",";
        }
    }
    levels->push_back(texts);
}

// What a dialog template says, read from its DLGTEMPLATEEX form.
struct DialogTemplate {
    DWORD style = 0;
    WORD points = 0;
    std::wstring face;
    // Per control in order: its id, class, style and extended style, and its text.
    std::vector<std::wstring> controls;
    std::vector<std::wstring> texts;
};

struct TemplateReader {
    const BYTE* at;
    WORD Word() {
        WORD w = *reinterpret_cast<const WORD*>(at);
        at += 2;
        return w;
    }
    DWORD Dword() {
        DWORD d = *reinterpret_cast<const DWORD*>(at);
        at += 4;
        return d;
    }
    // A string, or an ordinal as "#n", or nothing.
    std::wstring NameOrOrdinal() {
        WORD first = Word();
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(Word());
        std::wstring text;
        for (WORD w = first; w; w = Word())
            text += static_cast<wchar_t>(w);
        return text;
    }
    void AlignDword(const BYTE* base) { at += (4 - (at - base) % 4) % 4; }
};

DialogTemplate ReadDialog(WORD id, LANGID language) {
    DialogTemplate dialog;
    std::vector<BYTE> bytes = ResourceBytes(RT_DIALOG, MAKEINTRESOURCEW(id), language);
    if (bytes.size() < 26)
        return dialog;
    TemplateReader r = {bytes.data()};
    EXPECT_EQ(r.Word(), 1);      // dlgVer
    EXPECT_EQ(r.Word(), 0xFFFF); // signature
    r.Dword();                   // help id
    r.Dword();                   // extended style
    dialog.style = r.Dword();
    WORD count = r.Word();
    r.at += 8;         // place and size
    r.NameOrOrdinal(); // menu
    r.NameOrOrdinal(); // class
    r.NameOrOrdinal(); // title
    if (dialog.style & DS_SETFONT) {
        dialog.points = r.Word();
        r.Word(); // weight
        r.Word(); // italic, character set
        dialog.face = r.NameOrOrdinal();
    }
    for (WORD i = 0; i < count; i++) {
        r.AlignDword(bytes.data());
        r.Dword(); // help id
        DWORD exStyle = r.Dword();
        DWORD style = r.Dword();
        r.at += 8; // place and size
        DWORD controlId = r.Dword();
        std::wstring className = r.NameOrOrdinal();
        dialog.texts.push_back(r.NameOrOrdinal());
        r.at += r.Word(); // creation data
        wchar_t line[64];
        wsprintfW(line, L"%d %08lx %08lx ", static_cast<int>(static_cast<short>(controlId)), style,
                  exStyle);
        dialog.controls.push_back(line + className);
    }
    return dialog;
}

const WORD Dialogs[] = {IDD_MAIN_PAGE, IDD_COUNTER_PAGE, IDD_GRAPH_PAGE, IDD_ICON_PAGE, IDD_ALARM};

// Each kind of resource with text exists in exactly the two languages, never language-neutral;
// the icon and the manifest, which hold none, exist once, language-neutral, so that a system in
// any third language finds them.
TEST(Languages, TextsComeInJapaneseAndEnglishOnlyAndTheRestIsNeutral) {
    const LANGID neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    struct Kind {
        const wchar_t* type;
        std::set<LANGID> languages;
    };
    const Kind kinds[] = {
        {RT_STRING, {Japanese, English}}, {RT_MENU, {Japanese, English}},
        {RT_DIALOG, {Japanese, English}}, {RT_VERSION, {Japanese, English}},
        {RT_GROUP_ICON, {neutral}},       {RT_ICON, {neutral}},
        {RT_MANIFEST, {neutral}},
    };
    for (const Kind& kind : kinds) {
        std::set<WORD> names = Names(kind.type);
        EXPECT_FALSE(names.empty());
        for (WORD name : names)
            EXPECT_EQ(LanguagesOf(kind.type, name), kind.languages)
                << "type " << reinterpret_cast<ULONG_PTR>(kind.type) << " name " << name;
    }
}

// The program icon has an image of every size the notification area and the shell ask for up
// to 200 %, so that none is stretched from a smaller one.
TEST(ProgramIcon, HoldsEachSizeTheTrayUsesUpTo200Percent) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC group = FindResourceW(module, MAKEINTRESOURCEW(IDI_APP), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    auto* directory = static_cast<BYTE*>(LockResource(LoadResource(module, group)));
    for (int side : {16, 20, 24, 32, 40, 48}) {
        SCOPED_TRACE(side);
        int id = LookupIconIdFromDirectoryEx(directory, TRUE, side, side, LR_DEFAULTCOLOR);
        HRSRC image = FindResourceW(module, MAKEINTRESOURCEW(id), RT_ICON);
        ASSERT_NE(image, nullptr);
        auto* header = static_cast<BITMAPINFOHEADER*>(LockResource(LoadResource(module, image)));
        EXPECT_EQ(header->biWidth, side) << "the image chosen for this size is this size";
        EXPECT_EQ(header->biHeight, 2 * side) << "colour and mask";
    }
}

TEST(Languages, HaveTheSameStringIds) {
    std::map<UINT, std::wstring> japanese = Strings(Japanese), english = Strings(English);
    std::set<UINT> japaneseIds, englishIds;
    for (const auto& entry : japanese)
        japaneseIds.insert(entry.first);
    for (const auto& entry : english)
        englishIds.insert(entry.first);
    EXPECT_EQ(japaneseIds, englishIds);
    std::vector<std::wstring> englishTexts;
    for (const auto& entry : english)
        englishTexts.push_back(entry.second);
    EXPECT_EQ(NotAscii(englishTexts), L"");
    EXPECT_TRUE(japaneseIds.count(IDS_ACTIONS) && japaneseIds.count(IDS_DIALOG_FONT));
    // The lists have as many items in both languages.
    const UINT lists[] = {IDS_TAB_LABELS,  IDS_UNIT_MODES, IDS_ROUND_MODES,
                          IDS_COMPARISONS, IDS_ACTIONS,    IDS_ALARM_STATES};
    for (UINT id : lists)
        EXPECT_EQ(std::count(japanese[id].begin(), japanese[id].end(), L'\n'),
                  std::count(english[id].begin(), english[id].end(), L'\n'))
            << "string " << id;
    // The file filters: the same patterns, in the same order.
    std::wstring patterns[2];
    for (int k = 0; k < 2; k++) {
        const std::wstring& filters = (k ? english : japanese)[IDS_FILE_FILTERS];
        size_t start = 0;
        for (int item = 0; start < filters.size(); item++) {
            size_t end = filters.find(L'|', start);
            ASSERT_NE(end, std::wstring::npos) << filters;
            if (item % 2)
                patterns[k] += filters.substr(start, end - start) + L";";
            start = end + 1;
        }
    }
    EXPECT_EQ(patterns[0], L"*.*;*.exe;*.wav;*.log;");
    EXPECT_EQ(patterns[1], patterns[0]);
}

TEST(Languages, MenusHaveTheSameItemsInTheSamePlacesAndOneItemPerMnemonic) {
    std::wstring shapes[2];
    for (int k = 0; k < 2; k++) {
        std::vector<BYTE> bytes =
            ResourceBytes(RT_MENU, MAKEINTRESOURCEW(IDR_POPUP_MENU), Languages[k]);
        ASSERT_FALSE(bytes.empty());
        HMENU menu = LoadMenuIndirectW(bytes.data());
        ASSERT_TRUE(menu);
        std::vector<std::vector<std::wstring>> levels;
        MenuShape(menu, &shapes[k], &levels);
        DestroyMenu(menu);
        for (const auto& texts : levels) {
            EXPECT_EQ(Repeated(texts), L"") << "language " << Languages[k];
            if (Languages[k] == English) {
                EXPECT_EQ(NotAscii(texts), L"");
            }
        }
    }
    EXPECT_EQ(shapes[0], shapes[1]);
    EXPECT_NE(shapes[0].find(L"[40001,[40010,"), std::wstring::npos) << shapes[0];
}

TEST(Languages, DialogsHaveTheSameControlsInTheFontOfTheSettingsFrame) {
    std::map<UINT, std::wstring> strings[2] = {Strings(Japanese), Strings(English)};
    for (WORD id : Dialogs) {
        DialogTemplate dialogs[2] = {ReadDialog(id, Japanese), ReadDialog(id, English)};
        EXPECT_EQ(dialogs[0].style, dialogs[1].style) << "dialog " << id;
        EXPECT_EQ(dialogs[0].controls, dialogs[1].controls) << "dialog " << id;
        EXPECT_GT(dialogs[0].controls.size(), 10u) << "dialog " << id;
        for (int k = 0; k < 2; k++) {
            EXPECT_EQ(dialogs[k].points, 9) << "dialog " << id;
            EXPECT_EQ(dialogs[k].face, strings[k][IDS_DIALOG_FONT]) << "dialog " << id;
            EXPECT_EQ(Repeated(dialogs[k].texts), L"")
                << "dialog " << id << " language " << Languages[k];
            if (Languages[k] == English) {
                EXPECT_EQ(NotAscii(dialogs[k].texts), L"") << "dialog " << id;
            }
        }
    }
    EXPECT_EQ(strings[0][IDS_DIALOG_FONT], L"ＭＳ Ｐゴシック");
    EXPECT_EQ(strings[1][IDS_DIALOG_FONT], L"MS Shell Dlg 2");

    // The alarm dialog names its option box for the chosen action: the template's label is the
    // first of the names, and each name keeps the dialog's mnemonics unique.
    for (int k = 0; k < 2; k++) {
        std::vector<std::wstring> names;
        std::wstring list = strings[k][IDS_ALARM_OPTION_LABELS] + L"\n";
        for (size_t at = 0, end; (end = list.find(L'\n', at)) != std::wstring::npos; at = end + 1)
            names.push_back(list.substr(at, end - at));
        ASSERT_EQ(names.size(), 6u) << "one per action, language " << Languages[k];
        std::vector<std::wstring> texts = ReadDialog(IDD_ALARM, Languages[k]).texts;
        auto label = std::find(texts.begin(), texts.end(), names[0]);
        ASSERT_NE(label, texts.end()) << "language " << Languages[k];
        for (const std::wstring& name : names) {
            *label = name;
            EXPECT_EQ(Repeated(texts), L"") << name;
        }
    }
}

// Each language's version block names its own language, with the same values.
TEST(Languages, VersionBlocksNameTheirLanguage) {
    const wchar_t* keys[] = {L"041104B0", L"040904B0"};
    std::vector<BYTE> blocks[2];
    for (int k = 0; k < 2; k++) {
        blocks[k] = ResourceBytes(RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO), Languages[k]);
        ASSERT_FALSE(blocks[k].empty());
        std::wstring text(reinterpret_cast<const wchar_t*>(blocks[k].data()),
                          blocks[k].size() / sizeof(wchar_t));
        EXPECT_NE(text.find(keys[k]), std::wstring::npos);
        EXPECT_EQ(text.find(keys[1 - k]), std::wstring::npos);
        // The Translation value: the language, then Unicode.
        size_t at = text.find(L"Translation");
        ASSERT_NE(at, std::wstring::npos);
        std::wstring value = text.substr(at + 12);
        size_t start = value.find_first_not_of(L'\0');
        ASSERT_NE(start, std::wstring::npos);
        EXPECT_EQ(value.substr(start, 2),
                  (std::wstring{static_cast<wchar_t>(Languages[k]), static_cast<wchar_t>(0x04B0)}));
    }
    // Only the language's key and translation differ.
    std::wstring a(reinterpret_cast<const wchar_t*>(blocks[0].data()), blocks[0].size() / 2);
    std::wstring b(reinterpret_cast<const wchar_t*>(blocks[1].data()), blocks[1].size() / 2);
    ASSERT_EQ(a.size(), b.size());
    size_t differ = 0;
    for (size_t i = 0; i < a.size(); i++)
        differ += a[i] != b[i];
    EXPECT_EQ(differ, 3u); // "0411" against "0409": two characters; the translation: one
}

} // namespace

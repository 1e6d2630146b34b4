// The program's version resource: the settings window's caption and the About box.
#include "ui/version_text.h"

#include "port/system_library.h"
#include "res/resource.h"
#include "text/convert.h"
#include "ui/dialog_helpers.h"

namespace {

typedef DWORD(WINAPI* SizeProc)(LPCWSTR, LPDWORD);
typedef BOOL(WINAPI* InfoProc)(LPCWSTR, DWORD, DWORD, LPVOID);
typedef BOOL(WINAPI* QueryProc)(LPCVOID, LPCWSTR, LPVOID*, PUINT);

struct VersionApi {
    HMODULE Module;
    SizeProc GetSize;
    InfoProc GetInfo;
    QueryProc Query;
};
VersionApi TheVersionApi;

// A value of the string table named by key (ending in its separator); null when missing.
const wchar_t* QueryValue(const void* block, const wchar_t* key, const wchar_t* name,
                          UINT* length) {
    wchar_t path[64];
    int n = CopyWideText(path, key, 64);
    CopyWideText(path + n, name, 64 - n);
    void* value = nullptr;
    if (!TheVersionApi.Query(block, path, &value, length) || !value)
        return nullptr;
    return static_cast<const wchar_t*>(value);
}

} // namespace

HMODULE LoadVersionApi() {
    VersionApi* api = &TheVersionApi;
    if (api->Module)
        return api->Module;
    HMODULE module = LoadSystemLibrary(L"version.dll");
    if (!module)
        return nullptr;
    api->GetSize = SystemEntry<SizeProc>(module, "GetFileVersionInfoSizeW");
    api->GetInfo = SystemEntry<InfoProc>(module, "GetFileVersionInfoW");
    api->Query = SystemEntry<QueryProc>(module, "VerQueryValueW");
    if (!api->GetSize || !api->GetInfo || !api->Query) {
        FreeLibrary(module);
        *api = {};
        return nullptr; // tried again next time
    }
    api->Module = module;
    return module;
}

int GetVersionText(const wchar_t* path, wchar_t* output, int capacity, const wchar_t* versionPrefix,
                   const wchar_t* copyrightPrefix, const wchar_t* commentsPrefix) {
    if (!LoadVersionApi())
        return 0;
    const VersionApi* api = &TheVersionApi;
    wchar_t self[MAX_PATH];
    if (!path || !path[0]) {
        DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
        if (n == 0 || n >= MAX_PATH)
            return 0;
        path = self;
    }
    DWORD size = api->GetSize(path, nullptr);
    if (size == 0)
        return 0;
    void* block = HeapAlloc(GetProcessHeap(), 0, size);
    if (!block)
        return 0;
    int count = 0;
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    UINT length = 0;
    if (api->GetInfo(path, 0, size, block) &&
        api->Query(block, L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                   &length) &&
        translation && length >= sizeof(Translation)) {
        wchar_t key[32];
        wsprintfW(key, L"\\StringFileInfo\\%04x%04x\\", translation->language,
                  translation->codePage);
        const wchar_t* name = QueryValue(block, key, L"ProductName", &length);
        if (name) {
            if (!output)
                count = static_cast<int>(length);
            else if (static_cast<int>(length) < capacity)
                count = CopyWideText(output, name, capacity);
        }
        if (output && capacity > 0 && count == 0)
            output[0] = L'\0';
        const wchar_t* prefixes[] = {versionPrefix, copyrightPrefix, commentsPrefix};
        const wchar_t* names[] = {L"ProductVersion", L"LegalCopyright", L"Comments"};
        for (int k = 0; k < 3; k++) {
            if (!prefixes[k])
                continue;
            const wchar_t* value = QueryValue(block, key, names[k], &length);
            if (!value)
                continue; // no value, no prefix
            if (!output) {
                count += WideLength(prefixes[k]) + static_cast<int>(length);
                continue;
            }
            count += CopyWideText(output + count, prefixes[k], capacity - count);
            count += CopyWideText(output + count, value, capacity - count);
        }
    }
    HeapFree(GetProcessHeap(), 0, block);
    return count;
}

void VersionPrefixes(HINSTANCE instance, wchar_t* text, const wchar_t** caption,
                     const wchar_t** about) {
    wchar_t* items[2];
    LoadLines(instance, IDS_VERSION_PREFIXES, text, VersionPrefixChars, items, 2);
    *caption = items[0];
    *about = items[1];
}

void ShowAboutBox(HWND page, const wchar_t* settingsPath) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    wchar_t title[32];
    if (LoadStringW(instance, IDS_ABOUT_TITLE, title, 32) <= 0)
        title[0] = L'\0';
    wchar_t prefixes[VersionPrefixChars];
    const wchar_t *captionPrefix, *aboutPrefix;
    VersionPrefixes(instance, prefixes, &captionPrefix, &aboutPrefix);
    wchar_t version[128];
    if (GetVersionText(nullptr, version, 128, aboutPrefix, L"\r\n", nullptr) <= 0)
        return;
    // The settings file in use, so that the user can find it: beside the program, named on
    // the command line, or in the user's application data.
    wchar_t* file = settingsPath && settingsPath[0]
                        ? FormatResourceText(instance, IDS_ABOUT_SETTINGS_FILE, settingsPath)
                        : nullptr;
    wchar_t text[128 + 4 + 512];
    lstrcpyW(text, version);
    if (file) {
        lstrcatW(text, L"\r\n\r\n");
        lstrcpynW(text + lstrlenW(text), file, 512);
    }
    LocalFree(file);
    MessageBoxW(page, text, title, MB_OK | MB_ICONINFORMATION);
}

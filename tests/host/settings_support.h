// Helpers of the settings tests: texts on the heap, a scratch folder, the code page.
#pragma once

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "loaded_records.h"
#include "port/port.h"
#include "settings/settings_model.h"
#include "settings/settings_text.h"
#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#include <unistd.h>

#include "port/port_test.h"
#endif

// A settings text made from bytes, owned by the test; writes replace it through Set.
struct OwnedText {
    explicit OwnedText(const std::string& bytes = std::string(), bool absent = false) {
        if (absent)
            return;
        text = static_cast<SettingsText*>(PortHeapAlloc(bytes.size() + 1));
        std::memcpy(text, bytes.c_str(), bytes.size() + 1);
    }
    ~OwnedText() { FreeSettingsText(text); }
    OwnedText(const OwnedText&) = delete;
    OwnedText& operator=(const OwnedText&) = delete;
    std::string Bytes() const { return text ? std::string(text) : std::string("<absent>"); }
    SettingsText* text = nullptr;
};

// Selects the ANSI code page of a test: the host port imitates it; on Windows the process has
// the system's, and a test that needs another one is skipped.
inline bool SelectCodePage(unsigned codePage) {
#ifdef _WIN32
    return GetACP() == codePage;
#else
    PortSetCodePage(codePage);
    return true;
#endif
}

// Puts the code page back to the tests' usual one.
inline void RestoreCodePage() {
#ifndef _WIN32
    PortSetCodePage(1252);
#endif
}

// An empty folder of the test's own, removed with what it holds at the end.
class ScratchFolder {
public:
    ScratchFolder() {
#ifdef _WIN32
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        wchar_t name[MAX_PATH];
        GetTempFileNameW(base, L"fgt", 0, name);
        DeleteFileW(name);
        CreateDirectoryW(name, nullptr);
        folder_ = name;
#else
        char name[] = "/tmp/ferro-settings-XXXXXX";
        folder_ = Widen(mkdtemp(name));
#endif
    }
    ~ScratchFolder() {
#ifdef _WIN32
        std::wstring pattern = folder_ + L"\\*";
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW(pattern.c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring file = folder_ + L"\\" + found.cFileName;
                SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(file.c_str());
                RemoveDirectoryW(file.c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder_.c_str());
#else
        std::string command = "rm -rf '" + Narrow(folder_) + "'";
        if (std::system(command.c_str()) != 0)
            ADD_FAILURE() << "could not remove " << Narrow(folder_);
#endif
    }
    // The full path of name in the folder.
    std::wstring Path(const wchar_t* name) const {
#ifdef _WIN32
        return folder_ + L"\\" + name;
#else
        return folder_ + L"/" + name;
#endif
    }
    static std::wstring Widen(const std::string& s) {
        return std::wstring(s.begin(), s.end());
    }
    static std::string Narrow(const std::wstring& s) {
        std::string out;
        for (wchar_t c : s)
            out += static_cast<char>(c);
        return out;
    }

private:
    std::wstring folder_;
};

// The bytes of a file, or "<missing>".
std::string ReadBytes(const std::wstring& path);
// Writes bytes as the whole file.
void WriteBytes(const std::wstring& path, const std::string& bytes);
// The names in a folder.
int CountFiles(const ScratchFolder& folder);

// A file of the test data folder.
std::wstring TestDataPath(const char* name);

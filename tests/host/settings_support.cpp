// Helpers of the settings tests: whole-file reads and writes and folder listings.
#include "settings_support.h"

#include <cstdio>
#ifndef _WIN32
#include <dirent.h>
#endif

namespace {

FILE* OpenFile(const std::wstring& path, const char* mode) {
#ifdef _WIN32
    std::wstring wideMode(mode, mode + std::strlen(mode));
    return _wfopen(path.c_str(), wideMode.c_str());
#else
    return std::fopen(ScratchFolder::Narrow(path).c_str(), mode);
#endif
}

} // namespace

std::string ReadBytes(const std::wstring& path) {
    FILE* file = OpenFile(path, "rb");
    if (!file)
        return "<missing>";
    std::string bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
        bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    FILE* file = OpenFile(path, "wb");
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
    std::fclose(file);
}

int CountFiles(const ScratchFolder& folder) {
    int count = 0;
#ifdef _WIN32
    std::wstring pattern = folder.Path(L"*");
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L".."))
            count++;
    } while (FindNextFileW(search, &found));
    FindClose(search);
#else
    std::string name = ScratchFolder::Narrow(folder.Path(L""));
    DIR* dir = opendir(name.c_str());
    if (!dir)
        return 0;
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") && std::strcmp(entry->d_name, ".."))
            count++;
    }
    closedir(dir);
#endif
    return count;
}

std::wstring TestDataPath(const char* name) {
    std::string path = std::string(FERRO_TEST_DATA) + "/" + name;
#ifdef _WIN32
    // Wine shows the host's root as drive Z:.
    if (path[0] == '/')
        path = "Z:" + path;
#endif
    return ScratchFolder::Widen(path);
}

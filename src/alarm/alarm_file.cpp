// Which files an alarm may use: names that stand for devices, as Windows reads them.
#include "alarm/alarm_file.h"

#include "text/convert.h"

namespace {

bool IsSlash(wchar_t c) {
    return c == L'\\' || c == L'/';
}

wchar_t Upper(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

// Whether the count characters at name are word, in any letter case of ASCII.
bool SameWord(const wchar_t* name, int count, const wchar_t* word) {
    if (WideLength(word) != count)
        return false;
    for (int i = 0; i < count; i++)
        if (Upper(name[i]) != word[i])
            return false;
    return true;
}

// Whether the count characters at name are a device's name.
bool IsDeviceName(const wchar_t* name, int count) {
    static const wchar_t* const Plain[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* word : Plain)
        if (SameWord(name, count, word))
            return true;
    if (count != 4 || !(SameWord(name, 3, L"COM") || SameWord(name, 3, L"LPT")))
        return false;
    wchar_t n = name[3];
    return (n >= L'0' && n <= L'9') || n == 0x00B9 || n == 0x00B2 || n == 0x00B3;
}

} // namespace

bool IsDevicePath(const wchar_t* path) {
    if (!path)
        return false;
    // "\\.\", "\\?\" and "\??\" with either slash: no file name of the user's starts so.
    if (IsSlash(path[0]) && (IsSlash(path[1]) || path[1] == L'?') &&
        (path[2] == L'.' || path[2] == L'?') && IsSlash(path[3]))
        return true;
    // The last part of the path (after a drive letter's colon), up to its first full stop or
    // colon, without the blanks after it: "C:\logs\nul .txt" and "nul:" open the NUL device.
    const wchar_t* name = path;
    for (const wchar_t* p = path; *p; p++)
        if (IsSlash(*p))
            name = p + 1;
    if (name == path && Upper(path[0]) >= L'A' && Upper(path[0]) <= L'Z' && path[1] == L':')
        name += 2;
    int count = 0;
    while (name[count] && name[count] != L'.' && name[count] != L':')
        count++;
    while (count > 0 && name[count - 1] == L' ')
        count--;
    return IsDeviceName(name, count);
}

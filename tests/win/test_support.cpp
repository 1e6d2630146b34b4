// Shared helpers of the Windows tests.
#include "test_support.h"

#include <winternl.h>

#include <cstring>

#include <gtest/gtest.h>

#include "app/main_window.h"
#include "app/startup.h"
#include "gdi_table.h"
#include "render/surface.h"
#include "scripted_counters.h"

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void PumpMessagesFor(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount() - start < ms);
    PumpMessages();
}

MessageBoxAnswerer::MessageBoxAnswerer(const wchar_t* caption) : caption_(caption) {
    InitializeCriticalSection(&lock_);
    thread_ = std::thread([this] { Watch(); });
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    stop_ = true;
    thread_.join();
    DeleteCriticalSection(&lock_);
}

std::vector<std::wstring> MessageBoxAnswerer::Texts() {
    EnterCriticalSection(&lock_);
    std::vector<std::wstring> copy = texts_;
    LeaveCriticalSection(&lock_);
    return copy;
}

namespace {

struct Search {
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM context) {
    Search* search = reinterpret_cast<Search*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t className[16], title[64];
    if (pid == GetCurrentProcessId() && IsWindowVisible(window) &&
        GetClassNameW(window, className, 16) && lstrcmpW(className, L"#32770") == 0 &&
        GetWindowTextW(window, title, 64) && lstrcmpW(title, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND child, LPARAM context) {
    wchar_t className[16], text[1024];
    if (GetClassNameW(child, className, 16) && lstrcmpiW(className, L"Static") == 0 &&
        GetWindowTextW(child, text, 1024) > 0)
        *reinterpret_cast<std::wstring*>(context) += text;
    return TRUE;
}

} // namespace

void MessageBoxAnswerer::Watch() {
    while (!stop_) {
        Search search = {caption_.c_str(), nullptr};
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            std::wstring text;
            EnumChildWindows(search.found, CollectStatic, reinterpret_cast<LPARAM>(&text));
            EnterCriticalSection(&lock_);
            texts_.push_back(text);
            LeaveCriticalSection(&lock_);
            SendMessageW(search.found, WM_COMMAND, IDOK, 0);
            // Wait until it is gone, so one box is not counted twice.
            for (int i = 0; i < 200 && IsWindow(search.found) && IsWindowVisible(search.found); i++)
                Sleep(5);
        }
        Sleep(10);
    }
}

unsigned long LiveGdiObjects() {
    typedef NTSTATUS(NTAPI * QueryProc)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    QueryProc query = reinterpret_cast<QueryProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info = {};
    if (!query ||
        query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof(info), nullptr) != 0)
        return 0;
    const BYTE* peb = reinterpret_cast<const BYTE*>(info.PebBaseAddress);
    const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + PebGdiTableOffset);
    return table ? CountLiveGdiEntries(table) : 0;
}

Canvas::Canvas(int w, int h, COLORREF fill) : width(w), height(h), bits(nullptr) {
    void* pixels = nullptr;
    bitmap = CreateSurface(nullptr, w, h, 32, &pixels, fill);
    bits = static_cast<uint32_t*>(pixels);
}

Canvas::~Canvas() {
    if (bitmap)
        DeleteObject(bitmap);
}

COLORREF Canvas::At(int x, int y) const {
    GdiFlush();
    // Rows are stored bottom-up, each pixel as 0x00RRGGBB.
    uint32_t p = bits[(height - 1 - y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

IconPixels::IconPixels(HICON icon) {
    ICONINFO info = {};
    ok = GetIconInfo(icon, &info) && info.hbmColor;
    if (!ok)
        return;
    BITMAP bm = {};
    GetObjectW(info.hbmColor, sizeof(bm), &bm);
    width = bm.bmWidth;
    height = bm.bmHeight;
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height; // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    color.resize(static_cast<size_t>(width) * height);
    mask.resize(color.size());
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmColor, 0, height, color.data(), &bi, DIB_RGB_COLORS);
    GetDIBits(dc, info.hbmMask, 0, height, mask.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

COLORREF IconPixels::Color(int x, int y) const {
    uint32_t p = color[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool IconPixels::Clear(int x, int y) const {
    return (mask[static_cast<size_t>(y) * width + x] & 0xFFFFFF) != 0;
}

void UseFixedCounters() {
    ResetScript()->paths = {FixedPath(L"\\Processor(_Total)\\% Processor Time", 30)};
    TheApp.Pdh = ScriptedLibrary();
}

HWND OpenGraphWindowWithFixedCounters() {
    RegisterGraphClass(GetModuleHandleW(nullptr)); // fails harmlessly once registered
    UseFixedCounters();
    HWND window = CreateGraphWindow(GetModuleHandleW(nullptr));
    PumpMessages(); // the posted start command
    return window;
}

void CloseGraphWindow(HWND window) {
    if (IsWindow(window))
        DestroyWindow(window);
    PumpMessages(); // takes the WM_QUIT of the destruction
    TheApp.Pdh = nullptr;
}

std::wstring SettingsPathBesideTests() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (n < 4 || n >= MAX_PATH)
        return L"";
    lstrcpyW(path + n - 3, L"ini");
    return path;
}

void ForgetSettingsFile() {
    std::wstring path = SettingsPathBesideTests();
    if (!path.empty())
        DeleteFileW(path.c_str());
}

void WriteSettingsBesideTests(const char* text) {
    WriteFileBytes(SettingsPathBesideTests(), text);
}

namespace {

// Every test starts and ends without a settings file, so no test sees what another saved.
class SettingsFileCleaner : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { ForgetSettingsFile(); }
    void OnTestEnd(const testing::TestInfo&) override { ForgetSettingsFile(); }
};

const bool CleanerInstalled = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new SettingsFileCleaner);
    return true;
}();

} // namespace

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD got = 0;
    if (!bytes.empty())
        ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write the test's file";
    DWORD done = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    CloseHandle(file);
}

// Shared helpers of the Windows tests: pumping messages, answering message boxes, reading
// pixels and counting GDI objects.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

// Handles every pending message of this thread without waiting.
void PumpMessages();
// Pumps messages for about ms milliseconds.
void PumpMessagesFor(DWORD ms);

// Watches this process for message boxes captioned caption while it lives, records the text
// of each and presses OK, so a test never blocks on one.
class MessageBoxAnswerer {
public:
    explicit MessageBoxAnswerer(const wchar_t* caption = L"Ferrogauge");
    ~MessageBoxAnswerer();
    // Texts of the boxes answered so far.
    std::vector<std::wstring> Texts();

private:
    void Watch();
    std::wstring caption_;
    std::atomic<bool> stop_{false};
    CRITICAL_SECTION lock_;
    std::vector<std::wstring> texts_;
    std::thread thread_;
};

// The live GDI objects of this process.
unsigned long LiveGdiObjects();

// A 32-bit bottom-up DIB section to paint into and read back pixel by pixel.
struct Canvas {
    Canvas(int width, int height, COLORREF fill = RGB(0, 0, 0));
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    // The colour of pixel (x, y), y counted from the top.
    COLORREF At(int x, int y) const;
    int width, height;
    HBITMAP bitmap;
    uint32_t* bits;
};

// Gives the program a counter library that answers the processor total at 30 on every read,
// so that what a test sees never hangs on the machine's own counters.
void UseFixedCounters();
// An icon's colour image and mask as 32-bit pixels, top row first, at the icon's own size.
struct IconPixels {
    explicit IconPixels(HICON icon);
    COLORREF Color(int x, int y) const;
    // True where the mask makes the pixel transparent.
    bool Clear(int x, int y) const;
    bool ok = false;
    int width = 0, height = 0;
    std::vector<uint32_t> color, mask;
};

// Creates the graph window with those counters and lets its posted start command run. Null
// when the window could not be made.
HWND OpenGraphWindowWithFixedCounters();
// Destroys the graph window if it is still there, handles the quit that follows and forgets
// the counter library.
void CloseGraphWindow(HWND window);

// The program's settings file beside the test executable (win_tests.ini), which every window
// the tests destroy saves into.
std::wstring SettingsPathBesideTests();
// Deletes that file; the tests do it before and after every test.
void ForgetSettingsFile();
// Writes text as that file.
void WriteSettingsBesideTests(const char* text);

// The bytes of a file (read while others may have it open), or "<missing>".
std::string ReadFileBytes(const std::wstring& path);
// Writes bytes as the whole file at path.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);

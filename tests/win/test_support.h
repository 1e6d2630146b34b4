// Shared helpers of the Windows tests: pumping messages and answering message boxes.
#pragma once

#include <atomic>
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

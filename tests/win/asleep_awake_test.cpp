// The graph window while nobody can see the desktop and across sleep, and graphs whose counters
// stop answering and come back: driven with the messages Windows sends (a test sends them, as
// Wine does not), the scripted counter library and the port's clock set by the test.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <wtsapi32.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/startup.h"
#include "counters/counter_query.h"
#include "port/port_test.h"
#include "render/painter.h"
#include "render/surface.h"
#include "res/resource.h"
#include "scripted_counters.h"
#include "test_support.h"
#include "window/tray.h"

namespace {

const wchar_t CpuPath[] = L"\\Processor(_Total)\\% Processor Time";
const wchar_t MemPath[] = L"\\Memory\\% Committed Bytes In Use";
const wchar_t NetPath[] = L"\\Network Interface()\\Bytes Total/sec";
const wchar_t Eth0Path[] = L"\\Network Interface(eth0)\\Bytes Total/sec";
const wchar_t Eth1Path[] = L"\\Network Interface(eth1)\\Bytes Total/sec";
constexpr PDH_STATUS NoData = static_cast<PDH_STATUS>(PDH_NO_DATA);
constexpr PDH_STATUS InvalidData = static_cast<PDH_STATUS>(PDH_INVALID_DATA);

// What Windows answers for a counter whose instance has gone.
ScriptedReading Gone() {
    return {InvalidData, 0, static_cast<DWORD>(PDH_CSTATUS_NO_INSTANCE)};
}

// Counts the tray pictures the program hands the shell, and passes every call on to it.
struct TrayPictures {
    static int count;
    static BOOL WINAPI Notify(DWORD message, PNOTIFYICONDATAW data) {
        if ((message == NIM_ADD || message == NIM_MODIFY) && (data->uFlags & NIF_ICON))
            count++;
        return Shell_NotifyIconW(message, data);
    }
};
int TrayPictures::count = 0;

// Counts the WM_PAINT messages of one window that this thread takes from its queue, and the
// redraws asked of it, posted or sent.
struct Paints {
    static HWND window;
    static int count, redraws;
    static LRESULT CALLBACK Queued(int code, WPARAM removal, LPARAM message) {
        const MSG* msg = reinterpret_cast<const MSG*>(message);
        if (code == HC_ACTION && removal == PM_REMOVE && msg->hwnd == window) {
            count += msg->message == WM_PAINT;
            redraws += msg->message == RedrawMsg;
        }
        return CallNextHookEx(nullptr, code, removal, message);
    }
    static LRESULT CALLBACK Sent(int code, WPARAM from, LPARAM message) {
        const CWPSTRUCT* msg = reinterpret_cast<const CWPSTRUCT*>(message);
        if (code == HC_ACTION && msg->hwnd == window && msg->message == RedrawMsg)
            redraws++;
        return CallNextHookEx(nullptr, code, from, message);
    }
};
HWND Paints::window = nullptr;
int Paints::count = 0;
int Paints::redraws = 0;

// A path read as the values given, then the last one for ever; a rate, as on Windows.
ScriptedPath Reading(const wchar_t* path, std::vector<ScriptedReading> readings) {
    ScriptedPath p = FixedPath(path, 0);
    p.readings = std::move(readings);
    return p;
}

class AsleepAwake : public testing::Test {
protected:
    void SetUp() override {
        ForgetSettingsFile();
        RegisterGraphClass(GetModuleHandleW(nullptr));
        script = ResetScript();
        wchar_t folder[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        log = std::wstring(folder) + L"ferro-asleep-awake.log";
        DeleteFileW(log.c_str());
        now = 0xFFFF0000u; // close to the tick count's wrap
        PortSetTickCount(now);
        TrayPictures::count = 0;
        UseShellNotify(TrayPictures::Notify);
        Paints::count = Paints::redraws = 0;
        hooks[0] = SetWindowsHookExW(WH_GETMESSAGE, Paints::Queued, nullptr, GetCurrentThreadId());
        hooks[1] = SetWindowsHookExW(WH_CALLWNDPROC, Paints::Sent, nullptr, GetCurrentThreadId());
    }

    void TearDown() override {
        CloseGraphWindow(window);
        for (HHOOK hook : hooks) {
            if (hook)
                UnhookWindowsHookEx(hook);
        }
        UseShellNotify(nullptr);
        PortUseSystemTickCount();
        ForgetSettingsFile();
        DeleteFileW(log.c_str());
    }

    // Starts the graph window on the script with the settings of sections (the log alarm's
    // file is filled in for %LOG%) at an interval no test lasts, and stops its own timer: the
    // test gives every sample. A test that watches the timer keeps it.
    void Start(std::string sections, bool keepTimer = false) {
        sections = "[MAIN]\r\nInterval=60000\r\n" + sections;
        std::string path(log.begin(), log.end());
        for (size_t at; (at = sections.find("%LOG%")) != std::string::npos;)
            sections.replace(at, 5, path);
        WriteSettingsBesideTests(sections.c_str());
        TheApp.Pdh = ScriptedLibrary();
        window = CreateGraphWindow(GetModuleHandleW(nullptr));
        ASSERT_NE(window, nullptr);
        Paints::window = window;
        PumpMessages();
        ASSERT_NE(TheApp.Query, nullptr);
        ASSERT_EQ(TheApp.Settings.Main.Interval, 60000);
        if (!keepTimer) {
            ASSERT_TRUE(KillTimer(window, TIMER_SAMPLE)) << "sampling started";
        }
    }

    // One sample, a second after the one before.
    void Tick() {
        now += 1000;
        PortSetTickCount(now);
        SendMessageW(window, WM_TIMER, TIMER_SAMPLE, 0);
        PumpMessages();
    }

    void Session(WPARAM change) {
        SendMessageW(window, WM_WTSSESSION_CHANGE, change, 1);
        PumpMessages();
    }

    // The display's state as Windows reports it: 0 off, 1 on, 2 dimmed.
    void Display(DWORD state) {
        alignas(8) BYTE buffer[sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD)] = {};
        auto* setting = reinterpret_cast<POWERBROADCAST_SETTING*>(buffer);
        setting->PowerSetting = {
            0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
        setting->DataLength = sizeof(DWORD);
        std::memcpy(setting->Data, &state, sizeof(state));
        EXPECT_EQ(SendMessageW(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                               reinterpret_cast<LPARAM>(setting)),
                  TRUE);
        PumpMessages();
    }

    void Power(WPARAM event) {
        EXPECT_EQ(SendMessageW(window, WM_POWERBROADCAST, event, 0), TRUE);
        PumpMessages();
    }

    // The lines the log alarm has written.
    std::vector<std::string> LogLines() const {
        std::string text = ReadFileBytes(log);
        std::vector<std::string> lines;
        if (text == "<missing>")
            return lines;
        for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    // The window's surface, pixel for pixel.
    static std::vector<uint32_t> SurfaceBits() {
        DIBSECTION dib = {};
        if (!TheApp.Surface || GetObjectW(TheApp.Surface, sizeof(dib), &dib) != sizeof(dib))
            return {};
        const auto* bits = static_cast<const uint32_t*>(dib.dsBm.bmBits);
        return std::vector<uint32_t>(bits, bits + dib.dsBm.bmWidth * dib.dsBm.bmHeight);
    }

    // The picture the current histories make, painted afresh into a surface of the window's.
    static std::vector<uint32_t> PictureNow() {
        BITMAP info = {};
        GetObjectW(TheApp.Surface, sizeof(info), &info);
        void* bits = nullptr;
        HBITMAP fresh = CreateSurface(nullptr, info.bmWidth, info.bmHeight, 32, &bits, 0);
        PaintGraphs(fresh, TheApp.GraphRes, TheApp.Settings.Slot, TheApp.Run, 2);
        const auto* pixels = static_cast<const uint32_t*>(bits);
        std::vector<uint32_t> picture(pixels, pixels + info.bmWidth * info.bmHeight);
        DeleteObject(fresh);
        return picture;
    }

    int Added(const wchar_t* path) const {
        int n = 0;
        for (const std::wstring& p : script->added)
            n += p == path;
        return n;
    }

    ScriptedCounters* script = nullptr;
    HWND window = nullptr;
    HHOOK hooks[2] = {};
    std::wstring log;
    uint32_t now = 0;
};

// An alarm that logs every sample, and the history: while nobody can see the desktop both go
// on, but neither the window nor the shell is given a picture. Once someone can, both are
// brought up to date at once, with one paint and one tray picture.
TEST_F(AsleepAwake, NothingIsDrawnWhileNobodyCanSeeButSamplingAndAlarmsGoOn) {
    std::vector<ScriptedReading> readings;
    for (int v = 1; v <= 60; v++)
        readings.push_back({ERROR_SUCCESS, v});
    script->paths = {Reading(CpuPath, readings)};
    Start("[COUNTER1]\r\nAlarmFlag=0x4173\r\nAlarmFile=%LOG%\r\nAlarmOption=%v\\r\\n\r\n");

    struct Case {
        const char* what;
        std::vector<std::function<void()>> away; // each makes the desktop unseen
        std::vector<std::function<void()>> back; // all of them make it seen again
    };
    auto session = [this](WPARAM change) { return [this, change] { Session(change); }; };
    auto display = [this](DWORD state) { return [this, state] { Display(state); }; };
    auto lock = session(WTS_SESSION_LOCK), unlock = session(WTS_SESSION_UNLOCK);
    auto off = display(0), on = display(1), dimmed = display(2);
    const Case cases[] = {
        {"locked", {lock}, {unlock}},
        {"display off, then dimmed", {off}, {dimmed}},
        {"display off, then on", {off}, {on}},
        {"remote session disconnected",
         {session(WTS_REMOTE_DISCONNECT)},
         {session(WTS_REMOTE_CONNECT)}},
        {"switched to another user",
         {session(WTS_CONSOLE_DISCONNECT)},
         {session(WTS_CONSOLE_CONNECT)}},
        // Both at once: the display coming on while the session is still locked shows nothing.
        {"locked with the display off", {lock, off}, {on, unlock}},
        {"locked with the display off, unlocked first", {off, lock}, {unlock, on}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Tick();
        ASSERT_EQ(SurfaceBits(), PictureNow()) << "seen: every sample is painted";
        std::vector<uint32_t> before = SurfaceBits();
        int ring = TheApp.Run[0].RingIndex;
        size_t lines = LogLines().size();
        Paints::count = Paints::redraws = TrayPictures::count = 0;

        for (const auto& step : c.away)
            step();
        for (int i = 0; i < 3; i++)
            Tick();
        for (size_t i = 0; i + 1 < c.back.size(); i++) {
            c.back[i]();
            Tick();
        }
        EXPECT_EQ(TheApp.Run[0].RingIndex, ring + 3 + static_cast<int>(c.back.size()) - 1)
            << "every sample stored";
        EXPECT_EQ(LogLines().size(), lines + 3 + c.back.size() - 1) << "every sample logged";
        EXPECT_EQ(Paints::count, 0);
        EXPECT_EQ(Paints::redraws, 0);
        EXPECT_EQ(TrayPictures::count, 0);
        EXPECT_EQ(SurfaceBits(), before) << "the surface was not painted";

        c.back.back()();
        EXPECT_EQ(Paints::redraws, 1);
        EXPECT_EQ(Paints::count, 1);
        EXPECT_EQ(TrayPictures::count, 1);
        EXPECT_EQ(SurfaceBits(), PictureNow()) << "the picture of the newest sample";
        EXPECT_EQ(LogLines().back(), std::to_string(TheApp.Run[0].Latest));
    }
    // Telling that someone is there when they were all along draws nothing more.
    Paints::count = TrayPictures::count = 0;
    Session(WTS_SESSION_UNLOCK);
    Display(1);
    Session(WTS_SESSION_LOGON);
    EXPECT_EQ(Paints::count, 0);
    EXPECT_EQ(TrayPictures::count, 0);
}

// At a suspend sampling stops; at the resume every counter is added again, a reference
// collection is taken whose values are not stored, and an alarm's hold begins afresh, so the
// hour asleep does not fire it at once.
TEST_F(AsleepAwake, ResumeTakesAFreshReferenceAndBeginsAlarmHoldsAfresh) {
    script->instances = std::wstring(L"eth0\0", 5);
    script->paths = {FixedPath(Eth0Path, 500), FixedPath(Eth1Path, 700), FixedPath(MemPath, 40)};
    // A log alarm at 400 or more, after a hold of 5 s; graph 2 is no rate, so a collection
    // stored at the resume would show in its history.
    Start("[COUNTER1]\r\nPath=\\Network Interface()\\Bytes Total/sec\r\nValMax=1000\r\n"
          "AlarmFlag=0x4033\r\nAlarmBorder=400\r\nAlarmDuration=5000\r\n"
          "AlarmFile=%LOG%\r\nAlarmOption=%v\\r\\n\r\n[COUNTER2]\r\nPdhFlag=1\r\n",
          true);
    Tick();
    Tick();
    ASSERT_EQ(TheApp.Run[0].RingIndex, 2);
    ASSERT_EQ(TheApp.Run[1].RingIndex, 2);
    ASSERT_TRUE(LogLines().empty()) << "holding for 1 s";

    Power(PBT_APMSUSPEND);
    EXPECT_FALSE(KillTimer(window, TIMER_SAMPLE)) << "the sample timer stopped";
    // An hour asleep; the adapter has another name now.
    now += 3600000;
    PortSetTickCount(now);
    script->instances = std::wstring(L"eth1\0", 5);
    int collects = script->collects;
    int removes = script->removes;
    Power(PBT_APMRESUMEAUTOMATIC);
    EXPECT_TRUE(KillTimer(window, TIMER_SAMPLE)) << "the sample timer runs again";
    EXPECT_EQ(script->collects, collects + 1) << "the reference collection";
    EXPECT_EQ(script->removes, removes + 2) << "the old counters are gone";
    EXPECT_EQ(Added(Eth1Path), 1) << "the instance there is now";
    EXPECT_EQ(Added(MemPath), 2);
    EXPECT_EQ(TheApp.Run[0].RingIndex, 2) << "the reference is not stored";
    EXPECT_EQ(TheApp.Run[1].RingIndex, 2) << "nor graph 2's values";
    EXPECT_EQ(TheApp.Run[0].Latest, 500);

    Tick();
    EXPECT_EQ(TheApp.Run[0].RingIndex, 3);
    EXPECT_EQ(TheApp.Run[0].Latest, 700) << "a rate over the time since the resume";
    EXPECT_TRUE(LogLines().empty()) << "the hold begun before the sleep did not fire at once";
    for (int i = 0; i < 3; i++)
        Tick();
    EXPECT_TRUE(LogLines().empty());
    Tick(); // five seconds since the resume
    EXPECT_EQ(LogLines(), std::vector<std::string>{"700"});

    // The user's own resume after the automatic one changes nothing more.
    collects = script->collects;
    Power(PBT_APMRESUMESUSPEND);
    EXPECT_EQ(script->collects, collects);
    EXPECT_FALSE(KillTimer(window, TIMER_SAMPLE)) << "not started twice";
}

// Sampling stopped from the menu stays stopped across a sleep.
TEST_F(AsleepAwake, SamplingStoppedByTheUserStaysStoppedAfterAResume) {
    script->paths = {FixedPath(CpuPath, 30)};
    Start("");
    SendMessageW(window, WM_COMMAND, IDM_START, 0);
    ASSERT_EQ(TheApp.Query, nullptr);
    int opens = script->opens;
    Power(PBT_APMSUSPEND);
    Power(PBT_APMRESUMEAUTOMATIC);
    EXPECT_EQ(TheApp.Query, nullptr);
    EXPECT_EQ(script->opens, opens);
    EXPECT_FALSE(KillTimer(window, TIMER_SAMPLE));
}

// A graph whose instance has gone shows "---" and stores nothing; after five failed reads its
// counter is added again from the path as typed, which takes the instance there is now, and the
// graph goes on where it stood. Failed collections count as failed reads.
TEST_F(AsleepAwake, AGraphWhoseInstanceWentFollowsTheOneThereIsNow) {
    for (bool collectionFails : {false, true}) {
        SCOPED_TRACE(collectionFails ? "collections fail" : "reads fail");
        script = ResetScript();
        script->instances = std::wstring(L"eth0\0", 5);
        script->paths = {Reading(Eth0Path, {{ERROR_SUCCESS, 200}, {ERROR_SUCCESS, 100}, Gone()}),
                         FixedPath(Eth1Path, 900)};
        if (collectionFails) {
            // The reference and two good collections, then none while nothing answers.
            script->collectStatus = {ERROR_SUCCESS, ERROR_SUCCESS, ERROR_SUCCESS, NoData};
        }
        // An alarm that logs a rise over the sample before.
        DeleteFileW(log.c_str());
        Start("[COUNTER1]\r\nPath=\\Network Interface()\\Bytes Total/sec\r\nValMax=1000\r\n"
              "AlarmFlag=0x40A3\r\nAlarmFile=%LOG%\r\nAlarmOption=%v\\r\\n\r\n");
        Tick();
        Tick();
        ASSERT_EQ(TheApp.Run[0].RingIndex, 2);
        ASSERT_TRUE(LogLines().empty()) << "no rise yet";
        ASSERT_TRUE(CounterAnswers(&TheApp.Run[0]));
        script->instances = std::wstring(L"eth1\0", 5);

        Paints::count = 0;
        for (int i = 1; i < ReAddAfterFailedReads; i++) {
            Tick();
            EXPECT_FALSE(CounterAnswers(&TheApp.Run[0])) << "the caption shows ---";
        }
        EXPECT_EQ(Paints::count, 1) << "painted once, when it stopped answering";
        EXPECT_EQ(TheApp.Run[0].RingIndex, 2) << "no invented samples";
        EXPECT_EQ(Added(Eth1Path), 0);
        if (collectionFails)
            script->collectStatus = {ERROR_SUCCESS};
        Tick();
        EXPECT_EQ(Added(Eth1Path), 0) << "four failed reads are not enough";
        Tick();
        EXPECT_EQ(Added(Eth1Path), 1) << "added again after five";
        EXPECT_EQ(script->removes, 1);
        EXPECT_FALSE(CounterAnswers(&TheApp.Run[0])) << "the new rate counter's reference";
        Tick();
        EXPECT_TRUE(CounterAnswers(&TheApp.Run[0]));
        EXPECT_EQ(TheApp.Run[0].RingIndex, 3) << "goes on where it stood";
        EXPECT_EQ(TheApp.Run[0].History[1], 200);
        EXPECT_EQ(TheApp.Run[0].History[2], 100);
        EXPECT_EQ(TheApp.Run[0].History[3], 900);
        EXPECT_TRUE(LogLines().empty())
            << "the new adapter's first value is not a rise over the old one's last";
        CloseGraphWindow(window);
        window = nullptr;
    }
}

// A named instance that is gone for good: Windows adds its counter again without complaint,
// and the graph keeps failing. It is added again after five failed reads, then only every
// 30 s, and nobody is told.
TEST_F(AsleepAwake, AnInstanceGoneForGoodIsTriedAgainEvery30Seconds) {
    script->paths = {Reading(Eth0Path, {{ERROR_SUCCESS, 100}, Gone()})};
    MessageBoxAnswerer boxes;
    Start("[COUNTER1]\r\nPath=\\Network Interface(eth0)\\Bytes Total/sec\r\n");
    for (int i = 0; i < 6; i++)
        Tick();
    EXPECT_EQ(Added(Eth0Path), 1) << "one good read and five failed";
    Tick();
    EXPECT_EQ(Added(Eth0Path), 2) << "the start and the first re-add";
    for (int i = 0; i < 29; i++)
        Tick();
    EXPECT_EQ(Added(Eth0Path), 2) << "29 s after the re-add";
    Tick();
    EXPECT_EQ(Added(Eth0Path), 3) << "30 s after it";
    for (int i = 0; i < 30; i++)
        Tick();
    EXPECT_EQ(Added(Eth0Path), 4);
    EXPECT_EQ(script->removes, 3) << "each re-add took the old counter's place";
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_NE(TheApp.Query, nullptr) << "sampling goes on";
}

// Graph 2's counter cannot be added at the start (its provider comes later): the program says
// nothing, tries again every 30 s, and once it gets the counter the graph starts, its alarm as
// the start would have started it.
TEST_F(AsleepAwake, ACounterThatCannotBeAddedIsTriedAgainSilentlyEvery30Seconds) {
    script->paths = {FixedPath(CpuPath, 30)};
    script->paths.reserve(2); // the counters are pointers into the script: no moving later
    MessageBoxAnswerer boxes;
    Start("[COUNTER2]\r\nPdhFlag=1\r\nAlarmFlag=0x4173\r\nAlarmFile=%LOG%\r\n"
          "AlarmOption=%v\\r\\n\r\n");
    ASSERT_EQ(TheApp.Run[1].Counter, nullptr);
    EXPECT_EQ(Added(MemPath), 1);
    for (int i = 0; i < 29; i++)
        Tick();
    EXPECT_EQ(Added(MemPath), 1) << "not before 30 s";
    Tick();
    EXPECT_EQ(Added(MemPath), 2);
    EXPECT_EQ(TheApp.Run[1].Counter, nullptr);

    script->paths.push_back(FixedPath(MemPath, 40)); // the provider is there now
    for (int i = 0; i < 29; i++)
        Tick();
    EXPECT_EQ(TheApp.Run[1].Counter, nullptr);
    Tick();
    EXPECT_EQ(Added(MemPath), 3);
    ASSERT_NE(TheApp.Run[1].Counter, nullptr);
    EXPECT_EQ(TheApp.Run[1].RingIndex, 1) << "read in the same tick (not a rate)";
    EXPECT_EQ(TheApp.Run[1].Latest, 40);
    EXPECT_EQ(TheApp.Run[1].History[2], -1) << "a fresh history";
    EXPECT_EQ(TheApp.RunFlag & (AlarmArmed | AlarmRunning), AlarmArmed | AlarmRunning);
    EXPECT_EQ(LogLines(), std::vector<std::string>{"40"});
    Tick();
    EXPECT_EQ(Added(MemPath), 3) << "no more tries";
    EXPECT_EQ(TheApp.Run[0].RingIndex, 61) << "graph 1 sampled all along";
    EXPECT_TRUE(boxes.Texts().empty());
}

// What else asks for a picture while nobody can see the desktop (a scale change of the taskbar or
// the window, a display change, a restarted taskbar) waits for the one redraw when someone can.
TEST_F(AsleepAwake, NoOtherChangeDrawsWhileNobodyCanSee) {
    script->paths = {FixedPath(CpuPath, 30)};
    Start("");
    Tick();
    Session(WTS_SESSION_LOCK);
    Paints::count = Paints::redraws = TrayPictures::count = 0;
    TheApp.TrayDpi = 1; // the taskbar's scale has changed since the icon was drawn
    SendMessageW(window, WM_SETTINGCHANGE, 0, 0);
    SendMessageW(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768));
    SendMessageW(window, TheApp.TaskbarCreatedMsg, 0, 0);
    RECT r;
    GetWindowRect(window, &r);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&r));
    PumpMessages();
    EXPECT_EQ(TrayPictures::count, 0);
    EXPECT_EQ(Paints::count, 0);
    EXPECT_NE(TheApp.TrayDpi, 1) << "the new scale was read";
    Session(WTS_SESSION_UNLOCK);
    EXPECT_EQ(TrayPictures::count, 1) << "the icon at the taskbar's scale";
    EXPECT_EQ(Paints::count, 1);
    EXPECT_EQ(SurfaceBits(), PictureNow());
}

// A re-add that cannot get the counter leaves the graph its counter and its history; the next
// try comes 30 s later and takes the old counter's place once it succeeds.
TEST_F(AsleepAwake, AReAddThatFailsKeepsTheGraphAsItWas) {
    script->instances = std::wstring(L"eth0\0", 5);
    script->paths = {Reading(Eth0Path, {{ERROR_SUCCESS, 100}, Gone()})};
    script->paths.reserve(2); // the counters are pointers into the script: no moving later
    Start("[COUNTER1]\r\nPath=\\Network Interface()\\Bytes Total/sec\r\nValMax=1000\r\n");
    Tick();
    void* counter = TheApp.Run[0].Counter;
    script->instances = std::wstring(L"eth1\0", 5); // an adapter the library cannot add
    for (int i = 0; i < ReAddAfterFailedReads + 1; i++)
        Tick();
    EXPECT_EQ(script->added.back(), Eth1Path) << "tried";
    EXPECT_EQ(TheApp.Run[0].Counter, counter) << "the counter it had";
    EXPECT_EQ(script->removes, 0);
    EXPECT_EQ(TheApp.Run[0].RingIndex, 1);
    EXPECT_EQ(TheApp.Run[0].History[1], 100);

    script->paths.push_back(FixedPath(Eth1Path, 900));
    for (int i = 0; i < 29; i++)
        Tick();
    EXPECT_EQ(TheApp.Run[0].Counter, counter) << "not tried again before 30 s";
    Tick();
    EXPECT_NE(TheApp.Run[0].Counter, counter);
    EXPECT_EQ(script->removes, 1);
    Tick();
    EXPECT_EQ(TheApp.Run[0].RingIndex, 2);
    EXPECT_EQ(TheApp.Run[0].Latest, 900);
}

// After a resume the adapter may come up only seconds later: a counter that fails its first five
// reads after the resume is added again at once, not 30 s after the resume.
TEST_F(AsleepAwake, AfterAResumeAnAdapterThatComesLateIsFollowedAtOnce) {
    script->instances = std::wstring(L"eth0\0", 5);
    script->paths = {Reading(Eth0Path, {{ERROR_SUCCESS, 100}, Gone()}), FixedPath(Eth1Path, 900)};
    Start("[COUNTER1]\r\nPath=\\Network Interface()\\Bytes Total/sec\r\nValMax=1000\r\n");
    Tick();
    Power(PBT_APMSUSPEND);
    Power(PBT_APMRESUMEAUTOMATIC);
    KillTimer(window, TIMER_SAMPLE);
    EXPECT_EQ(Added(Eth0Path), 2) << "the old adapter's name, still listed at the resume";
    script->instances = std::wstring(L"eth1\0", 5);
    for (int i = 0; i < ReAddAfterFailedReads; i++)
        Tick();
    EXPECT_EQ(Added(Eth1Path), 0);
    Tick();
    EXPECT_EQ(Added(Eth1Path), 1) << "after five failed reads";
}

} // namespace

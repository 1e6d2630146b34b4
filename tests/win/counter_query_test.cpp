// The counter query and the sample tick against a scripted counter library: failures and
// their messages, what a tick stores, restarts, and the empty-instance expansion.
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "app/main_window.h"
#include "app/startup.h"
#include "counters/counter_query.h"
#include "res/resource.h"
#include "scripted_counters.h"
#include "test_support.h"

namespace {

// The status codes as the library returns them (the headers define them unsigned).
constexpr PDH_STATUS NoData = static_cast<PDH_STATUS>(PDH_NO_DATA);
constexpr PDH_STATUS InvalidData = static_cast<PDH_STATUS>(PDH_INVALID_DATA);

const wchar_t CpuPath[] = L"\\Processor(_Total)\\% Processor Time";
const wchar_t MemPath[] = L"\\Memory\\% Committed Bytes In Use";
const wchar_t CounterErrorText[] =
    L"パフォーマンス取得エラー\r\nカウンタパスの設定を確認してください";

class CounterQuery : public testing::Test {
protected:
    static void SetUpTestSuite() { RegisterGraphClass(GetModuleHandleW(nullptr)); }

    void SetUp() override { script = ResetScript(); }

    // Creates the window with the scripted library and lets the posted start command run.
    void Start(bool secondGraph = false) {
        TheApp.Pdh = ScriptedLibrary();
        window = CreateGraphWindow(GetModuleHandleW(nullptr));
        ASSERT_NE(window, nullptr);
        if (secondGraph) {
            // The start command is still queued: switch graph 2 on before it runs.
            TheApp.Settings.Slot[1].PdhFlag |= PdhUse;
        }
        PumpMessagesFor(50);
    }

    void Tick() {
        SendMessageW(window, WM_TIMER, TIMER_SAMPLE, 0);
        PumpMessages();
    }

    void TearDown() override { CloseGraphWindow(window); }

    ScriptedCounters* script = nullptr;
    HWND window = nullptr;
};

TEST_F(CounterQuery, OpenFailureShowsTheQueryErrorAndDoesNotSample) {
    script->openStatus = PDH_MEMORY_ALLOCATION_FAILURE;
    MessageBoxAnswerer boxes;
    Start();
    PumpMessagesFor(200);
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], L"PdhOpenQuery() Error");
    EXPECT_EQ(TheApp.Query, nullptr);
    EXPECT_TRUE(script->added.empty());
}

TEST_F(CounterQuery, FirstGraphOrFirstCollectionFailingShowsTheCounterError) {
    for (int failCollection = 0; failCollection < 2; failCollection++) {
        SCOPED_TRACE(failCollection ? "first collection fails" : "graph 1 cannot be added");
        script = ResetScript();
        if (failCollection) {
            script->paths = {FixedPath(CpuPath, 5)};
            script->collectStatus = {NoData};
        }
        MessageBoxAnswerer boxes;
        Start();
        PumpMessagesFor(200);
        ASSERT_EQ(boxes.Texts().size(), 1u);
        EXPECT_EQ(boxes.Texts()[0], CounterErrorText);
        EXPECT_EQ(TheApp.Query, nullptr);
        EXPECT_EQ(TheApp.Run[0].Counter, nullptr);
        EXPECT_EQ(script->closes, 1);
        EXPECT_EQ(script->removes, failCollection ? 1 : 0);
        TearDown();
    }
}

// Graph 1 without its use flag (set so by hand in the file) gets no counter; the message says
// that, not that its path is wrong.
TEST_F(CounterQuery, GraphOneSwitchedOffInTheFileIsToldAsSuch) {
    script->paths = {FixedPath(CpuPath, 5)};
    MessageBoxAnswerer boxes;
    TheApp.Pdh = ScriptedLibrary();
    window = CreateGraphWindow(GetModuleHandleW(nullptr));
    ASSERT_NE(window, nullptr);
    TheApp.Settings.Slot[0].PdhFlag &= ~PdhUse; // before the start command runs
    PumpMessages();
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0].rfind(L"グラフ1のカウンタが使われていません。", 0), 0u);
    EXPECT_EQ(TheApp.Query, nullptr);
}

TEST_F(CounterQuery, SecondGraphFailingAloneStillSamplesTheFirst) {
    script->paths = {FixedPath(CpuPath, 42)};
    MessageBoxAnswerer boxes;
    Start(true);
    EXPECT_TRUE(boxes.Texts().empty());
    ASSERT_NE(TheApp.Query, nullptr);
    EXPECT_EQ(TheApp.Run[1].Counter, nullptr);
    EXPECT_EQ(script->added, (std::vector<std::wstring>{CpuPath, MemPath}));

    Tick();
    EXPECT_EQ(TheApp.Run[0].Latest, 42);
    EXPECT_EQ(TheApp.Run[0].RingIndex, 1);
    EXPECT_EQ(TheApp.Run[0].History[1], 42);
}

// A rate counter has no value before the second collection: the reference collection at the
// start makes the first tick's read good, and a read without a good counter status is no value.
TEST_F(CounterQuery, RateCountersReadFromTheFirstTick) {
    ScriptedPath cpu = FixedPath(CpuPath, 12);
    ASSERT_TRUE(cpu.rate);
    script->paths = {cpu};
    Start();
    EXPECT_EQ(script->collects, 1);
    Tick();
    EXPECT_EQ(TheApp.Run[0].Latest, 12);
    EXPECT_EQ(TheApp.Run[0].RingIndex, 1);
}

// A read that succeeds with a counter status that is not good (an instance gone) is no value.
TEST_F(CounterQuery, AReadWithABadCounterStatusStoresNothing) {
    ScriptedPath cpu = FixedPath(CpuPath, 0);
    cpu.readings = {{ERROR_SUCCESS, 10},
                    {ERROR_SUCCESS, 77, static_cast<DWORD>(PDH_CSTATUS_NO_INSTANCE)},
                    {ERROR_SUCCESS, 20, static_cast<DWORD>(PDH_CSTATUS_NEW_DATA)}};
    script->paths = {cpu};
    Start();
    Tick();
    Tick(); // the instance is gone
    EXPECT_EQ(TheApp.Run[0].Latest, 10);
    EXPECT_EQ(TheApp.Run[0].RingIndex, 1);
    Tick();
    EXPECT_EQ(TheApp.Run[0].Latest, 20) << "new data is good data";
}

TEST_F(CounterQuery, SecondGraphIsNeverAddedWhileNotInUse) {
    script->paths = {FixedPath(CpuPath, 1), FixedPath(MemPath, 2)};
    Start(false);
    EXPECT_EQ(script->added, (std::vector<std::wstring>{CpuPath}));
}

// A read that fails once does not stop a running alarm: the menu still shows it running, and
// the next alarm command stops it.
TEST_F(CounterQuery, AFailedReadLeavesARunningAlarmRunning) {
    ScriptedPath cpu = FixedPath(CpuPath, 10);
    cpu.readings = {{ERROR_SUCCESS, 10}, {InvalidData, 0}, {ERROR_SUCCESS, 10}};
    script->paths = {cpu};
    Start();
    TheApp.Settings.Slot[0].AlarmFlag = AlarmUse; // no comparison: it never fires
    SendMessageW(window, WM_COMMAND, IDM_ALARM, 0);
    ASSERT_TRUE(TheApp.RunFlag & AlarmRunning);
    Tick();
    Tick(); // the read fails
    EXPECT_EQ(TheApp.Run[0].RingIndex, 1) << "nothing stored for the failed read";
    EXPECT_TRUE(TheApp.RunFlag & AlarmRunning);
    SendMessageW(window, WM_COMMAND, IDM_ALARM, 0);
    EXPECT_FALSE(TheApp.RunFlag & AlarmRunning) << "the command stops it";
}

TEST_F(CounterQuery, FailedCollectionStoresNothingAndKeepsTheGrid) {
    script->paths = {FixedPath(CpuPath, 30)};
    script->collectStatus = {ERROR_SUCCESS, ERROR_SUCCESS, NoData, ERROR_SUCCESS};
    Start();
    Tick(); // stored
    EXPECT_EQ(TheApp.Run[0].RingIndex, 1);
    EXPECT_EQ(TheApp.GraphRes[0].GridPhase, 1);
    EXPECT_EQ(TheApp.IconRes[0].GridPhase, 1);
    Tick(); // collection fails
    EXPECT_EQ(TheApp.Run[0].RingIndex, 1);
    EXPECT_EQ(TheApp.GraphRes[0].GridPhase, 1);
    EXPECT_EQ(TheApp.IconRes[0].GridPhase, 1);
    Tick();
    EXPECT_EQ(TheApp.Run[0].RingIndex, 2);
    EXPECT_EQ(TheApp.GraphRes[0].GridPhase, 2);
}

TEST_F(CounterQuery, FailedReadLeavesThatGraphAndSamplesTheOther) {
    ScriptedPath cpu = FixedPath(CpuPath, 0);
    cpu.readings = {{ERROR_SUCCESS, 10}, {InvalidData, 99}, {ERROR_SUCCESS, 30}};
    script->paths = {cpu, FixedPath(MemPath, 7)};
    Start(true);
    Tick();
    Tick(); // graph 1's read fails
    EXPECT_EQ(TheApp.Run[0].Latest, 10);
    EXPECT_EQ(TheApp.Run[0].RingIndex, 1);
    EXPECT_EQ(TheApp.GraphRes[0].GridPhase, 1);
    EXPECT_EQ(TheApp.Run[1].RingIndex, 2);
    EXPECT_EQ(TheApp.Run[1].Latest, 7);
    Tick();
    EXPECT_EQ(TheApp.Run[0].Latest, 30);
    EXPECT_EQ(TheApp.Run[0].MaxValue, 30);
}

TEST_F(CounterQuery, GridPhaseWrapsAtTheGridWidth) {
    script->paths = {FixedPath(CpuPath, 1)};
    Start();
    for (int i = 0; i < 10; i++)
        Tick();
    EXPECT_EQ(TheApp.GraphRes[0].GridPhase, 0) << "window grid of 10";
    EXPECT_EQ(TheApp.IconRes[0].GridPhase, 0) << "icon grid of 5";
    Tick();
    EXPECT_EQ(TheApp.GraphRes[0].GridPhase, 1);
}

TEST_F(CounterQuery, StartCommandTwiceRestartsAndResetsTheHistory) {
    script->paths = {FixedPath(CpuPath, 55)};
    Start();
    Tick();
    Tick();
    TheApp.Run[0].TextWidth = 40;
    SendMessageW(window, WM_COMMAND, IDM_START, 0);
    EXPECT_EQ(TheApp.Query, nullptr);
    EXPECT_EQ(TheApp.Run[0].Counter, nullptr);
    EXPECT_EQ(TheApp.Run[0].RingIndex, 2) << "values keep showing while stopped";

    SendMessageW(window, WM_COMMAND, IDM_START, 0);
    ASSERT_NE(TheApp.Query, nullptr);
    EXPECT_EQ(TheApp.Run[0].RingIndex, 0);
    EXPECT_EQ(TheApp.Run[0].History[0], 0);
    EXPECT_EQ(TheApp.Run[0].History[1], -1);
    EXPECT_EQ(TheApp.Run[0].Latest, 0);
    EXPECT_EQ(TheApp.Run[0].MaxValue, 0);
    EXPECT_EQ(TheApp.Run[0].TextWidth, 0);
    EXPECT_EQ(script->opens, 2);
}

TEST_F(CounterQuery, EnglishNamesAreTriedOnlyAfterAFailure) {
    ScriptedPath cpu = FixedPath(CpuPath, 3);
    script->paths = {cpu};
    Start();
    EXPECT_TRUE(script->addedEnglish.empty());
    TearDown();

    script = ResetScript();
    cpu.addStatus = PDH_CSTATUS_NO_OBJECT;
    cpu.englishStatus = ERROR_SUCCESS;
    script->paths = {cpu};
    Start();
    EXPECT_EQ(script->addedEnglish, (std::vector<std::wstring>{CpuPath}));
    EXPECT_NE(TheApp.Run[0].Counter, nullptr);
    Tick();
    EXPECT_EQ(TheApp.Run[0].Latest, 3);
}

struct ExpandCase {
    const wchar_t* path;
    const wchar_t* instances; // joined by '|', or null when the list cannot be read
    int capacity;
    const wchar_t* expected;
    const wchar_t* object; // the object asked for, or null when none is asked
    const wchar_t* machine;
};

class ExpandPath : public testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandPath, FillsTheFirstInstanceOfAnEmptyInstance) {
    const ExpandCase& c = GetParam();
    ScriptedCounters* s = ResetScript();
    if (c.instances) {
        s->instances = c.instances;
        for (wchar_t& ch : s->instances)
            if (ch == L'|')
                ch = L'\0';
    } else {
        s->enumStatus = PDH_CSTATUS_NO_OBJECT;
    }
    wchar_t out[300];
    wmemset(out, L'#', 300);
    int n = ExpandCounterPath(ScriptedLibrary(), c.path, out, c.capacity);
    if (c.expected) {
        EXPECT_EQ(std::wstring(out), c.expected);
        EXPECT_EQ(n, lstrlenW(c.expected));
    } else {
        EXPECT_EQ(n, 0);
        EXPECT_EQ(out[0], L'#') << "nothing written";
    }
    EXPECT_EQ(s->enumObject, c.object ? c.object : L"");
    if (c.machine)
        EXPECT_EQ(s->enumMachine, c.machine);
    else
        EXPECT_FALSE(s->enumMachineGiven);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExpandPath,
    testing::Values(
        ExpandCase{L"\\Processor(_Total)\\% Processor Time", L"0|1", 260,
                   L"\\Processor(_Total)\\% Processor Time", nullptr, nullptr},
        ExpandCase{L"\\Memory\\% Committed Bytes In Use", L"x", 260,
                   L"\\Memory\\% Committed Bytes In Use", nullptr, nullptr},
        ExpandCase{L"\\Network Interface()\\Bytes Total/sec", L"eth0|lo", 260,
                   L"\\Network Interface(eth0)\\Bytes Total/sec", L"Network Interface", nullptr},
        // Parentheses after the object part are part of the counter name.
        ExpandCase{L"\\Memory\\Odd ()", L"a", 260, L"\\Memory\\Odd ()", nullptr, nullptr},
        // A path on another machine asks that machine.
        ExpandCase{L"\\\\server\\Processor()\\% Processor Time", L"0", 260,
                   L"\\\\server\\Processor(0)\\% Processor Time", L"Processor", L"\\\\server"},
        ExpandCase{L"\\Processor()\\% Processor Time", L"", 260, L"\\Processor()\\% Processor Time",
                   L"Processor", nullptr},
        // The list cannot be read: the path keeps its empty parentheses.
        ExpandCase{L"\\Processor()\\% Processor Time", nullptr, 260,
                   L"\\Processor()\\% Processor Time", L"Processor", nullptr},
        // Room for the start up to '(' but not for k + 1 characters: nothing at all.
        ExpandCase{L"\\Processor()\\x", L"0", 12, nullptr, nullptr, nullptr},
        // Short of room after the start: the rest is cut.
        ExpandCase{L"\\Processor()\\x", L"123", 16, L"\\Processor(123)", L"Processor", nullptr},
        // An object name longer than 31 characters is not asked for.
        ExpandCase{L"\\ABCDEFGHIJKLMNOPQRSTUVWXYZ012345()\\c", L"0", 260,
                   L"\\ABCDEFGHIJKLMNOPQRSTUVWXYZ012345()\\c", nullptr, nullptr}));

// The stand-in answers the list query as Windows does: both lists need room, a list that grew
// since its length was asked answers PDH_MORE_DATA again, and an object without instances
// lists none.
TEST(ExpandPathAsWindowsAnswers, AsksBothListsAgainWhenTheListGrew) {
    ScriptedCounters* s = ResetScript();
    s->instances = std::wstring(L"eth0\0eth1", 9);
    s->growBy = L"wlan0";
    wchar_t out[ExpandedPathChars];
    ExpandCounterPath(ScriptedLibrary(), L"\\Network Interface()\\Bytes Total/sec", out,
                      ExpandedPathChars);
    EXPECT_STREQ(out, L"\\Network Interface(eth0)\\Bytes Total/sec");
    EXPECT_EQ(s->enumObjects.size(), 4u) << "lengths, short lists, lengths again, lists";

    s = ResetScript();
    s->objectHasInstances = false;
    ExpandCounterPath(ScriptedLibrary(), L"\\Memory()\\Available Bytes", out, ExpandedPathChars);
    EXPECT_STREQ(out, L"\\Memory()\\Available Bytes");
}

// On a Japanese Windows the list query knows only the Japanese object name: the English path's
// object is found through the English add and the library's own path of that counter.
TEST(ExpandPathAsWindowsAnswers, EnglishObjectIsListedByItsLocalName) {
    const wchar_t local[] = L"ネットワーク インターフェイス";
    ScriptedCounters* s = ResetScript();
    s->localObject = local;
    s->instances = L"Intel(R) Ethernet";
    s->paths = {FixedPath(L"\\Network Interface(Intel(R) Ethernet)\\Bytes Total/sec", 1)};
    wchar_t out[ExpandedPathChars];
    ExpandCounterPath(ScriptedLibrary(), L"\\Network Interface()\\Bytes Total/sec", out,
                      ExpandedPathChars);
    EXPECT_STREQ(out, L"\\Network Interface(Intel(R) Ethernet)\\Bytes Total/sec");
    EXPECT_EQ(s->enumObjects, (std::vector<std::wstring>{L"Network Interface", local, local}));
    EXPECT_EQ(s->addedEnglish,
              (std::vector<std::wstring>{L"\\Network Interface(*)\\Bytes Total/sec"}));
    EXPECT_EQ(s->openQueries, 0) << "the query of the name lookup is closed";

    // Without the English add (before Vista) the path stays as it is.
    s = ResetScript();
    s->localObject = local;
    s->instances = L"x";
    s->withEnglish = false;
    ExpandCounterPath(ScriptedLibrary(), L"\\Network Interface()\\Bytes Total/sec", out,
                      ExpandedPathChars);
    EXPECT_STREQ(out, L"\\Network Interface()\\Bytes Total/sec");
}

TEST(SystemCounterLibrary, IsLoadedFromTheSystemFolder) {
    // A pdh.dll planted beside the program must not be the one that is used.
    wchar_t self[MAX_PATH], planted[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    lstrcpyW(planted, self);
    *(wcsrchr(planted, L'\\') + 1) = L'\0';
    lstrcatW(planted, L"pdh.dll");
    wchar_t fake[MAX_PATH];
    lstrcpyW(fake, self);
    *(wcsrchr(fake, L'\\') + 1) = L'\0';
    lstrcatW(fake, L"fake_pdh.dll");
    ASSERT_TRUE(CopyFileW(fake, planted, FALSE)) << "the test's planted library";

    const CounterLibrary* pdh = SystemCounterLibrary();
    HMODULE module = GetModuleHandleW(L"pdh.dll");
    ASSERT_NE(module, nullptr);
    wchar_t loaded[MAX_PATH], system[MAX_PATH];
    GetModuleFileNameW(module, loaded, MAX_PATH);
    UINT n = GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(CompareStringOrdinal(loaded, n, system, n, TRUE), CSTR_EQUAL) << loaded;

    PDH_HQUERY query = nullptr;
    EXPECT_EQ(pdh->OpenQuery(nullptr, 0, &query), static_cast<PDH_STATUS>(ERROR_SUCCESS))
        << "the planted library answers 0xE0E0E0E0";
    pdh->CloseQuery(query);
    DeleteFileW(planted);
}

TEST(SystemCounterLibrary, SamplesRealCounters) {
    const CounterLibrary* pdh = SystemCounterLibrary();
    PDH_HQUERY query = nullptr;
    ASSERT_EQ(pdh->OpenQuery(nullptr, 0, &query), static_cast<PDH_STATUS>(ERROR_SUCCESS));
    PDH_HCOUNTER cpu = nullptr, uptime = nullptr;
    ASSERT_EQ(pdh->AddCounter(query, CpuPath, 0, &cpu), static_cast<PDH_STATUS>(ERROR_SUCCESS));
    ASSERT_EQ(pdh->AddCounter(query, L"\\System\\System Up Time", 0, &uptime),
              static_cast<PDH_STATUS>(ERROR_SUCCESS));
    ASSERT_EQ(pdh->CollectQueryData(query), static_cast<PDH_STATUS>(ERROR_SUCCESS));
    CounterRun run = {};
    run.Counter = cpu;
    int64_t value = -1;
    ASSERT_TRUE(ReadCounter(pdh, &run, &value));
    EXPECT_GE(value, 0);
    EXPECT_LE(value, 100);

    run.Counter = uptime;
    int64_t first = 0, second = 0;
    ASSERT_TRUE(ReadCounter(pdh, &run, &first));
    Sleep(2100);
    ASSERT_EQ(pdh->CollectQueryData(query), static_cast<PDH_STATUS>(ERROR_SUCCESS));
    ASSERT_TRUE(ReadCounter(pdh, &run, &second));
    EXPECT_GE(second - first, 1) << first << " then " << second;
    pdh->RemoveCounter(cpu);
    pdh->RemoveCounter(uptime);
    pdh->CloseQuery(query);
}

} // namespace

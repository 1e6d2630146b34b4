// Alarm evaluation with the port's clock set by the test, the switching of the alarms, and
// the expansion of the alarm templates.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "alarm/alarm_eval.h"
#include "alarm/alarm_file.h"
#include "alarm/alarm_text.h"
#include "loaded_records.h"
#include "port/port_test.h"
#include "text/convert.h"

// The tests set the clock and the calendar, which only the host's port lets them do.
#ifndef _WIN32
namespace {

// Comparison codes of AlarmFlag bits 4-6.
constexpr uint32_t Equal = 0x10, AtLeast = 0x30, AtMost = 0x50, NotEqual = 0x60;
constexpr uint32_t Always = 0x70;

class Alarm : public testing::Test {
protected:
    void SetUp() override {
        slot = &loaded.records.Slot[0];
        slot->Runtime = &loaded.runs[0];
        loaded.runs[0].Counter = this;
        PortSetTickCount(0);
    }

    // Starts the alarm as the start of monitoring does, with flags, threshold and duration.
    void Start(uint32_t flags, int64_t border, uint32_t durationMs) {
        slot->AlarmFlag = AlarmUse | AlarmAtStart | flags;
        slot->AlarmBorder = border;
        slot->AlarmDuration = durationMs;
        uint32_t runFlag = 0;
        SwitchAlarms(3, &runFlag, slot, 1, nullptr);
        previous = 0;
    }

    // One sample at time ms; returns the result bits.
    int Sample(uint32_t ms, int64_t value) {
        PortSetTickCount(ms);
        int64_t threshold = 0;
        int result = 0;
        if (slot->Runtime->AlarmState & AlarmStateRunning)
            result = JudgeAlarm(slot, previous, value, &threshold);
        lastThreshold = threshold;
        previous = value;
        return result;
    }

    // The sample times (one per second from start) at which the alarm fired.
    std::vector<uint32_t> Firings(const std::vector<int64_t>& values, uint32_t start = 0) {
        std::vector<uint32_t> fired;
        for (size_t i = 0; i < values.size(); i++) {
            uint32_t t = start + static_cast<uint32_t>(i) * 1000;
            if (Sample(t, values[i]) & AlarmFired)
                fired.push_back(t - start);
        }
        return fired;
    }

    LoadedRecords loaded;
    CounterSlot* slot = nullptr;
    int64_t previous = 0;
    int64_t lastThreshold = 0;
};

using Times = std::vector<uint32_t>;

TEST_F(Alarm, FiresOnceAHoldHasLastedItsDuration) {
    Start(AtLeast, 80, 5000);
    EXPECT_EQ(Firings({85, 85, 85, 85, 85, 85, 85, 85, 70, 85, 85, 85, 85, 85, 85}),
              (Times{5000, 14000}));
    // A duration of 0 fires at the first sample that meets the condition.
    Start(AtLeast, 80, 0);
    EXPECT_EQ(Firings({10, 85, 90, 70, 81}), (Times{1000, 4000}));
}

TEST_F(Alarm, RepeatFiresEveryDurationWhileTheConditionHolds) {
    Start(AtLeast | AlarmRepeat, 80, 5000);
    EXPECT_EQ(Firings(std::vector<int64_t>(16, 85)), (Times{5000, 10000, 15000}));
    Start(AtLeast | AlarmRepeat, 80, 0);
    EXPECT_EQ(Firings({85, 85, 70, 85}), (Times{0, 1000, 3000}));
}

// Only the firings after the first of an unbroken hold are marked as repeats (their
// notification is quiet); a hold that broke off begins afresh.
TEST_F(Alarm, RepeatsOfAnUnbrokenHoldAreMarked) {
    struct Case {
        uint32_t flags;
        uint32_t duration;
        std::vector<int64_t> values;
        std::vector<int> again; // per firing, in order
    };
    const Case cases[] = {
        {AtLeast | AlarmRepeat, 0, {85, 85, 85, 70, 85, 85}, {0, 1, 1, 0, 1}},
        {AtLeast | AlarmRepeat, 2000, {85, 85, 85, 85, 85, 70, 85, 85, 85}, {0, 1, 0}},
        {Always | AlarmRepeat, 2000, {1, 2, 3, 4, 5}, {0, 1, 1}},
        {AtLeast | AlarmOnLeave, 0, {85, 85, 70}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags << " duration " << c.duration);
        Start(c.flags, 80, c.duration);
        std::vector<int> again;
        for (size_t i = 0; i < c.values.size(); i++) {
            int result = Sample(static_cast<uint32_t>(i) * 1000, c.values[i]);
            if (result & AlarmFired)
                again.push_back((result & AlarmFiredAgain) ? 1 : 0);
        }
        EXPECT_EQ(again, c.again);
    }
}

TEST_F(Alarm, LeavingAfterAFiringFiresOnceMore) {
    Start(AtLeast | AlarmOnLeave, 80, 5000);
    std::vector<int> results;
    for (int i = 0; i <= 6; i++)
        results.push_back(Sample(i * 1000, 85));
    EXPECT_EQ(results[5], 0x20 | AlarmFired);
    EXPECT_EQ(Sample(7000, 79), AlarmFiredOnLeave | AlarmFired);
    EXPECT_EQ(Sample(8000, 79), 0);
    // A hold that ends before it fired gives nothing on leaving.
    EXPECT_EQ(Firings({85, 85, 79, 79}, 9000), Times{});
}

TEST_F(Alarm, OffAfterFiringStopsTheAlarm) {
    Start(AtLeast | AlarmOffAfterFire, 80, 5000);
    EXPECT_EQ(Firings(std::vector<int64_t>(8, 85)), Times{5000});
    EXPECT_EQ(slot->Runtime->AlarmState, 0u) << "waiting: it must be started again";
}

TEST_F(Alarm, PreviousValueThresholdSkipsTheFirstSample) {
    Start(NotEqual | AlarmPrevThreshold, 0, 0);
    EXPECT_EQ(Sample(0, 50), 0) << "nothing to compare the first sample with";
    EXPECT_EQ(Sample(1000, 50), 0);
    EXPECT_EQ(Sample(2000, 51), 0x20 | AlarmFired);
    EXPECT_EQ(lastThreshold, 50);
    EXPECT_EQ(Sample(3000, 52), 0x20) << "still holding, already fired";
}

TEST_F(Alarm, AlwaysFiresAtItsFirstEvaluation) {
    Start(Always, 99, 0);
    EXPECT_EQ(Firings({1, 2, 3, 4}), Times{0});
    EXPECT_EQ(lastThreshold, 0) << "the always-comparison reports 0";
    Start(Always, 99, 2500);
    EXPECT_EQ(Firings({1, 2, 3, 4, 5, 6, 7}), (Times{0, 3000}));
    Start(Always | AlarmRepeat, 99, 2000);
    EXPECT_EQ(Firings({1, 2, 3, 4, 5}), (Times{0, 2000, 4000}));
}

TEST_F(Alarm, ComparisonsAreSigned) {
    Start(Equal, -5, 0);
    EXPECT_EQ(Firings({5, -5}), Times{1000});
    Start(AtMost, -1, 0);
    EXPECT_EQ(Firings({0, -2}), Times{1000});
    Start(AtLeast, INT64_MIN, 0);
    EXPECT_EQ(Firings({INT64_MIN}), Times{0});
    Start(0, 0, 0); // comparison code 0 never fires
    EXPECT_EQ(Firings({0, 1, -1}), Times{});
}

TEST_F(Alarm, DurationsStayRightAcrossTheTickCountWrap) {
    Start(AtLeast, 80, 5000);
    EXPECT_EQ(Firings(std::vector<int64_t>(7, 85), 0xFFFFF000u), Times{5000});
}

// After a sleep the hold begins again at the resume: the hours asleep do not count towards
// the duration, in either sense of the tick count's wrap.
TEST_F(Alarm, ARestartedHoldCountsItsDurationFromTheRestart) {
    for (uint32_t start : {0u, 0xFFFFF000u}) {
        SCOPED_TRACE(start);
        Start(AtLeast | AlarmRepeat, 80, 5000);
        EXPECT_EQ(Firings({85, 85}, start), Times{});
        // Asleep for an hour; the resume restarts the hold before the next sample.
        uint32_t resume = start + 3600000;
        RestartAlarmHolds(slot, 1, resume);
        EXPECT_EQ(Sample(resume + 1000, 85), 0x20) << "not at once";
        EXPECT_EQ(Sample(resume + 4000, 85), 0x20);
        EXPECT_EQ(Sample(resume + 5000, 85), 0x20 | AlarmFired);
        // A repeat waits a whole duration from a restart too.
        RestartAlarmHolds(slot, 1, resume + 7000);
        EXPECT_EQ(Sample(resume + 11000, 85), 0x20);
        EXPECT_EQ(Sample(resume + 12000, 85) & AlarmFired, AlarmFired);
    }
    // An alarm that is not holding keeps its state.
    Start(AtLeast, 80, 5000);
    Sample(0, 10);
    uint32_t before = slot->Runtime->AlarmState;
    RestartAlarmHolds(slot, 1, 99999);
    EXPECT_EQ(slot->Runtime->AlarmState, before);
    EXPECT_EQ(Firings({85, 85, 85, 85, 85, 85}, 100000), Times{5000});
}

TEST(AlarmSwitch, ALateCounterStartsItsAlarmAsTheStartWould) {
    LoadedRecords loaded;
    CounterSlot* slot = &loaded.records.Slot[1];
    slot->Runtime = &loaded.runs[1];
    loaded.runs[1].Counter = &loaded;
    loaded.runs[1].AlarmState = AlarmStateHolding; // left over from before
    uint32_t runFlag = 0x1;
    slot->AlarmFlag = AlarmUse | AlarmAtStart;
    StartLateAlarm(slot, &runFlag);
    EXPECT_EQ(loaded.runs[1].AlarmState, AlarmStateRunning | AlarmStateFirstPending);
    EXPECT_EQ(runFlag, 0xC01u);
    // Without the start bit it waits, armed; the other alarm's summary bits stay.
    slot->AlarmFlag = AlarmUse;
    StartLateAlarm(slot, &runFlag);
    EXPECT_EQ(loaded.runs[1].AlarmState, 0u);
    EXPECT_EQ(runFlag, 0xC01u) << "bits are only added";
    runFlag = 0x1;
    StartLateAlarm(slot, &runFlag);
    EXPECT_EQ(runFlag, 0x401u);
    // An alarm not in use stays off.
    runFlag = 0;
    slot->AlarmFlag = AlarmAtStart;
    StartLateAlarm(slot, &runFlag);
    EXPECT_EQ(runFlag, 0u);
}

TEST(AlarmSwitch, ModesStartAndStopAndSetTheSummary) {
    LoadedRecords loaded;
    CounterSlot* slots = loaded.records.Slot;
    for (int i = 0; i < 2; i++) {
        slots[i].Runtime = &loaded.runs[i];
        slots[i].AlarmFlag = AlarmUse;
    }
    loaded.runs[0].Counter = &loaded;
    loaded.runs[1].Counter = &loaded;
    slots[1].AlarmFlag |= AlarmAtStart;
    uint32_t runFlag = 0x1;
    bool stopped = true;

    // Monitoring starts: only the slot set to start with it runs.
    EXPECT_EQ(SwitchAlarms(3, &runFlag, slots, 2, &stopped), 0xC00u);
    EXPECT_FALSE(stopped);
    EXPECT_EQ(loaded.runs[0].AlarmState, 0u);
    EXPECT_EQ(loaded.runs[1].AlarmState, 3u);
    EXPECT_EQ(runFlag, 0xC01u);
    // The menu command while one runs stops all, and asks for the sound to stop.
    EXPECT_EQ(SwitchAlarms(-1, &runFlag, slots, 2, &stopped), 0x400u);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(loaded.runs[1].AlarmState, 0u);
    EXPECT_EQ(runFlag, 0x401u);
    // Again: every alarm in use starts, whatever its start bit.
    EXPECT_EQ(SwitchAlarms(-1, &runFlag, slots, 2, &stopped), 0xC00u);
    EXPECT_EQ(loaded.runs[0].AlarmState, 3u);
    EXPECT_EQ(loaded.runs[1].AlarmState, 3u);
    // Settings confirmed: the running ones start again fresh, waiting ones stay waiting.
    loaded.runs[0].AlarmState = AlarmStateRunning | AlarmStateHolding | AlarmStateFired;
    loaded.runs[1].AlarmState = 0;
    EXPECT_EQ(SwitchAlarms(2, &runFlag, slots, 2, &stopped), 0xC00u);
    EXPECT_EQ(loaded.runs[0].AlarmState, 3u);
    EXPECT_EQ(loaded.runs[1].AlarmState, 0u);
    // A slot without a counter is never started and not counted.
    loaded.runs[0].Counter = nullptr;
    loaded.runs[1].Counter = nullptr;
    EXPECT_EQ(SwitchAlarms(1, &runFlag, slots, 2, &stopped), 0u);
    EXPECT_EQ(runFlag, 0x1u);
    // Any other mode stops.
    loaded.runs[0].Counter = &loaded;
    SwitchAlarms(1, &runFlag, slots, 2, &stopped);
    EXPECT_EQ(SwitchAlarms(0, &runFlag, slots, 2, &stopped), 0x400u);
    EXPECT_TRUE(stopped);
}

class AlarmText : public testing::Test {
protected:
    void SetUp() override {
        slot = &loaded.records.Slot[0];
        CopyWideText(slot->Title, L"CPU ", TitleChars);
        CopyWideText(slot->Unit, L" %", UnitChars);
        PortTime at = {2010, 3, 3, 9, 5, 7, 45};
        PortSetLocalTime(&at);
    }
    std::wstring Expand(const wchar_t* text, int capacity = AlarmLogChars, int64_t value = 87,
                        int64_t threshold = 80) {
        std::vector<wchar_t> out(static_cast<size_t>(capacity) + 8, L'#');
        int n = ExpandAlarmText(text, out.data(), capacity, value, threshold, slot);
        EXPECT_EQ(out[static_cast<size_t>(n)], L'\0');
        EXPECT_LT(n, capacity);
        return std::wstring(out.data(), static_cast<size_t>(n));
    }
    LoadedRecords loaded;
    CounterSlot* slot = nullptr;
};

TEST_F(AlarmText, ExpandsFieldsAndEscapes) {
    EXPECT_EQ(Expand(L"%y/%M/%d %H:%m:%s.%S %t%v%u (>= %b)\\r\\n"),
              L"2010/03/03 09:05:07.045 CPU 87 % (>= 80)\r\n");
    struct Case {
        const wchar_t* text;
        const wchar_t* out;
    };
    const Case cases[] = {
        {L"%M-%m %S-%s", L"03-05 045-07"},
        {L"100%", L"100%"},
        {L"end\\", L"end\\"},
        {L"%% \\\\ \\x %q", L"% \\ \\x %q"},
        {L"%D %T", L"2010/03/03 9:05:07"},
        {L"a\\nb", L"a\nb"},
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Expand(c.text), c.out);
    EXPECT_EQ(Expand(L"%v %b", AlarmLogChars, -12, -3), L"-12 -3");
    unsigned beeps = PortBeepCount();
    EXPECT_EQ(Expand(L"a\\bb"), L"ab");
    EXPECT_EQ(PortBeepCount(), beeps + 1) << "the beep escape sounds and writes nothing";
    EXPECT_EQ(ExpandAlarmText(L"x", nullptr, 10, 0, 0, slot), 0);
    wchar_t out[4] = L"zzz";
    EXPECT_EQ(ExpandAlarmText(L"x", out, 4, 0, 0, nullptr), 0);
    EXPECT_EQ(out[0], L'\0');
}

TEST_F(AlarmText, CutsAtTheCapacity) {
    std::wstring filler(120, L'x');
    // 6 places left: a 5-place year fits, the month then needs 3 of the 2 left.
    EXPECT_EQ(Expand((filler + L"x%y%M").c_str()), filler + L"x2010");
    // A value keeps its leading digits, a title is cut.
    EXPECT_EQ(Expand((filler + L"%v").c_str(), AlarmLogChars, 1234567890), filler + L"12345");
    EXPECT_EQ(Expand((std::wstring(124, L'x') + L"%t").c_str()), std::wstring(124, L'x') + L"CP");
    // 259 places for a program's parameters.
    std::wstring longer(300, L'y');
    EXPECT_EQ(Expand(longer.c_str(), AlarmParameterChars), std::wstring(259, L'y'));
    EXPECT_EQ(Expand(longer.c_str()), std::wstring(127, L'y'));
}

} // namespace
#endif

namespace {

// An alarm's log, sound or file must be a file: a device would be written to, or opened, as
// Windows reads its name, whatever folder or extension it carries.
TEST(AlarmFile, NamesOfDevicesAreNoFiles) {
    const wchar_t* devices[] = {
        L"\\\\.\\PhysicalDrive0", L"//./PhysicalDrive0", L"\\\\?\\GLOBALROOT\\Device\\Null",
        L"\\??\\C:\\x.log",       L"\\\\?\\C:\\logs\\a.log", L"CON",
        L"nul",                   L"C:\\logs\\NUL.txt",     L"C:\\logs\\nul .txt",
        L"nul:",                  L"C:nul",                 L"aux.log.txt",
        L"COM1",                  L"lpt9.wav",              L"Com0",
        L"COM\u00b9",             L"LPT\u00b3.log",         L"conin$",
        L"D:/a/CONOUT$",          L"prn   ",
    };
    for (const wchar_t* path : devices) {
        SCOPED_TRACE(std::string(path, path + WideLength(path)));
        EXPECT_TRUE(IsDevicePath(path));
    }
    const wchar_t* files[] = {
        L"C:\\logs\\cpu.log",  L"\\\\server\\share\\alarm.wav", L"nullify.log", L"console.log",
        L"COM10",              L"LPT",                          L"C:\\con\\a.log",
        L"C:\\logs\\a nul.txt", L"x.nul",                      L"COMA",
        L"",                    L"\\\\.",                       nullptr,
    };
    for (const wchar_t* path : files) {
        SCOPED_TRACE(path ? std::string(path, path + WideLength(path)) : "<null>");
        EXPECT_FALSE(IsDevicePath(path));
    }
}

} // namespace

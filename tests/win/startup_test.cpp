// Start-up routines: the program name skipped on the command line, the settings argument,
// and the system version.
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "app/start_values.h"

namespace {

struct ArgumentCase {
    const wchar_t* commandLine;
    const wchar_t* argument;
};

class SettingsArgument : public testing::TestWithParam<ArgumentCase> {};

TEST_P(SettingsArgument, IsTheRestAfterTheProgramName) {
    EXPECT_EQ(std::wstring(FindSettingsArgument(GetParam().commandLine)),
              std::wstring(GetParam().argument));
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, SettingsArgument,
    testing::Values(ArgumentCase{L"ferrogauge.exe", L""},
                    ArgumentCase{L"ferrogauge.exe  D:\\my files\\set.ini",
                                 L"D:\\my files\\set.ini"},
                    ArgumentCase{L"\"C:\\Program Files\\fg\\ferrogauge.exe\" set.ini", L"set.ini"},
                    // No closing quote: the whole rest is the program name.
                    ArgumentCase{L"\"C:\\Program Files\\fg\\ferrogauge.exe set.ini", L""},
                    // Quotes around the argument stay, so it no longer ends in ".ini".
                    ArgumentCase{L"ferrogauge.exe \"D:\\a b\\set.ini\"", L"\"D:\\a b\\set.ini\""},
                    ArgumentCase{L"   ferrogauge.exe set.ini", L"set.ini"},
                    // A tab is no separator: it belongs to the program name, or to the argument.
                    ArgumentCase{L"ferrogauge.exe\tset.ini", L""},
                    ArgumentCase{L"ferrogauge.exe \tset.ini", L"\tset.ini"},
                    ArgumentCase{L"ferrogauge.exe set.ini  ", L"set.ini  "},
                    ArgumentCase{L"", L""}));

TEST(SettingsArgument, OfTheProcessIsAPointerIntoItsCommandLine) {
    const wchar_t* line = GetCommandLineW();
    const wchar_t* argument = GetSettingsArgument();
    ASSERT_NE(argument, nullptr);
    EXPECT_GE(argument, line);
    EXPECT_LE(argument, line + lstrlenW(line));
}

TEST(ProgramName, IsSkippedWithTheBlanksAndControlsAfterIt) {
    EXPECT_STREQ(SkipProgramName("ferrogauge.exe rest of it"), "rest of it");
    EXPECT_STREQ(SkipProgramName("\"C:\\a b\\ferrogauge.exe\"\t  rest"), "rest");
    EXPECT_STREQ(SkipProgramName("\"C:\\a b\\ferrogauge.exe"), "");
    EXPECT_STREQ(SkipProgramName("ferrogauge.exe"), "");
    EXPECT_STREQ(SkipProgramName(""), "");
}

TEST(OsVersion, IsReadAsTheMajorVersion) {
    uint32_t major = 0;
    ASSERT_EQ(ReadOsVersion(&major), 1);
    EXPECT_GE(major, 5u);
}

} // namespace

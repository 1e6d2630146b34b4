// The program's entry among the programs Windows starts when the user signs in: one value,
// named after the program, under the user's Run key, holding the command Windows runs.
#pragma once

#include <windows.h>

// What Windows will do with the entry at the next sign-in.
struct SignInEntry {
    bool Present;   // there is a value of the program's name
    bool Ours;      // its command starts the program at the path asked about
    bool TurnedOff; // the user turned the entry off in Task Manager or in Settings
};

// Reads the entry now (it is never kept: the user may change it in other tools at any time)
// and whether its command starts program.
SignInEntry ReadSignInEntry(const wchar_t* program);
// Whether command (as Windows runs it: a program path, quoted or not, then arguments) starts
// the program at program, compared as Windows compares file names.
bool CommandStartsProgram(const wchar_t* command, const wchar_t* program);
// The command for the entry: the program's path in double quotes, then the settings file's
// path in double quotes when there is one (null: the program finds its own). False when it
// does not fit in capacity characters.
bool SignInCommand(const wchar_t* program, const wchar_t* settingsFile, wchar_t* command,
                   int capacity);
// Writes the entry with the command for program and settingsFile; removes it when program is
// null. Returns ERROR_SUCCESS or the system's error code; removing an entry that is not there
// succeeds.
LONG WriteSignInEntry(const wchar_t* program, const wchar_t* settingsFile);

// The two system calls that put a saved file in the place of the old one, replaceable so that
// a test can give the answers Windows gives when a step fails halfway.
#pragma once

#include <windows.h>

// ReplaceFileW and MoveFileExW. A stand-in must answer as the documented calls do, including
// what each failure leaves on disk: ReplaceFileW's ERROR_UNABLE_TO_REMOVE_REPLACED and, with a
// backup name, ERROR_UNABLE_TO_MOVE_REPLACEMENT leave both files under their own names;
// ERROR_UNABLE_TO_MOVE_REPLACEMENT_2 leaves the old file under the backup name, the new one
// under its own, and nothing at the replaced name.
using ReplaceFileProc = BOOL(WINAPI*)(LPCWSTR replaced, LPCWSTR replacement, LPCWSTR backup,
                                      DWORD flags, LPVOID exclude, LPVOID reserved);
using MoveFileProc = BOOL(WINAPI*)(LPCWSTR from, LPCWSTR to, DWORD flags);

// Puts the given calls in for the system's; null puts the system's back.
void UseFileReplaceCalls(ReplaceFileProc replace, MoveFileProc move);

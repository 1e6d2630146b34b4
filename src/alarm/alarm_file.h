// Which files an alarm may use: a name that stands for a device is no file to open, play or
// write to.
#pragma once

// Whether path stands for a device rather than a file: a path in the device namespace
// ("\\.\PhysicalDrive0"), or in the Win32 file namespace or the NT one ("\\?\...", "\??\..."),
// which reach devices as well as files and are refused whole ("\\?\C:\a.log" too: a box of
// 259 characters has no need of them), with either kind of slash, or a name Windows keeps for a
// device in any folder: CON, PRN, AUX, NUL, COM0 to COM9 and LPT0 to LPT9 (and COM and LPT with
// a superscript 1, 2 or 3), CONIN$ and CONOUT$, in any letter case, with blanks after it and
// with any extension ("nul.txt"), as Windows reads them.
bool IsDevicePath(const wchar_t* path);

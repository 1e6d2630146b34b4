// The run flag: one word of bits for the run-time state of the graph window, kept by the
// window procedure and read by the menus, the window effects and the alarms.
#pragma once

#include <cstdint>

// RunFlag bits.
enum : uint32_t {
    Shown = 0x1,
    Topmost = 0x2,
    HoverActive = 0x4,
    HoverHidden = 0x8,
    LayAlpha = 0x10,
    LayColorKey = 0x20,
    LayClickThrough = 0x40,
    TrayIcon = 0x100,
    HotKey = 0x200,
    AlarmArmed = 0x400,
    AlarmRunning = 0x800,
    SettingsOpen = 0x1000,
    AppActive = 0x4000,
};

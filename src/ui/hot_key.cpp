// The show/hide hot key between the settings, the hot-key control and the user's words.
#include "ui/hot_key.h"

#include <commctrl.h>

#include "res/resource.h"
#include "settings/settings_model.h"
#include "ui/dialog_helpers.h"

namespace {

// RegisterHotKey's modifiers and the hot-key control's flags, pair by pair.
struct ModifierPair {
    uint32_t Mod;
    BYTE Flag;
};
constexpr ModifierPair Modifiers[] = {
    {MOD_ALT, HOTKEYF_ALT}, {MOD_CONTROL, HOTKEYF_CONTROL}, {MOD_SHIFT, HOTKEYF_SHIFT}};

constexpr uint32_t KeyBits = HotKeyVkMask | (HotKeyModMask << HotKeyModShift);

// The navigation keys, the numeric pad's slash, Num Lock and the Windows and menu keys share
// their scan codes with others and are told apart by the extended bit; the hot-key control and
// the key names need it to name them.
bool ExtendedKey(UINT key) {
    return (key >= VK_PRIOR && key <= VK_HELP) || key == VK_DIVIDE || key == VK_NUMLOCK ||
           (key >= VK_LWIN && key <= VK_APPS);
}

} // namespace

WORD HotKeyControlValue(uint32_t setting) {
    uint32_t mods = (setting >> HotKeyModShift) & HotKeyModMask;
    BYTE flags = ExtendedKey(setting & HotKeyVkMask) ? HOTKEYF_EXT : 0;
    for (const ModifierPair& pair : Modifiers) {
        if (mods & pair.Mod)
            flags |= pair.Flag;
    }
    return MAKEWORD(setting & HotKeyVkMask, flags);
}

uint32_t HotKeySetting(uint32_t old, WORD controlValue) {
    uint32_t key = LOBYTE(controlValue);
    uint32_t mods = 0;
    if (key) {
        // HOTKEYF_EXT only tells which of two keys of one code was pressed; the hot key is
        // registered by the code.
        for (const ModifierPair& pair : Modifiers) {
            if (HIBYTE(controlValue) & pair.Flag)
                mods |= pair.Mod;
        }
    }
    return (old & ~KeyBits) | (mods << HotKeyModShift) | key;
}

void HotKeyName(HINSTANCE instance, uint32_t setting, wchar_t* text, int capacity) {
    wchar_t names[128];
    wchar_t* name[7];
    if (LoadLines(instance, IDS_HOTKEY_NAMES, names, 128, name, 7) < 7) {
        for (wchar_t*& n : name)
            n = const_cast<wchar_t*>(L"");
    }
    uint32_t mods = (setting >> HotKeyModShift) & HotKeyModMask;
    UINT key = setting & HotKeyVkMask;
    wchar_t out[160] = L"";
    const uint32_t order[] = {MOD_WIN, MOD_CONTROL, MOD_ALT, MOD_SHIFT};
    for (int i = 0; i < 4; i++) {
        if (mods & order[i])
            lstrcatW(out, name[i]);
    }
    wchar_t keyName[64] = L"";
    UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    if (scan)
        GetKeyNameTextW(static_cast<LONG>((scan << 16) | (ExtendedKey(key) ? 1u << 24 : 0)),
                        keyName, 64);
    if (!keyName[0]) {
        if (key == VK_NONCONVERT) {
            lstrcpynW(keyName, name[4], 64);
        } else if (key == VK_CONVERT) {
            lstrcpynW(keyName, name[5], 64);
        } else {
            wchar_t code[8];
            wsprintfW(code, L"0x%02X", key);
            lstrcpynW(keyName, name[6], 64 - 5);
            lstrcatW(keyName, code);
        }
    }
    if (lstrlenW(out) + lstrlenW(keyName) < 160)
        lstrcatW(out, keyName);
    lstrcpynW(text, out, capacity);
}

UINT HotKeyModifiers(uint32_t setting) {
    return ((setting >> HotKeyModShift) & HotKeyModMask) | MOD_NOREPEAT;
}

bool RegisterHotKeySetting(HWND window, int id, uint32_t setting) {
    UINT mods = HotKeyModifiers(setting);
    UINT key = setting & HotKeyVkMask;
    return RegisterHotKey(window, id, mods, key) ||
           RegisterHotKey(window, id, mods & ~MOD_NOREPEAT, key);
}

bool HotKeyFree(HWND window, int id, uint32_t setting) {
    if (!RegisterHotKeySetting(window, id, setting))
        return false;
    UnregisterHotKey(window, id);
    return true;
}

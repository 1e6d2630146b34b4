// Translucency, see-through background and click-through, on the layered-window functions
// that are looked up at run time because older systems lack them.
#include "window/layered.h"

#include "window/run_flag.h"

namespace {

typedef BOOL(WINAPI* SetLayeredProc)(HWND, COLORREF, BYTE, DWORD);

// What the probe found, for the whole process. user32.dll is never freed: the program did
// not load it.
struct LayeredApi {
    HMODULE User32;
    SetLayeredProc SetLayered;
    uint32_t Caps;
};
LayeredApi TheLayeredApi;

} // namespace

uint32_t ProbeLayeredApi() {
    LayeredApi* api = &TheLayeredApi;
    if (api->User32)
        return api->Caps;
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32)
        return 0;
    struct Entry {
        const char* name;
        uint32_t bit;
    };
    const Entry entries[] = {{"SetLayeredWindowAttributes", CapSetLayered},
                             {"UpdateLayeredWindow", CapUpdateLayered},
                             {"AnimateWindow", CapAnimate},
                             {"GetLayeredWindowAttributes", CapGetLayered}};
    uint32_t caps = 0;
    for (const Entry& e : entries) {
        if (GetProcAddress(user32, e.name))
            caps |= e.bit;
    }
    if (!caps)
        return 0; // probed again next time
    api->User32 = user32;
    api->SetLayered = reinterpret_cast<SetLayeredProc>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetLayeredWindowAttributes")));
    api->Caps = caps;
    return caps;
}

int ReleaseLayeredApi() {
    TheLayeredApi = {};
    return 1;
}

BOOL ApplyLayered(HWND window, COLORREF colorKey, BYTE alpha, DWORD flags) {
    ProbeLayeredApi();
    const LayeredApi* api = &TheLayeredApi;
    if (!api->User32 || !api->SetLayered)
        return 0;
    LONG style = GetWindowLongW(window, GWL_EXSTYLE);
    if (flags == 0) {
        if (style & WS_EX_LAYERED) {
            SetWindowLongW(window, GWL_EXSTYLE, style & ~WS_EX_LAYERED);
            RedrawWindow(window, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        }
        return 1;
    }
    if (!(style & WS_EX_LAYERED))
        SetWindowLongW(window, GWL_EXSTYLE, style | WS_EX_LAYERED);
    return api->SetLayered(window, colorKey, alpha, flags);
}

BYTE AlphaOfPercent(uint32_t percent) {
    return static_cast<BYTE>((percent & 0x7F) * 255 / 100);
}

uint32_t ApplyWindowEffects(HWND window, const MainSettings* main) {
    DWORD flags = 0;
    BYTE alpha = 255;
    uint32_t result = 0;
    if (main->Prop & PropTranslucent) {
        flags |= LWA_ALPHA;
        alpha = AlphaOfPercent(main->WndAlpha & 0xFFFF);
        result |= LayAlpha;
    }
    if (main->Prop & PropClearBack) {
        flags |= LWA_COLORKEY;
        result |= LayColorKey;
    }
    LONG style = GetWindowLongW(window, GWL_EXSTYLE);
    // While the hover action is on, clicks pass through only during hovering.
    if ((main->Prop & PropClickThrough) && !(main->Prop & PropHoverOn)) {
        SetWindowLongW(window, GWL_EXSTYLE, style | WS_EX_TRANSPARENT);
        flags |= LWA_ALPHA;
        result |= LayClickThrough;
    } else {
        SetWindowLongW(window, GWL_EXSTYLE, style & ~WS_EX_TRANSPARENT);
    }
    ApplyLayered(window, main->ColWndLay, alpha, flags);
    return result;
}

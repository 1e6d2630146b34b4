// The system's counter library: pdh.dll from the system folder, looked up at run time.
#include "counters/counter_library.h"

#include "port/system_library.h"

namespace {

// Answers for a missing library or a missing entry point.
PDH_STATUS WINAPI NoOpenQuery(LPCWSTR, DWORD_PTR, PDH_HQUERY* query) {
    *query = nullptr;
    return PDH_CSTATUS_NO_MACHINE;
}
PDH_STATUS WINAPI NoAddCounter(PDH_HQUERY, LPCWSTR, DWORD_PTR, PDH_HCOUNTER* counter) {
    *counter = nullptr;
    return PDH_CSTATUS_NO_COUNTER;
}
PDH_STATUS WINAPI NoCollect(PDH_HQUERY) { return PDH_NO_DATA; }
PDH_STATUS WINAPI NoValue(PDH_HCOUNTER, DWORD, LPDWORD, PPDH_FMT_COUNTERVALUE) {
    return PDH_INVALID_HANDLE;
}
PDH_STATUS WINAPI NoRemove(PDH_HCOUNTER) { return PDH_INVALID_HANDLE; }
PDH_STATUS WINAPI NoClose(PDH_HQUERY) { return PDH_INVALID_HANDLE; }
PDH_STATUS WINAPI NoEnum(LPCWSTR, LPCWSTR, LPCWSTR, LPWSTR, LPDWORD, LPWSTR, LPDWORD, DWORD,
                         DWORD) {
    return PDH_CSTATUS_NO_OBJECT;
}
PDH_STATUS WINAPI NoBrowse(PPDH_BROWSE_DLG_CONFIG_W) { return PDH_DIALOG_CANCELLED; }
PDH_STATUS WINAPI NoInfo(PDH_HCOUNTER, BOOLEAN, LPDWORD, PPDH_COUNTER_INFO_W) {
    return PDH_INVALID_HANDLE;
}

template <typename Function> void Resolve(HMODULE module, const char* name, Function* entry) {
    FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    if (found)
        *entry = reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

} // namespace

const CounterLibrary* SystemCounterLibrary() {
    static CounterLibrary library;
    static bool loaded;
    if (!loaded) {
        loaded = true;
        library = {NoOpenQuery, NoAddCounter, nullptr, NoCollect, NoValue,
                   NoRemove,    NoClose,      NoEnum,  NoBrowse,
                   NoInfo};
        // Kept loaded for the life of the process, like a static import would be.
        HMODULE pdh = LoadSystemLibrary(L"pdh.dll");
        Resolve(pdh, "PdhOpenQueryW", &library.OpenQuery);
        Resolve(pdh, "PdhAddCounterW", &library.AddCounter);
        Resolve(pdh, "PdhAddEnglishCounterW", &library.AddEnglishCounter);
        Resolve(pdh, "PdhCollectQueryData", &library.CollectQueryData);
        Resolve(pdh, "PdhGetFormattedCounterValue", &library.GetFormattedCounterValue);
        Resolve(pdh, "PdhRemoveCounter", &library.RemoveCounter);
        Resolve(pdh, "PdhCloseQuery", &library.CloseQuery);
        Resolve(pdh, "PdhEnumObjectItemsW", &library.EnumObjectItems);
        Resolve(pdh, "PdhBrowseCountersW", &library.BrowseCounters);
        Resolve(pdh, "PdhGetCounterInfoW", &library.GetCounterInfo);
    }
    return &library;
}

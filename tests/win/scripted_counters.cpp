// A counter library of the tests' own making.
#include "scripted_counters.h"

namespace {

ScriptedCounters script;
int queryToken;

PDH_STATUS WINAPI OpenQuery(LPCWSTR, DWORD_PTR, PDH_HQUERY* query) {
    script.opens++;
    *query = script.openStatus == ERROR_SUCCESS ? &queryToken : nullptr;
    return script.openStatus;
}

PDH_STATUS Add(LPCWSTR path, PDH_HCOUNTER* counter, bool english) {
    (english ? script.addedEnglish : script.added).push_back(path);
    *counter = nullptr;
    for (ScriptedPath& p : script.paths) {
        if (p.path != path)
            continue;
        PDH_STATUS status = english ? p.englishStatus : p.addStatus;
        if (status == ERROR_SUCCESS)
            *counter = &p;
        return status;
    }
    return PDH_CSTATUS_NO_COUNTER;
}

PDH_STATUS WINAPI AddCounter(PDH_HQUERY, LPCWSTR path, DWORD_PTR, PDH_HCOUNTER* counter) {
    return Add(path, counter, false);
}

PDH_STATUS WINAPI AddEnglishCounter(PDH_HQUERY, LPCWSTR path, DWORD_PTR, PDH_HCOUNTER* counter) {
    return Add(path, counter, true);
}

PDH_STATUS WINAPI Collect(PDH_HQUERY) {
    size_t i = static_cast<size_t>(script.collects++);
    const std::vector<PDH_STATUS>& s = script.collectStatus;
    return s[i < s.size() ? i : s.size() - 1];
}

PDH_STATUS WINAPI Value(PDH_HCOUNTER counter, DWORD format, LPDWORD, PPDH_FMT_COUNTERVALUE v) {
    ScriptedPath* p = static_cast<ScriptedPath*>(counter);
    if (format != PDH_FMT_LARGE)
        return PDH_INVALID_ARGUMENT;
    size_t i = p->nextReading < p->readings.size() ? p->nextReading++ : p->readings.size() - 1;
    v->CStatus = 0;
    v->largeValue = p->readings[i].value;
    return p->readings[i].status;
}

PDH_STATUS WINAPI Remove(PDH_HCOUNTER) {
    script.removes++;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI Close(PDH_HQUERY) {
    script.closes++;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI Enum(LPCWSTR, LPCWSTR machine, LPCWSTR object, LPWSTR, LPDWORD, LPWSTR list,
                       LPDWORD listLength, DWORD, DWORD) {
    script.enumMachineGiven = machine != nullptr;
    script.enumMachine = machine ? machine : L"";
    script.enumObject = object ? object : L"";
    if (script.enumStatus != ERROR_SUCCESS)
        return script.enumStatus;
    DWORD need = static_cast<DWORD>(script.instances.size()) + 1;
    if (!list || *listLength < need) {
        *listLength = need;
        return PDH_MORE_DATA;
    }
    for (size_t i = 0; i < script.instances.size(); i++)
        list[i] = script.instances[i];
    list[need - 1] = L'\0';
    *listLength = need;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI Browse(PPDH_BROWSE_DLG_CONFIG_W) {
    return PDH_DIALOG_CANCELLED;
}

CounterLibrary library;

} // namespace

ScriptedCounters* ResetScript() {
    script = ScriptedCounters();
    return &script;
}

const CounterLibrary* ScriptedLibrary() {
    library = {OpenQuery, AddCounter, script.withEnglish ? AddEnglishCounter : nullptr,
               Collect,   Value,      Remove,
               Close,     Enum,       Browse};
    return &library;
}

ScriptedPath FixedPath(const wchar_t* path, int64_t value) {
    ScriptedPath p;
    p.path = path;
    p.readings = {{ERROR_SUCCESS, value}};
    return p;
}

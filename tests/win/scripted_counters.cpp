// A counter library of the tests' own making.
#include "scripted_counters.h"

namespace {

ScriptedCounters script;
int queryToken;

// The counter that an English path with a wildcard instance stands for.
struct WildcardCounter {
    std::wstring localPath;
} wildcard;

PDH_STATUS WINAPI OpenQuery(LPCWSTR, DWORD_PTR, PDH_HQUERY* query) {
    script.opens++;
    *query = script.openStatus == ERROR_SUCCESS ? &queryToken : nullptr;
    if (*query)
        script.openQueries++;
    return script.openStatus;
}

// "\\m\Object(*)\c" named with the local object, when the script has one and path names
// the English object of a scripted path with "(*)".
bool LocalWildcardPath(const std::wstring& path, std::wstring* local) {
    size_t star = path.find(L"(*)");
    if (script.localObject.empty() || star == std::wstring::npos)
        return false;
    size_t objectStart = path.rfind(L'\\', star) + 1;
    std::wstring object = path.substr(objectStart, star - objectStart);
    for (const ScriptedPath& p : script.paths) {
        if (p.path.find(L"\\" + object + L"(") == std::wstring::npos)
            continue;
        *local = L"\\\\HOST\\" + script.localObject + path.substr(star);
        return true;
    }
    return false;
}

PDH_STATUS Add(LPCWSTR path, PDH_HCOUNTER* counter, bool english) {
    (english ? script.addedEnglish : script.added).push_back(path);
    *counter = nullptr;
    if (english && LocalWildcardPath(path, &wildcard.localPath)) {
        *counter = &wildcard;
        return ERROR_SUCCESS;
    }
    for (ScriptedPath& p : script.paths) {
        if (p.path != path)
            continue;
        PDH_STATUS status = english ? p.englishStatus : p.addStatus;
        if (status == ERROR_SUCCESS) {
            *counter = &p;
            p.collectsAtAdd = script.collects;
        }
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
    if (!p || counter == &wildcard)
        return PDH_INVALID_HANDLE;
    if (!v || !(format & (PDH_FMT_LONG | PDH_FMT_DOUBLE | PDH_FMT_LARGE)))
        return PDH_INVALID_ARGUMENT;
    if (p->rate && script.collects - p->collectsAtAdd < 2) {
        v->CStatus = PDH_CSTATUS_INVALID_DATA;
        return PDH_INVALID_DATA;
    }
    size_t i = p->nextReading < p->readings.size() ? p->nextReading++ : p->readings.size() - 1;
    PDH_STATUS status = p->readings[i].status;
    // A failed read names its reason in the counter status; a good one says valid.
    v->CStatus = status == ERROR_SUCCESS ? PDH_CSTATUS_VALID_DATA : PDH_CSTATUS_INVALID_DATA;
    if (p->readings[i].cstatus != ScriptedReading::DefaultCStatus)
        v->CStatus = p->readings[i].cstatus;
    if (format & PDH_FMT_LARGE)
        v->largeValue = p->readings[i].value;
    else if (format & PDH_FMT_DOUBLE)
        v->doubleValue = static_cast<double>(p->readings[i].value);
    else
        v->longValue = static_cast<LONG>(p->readings[i].value);
    return status;
}

PDH_STATUS WINAPI Remove(PDH_HCOUNTER) {
    script.removes++;
    return ERROR_SUCCESS;
}

PDH_STATUS WINAPI Close(PDH_HQUERY) {
    script.closes++;
    script.openQueries--;
    return ERROR_SUCCESS;
}

// Writes a multi-string of need characters when capacity holds it; false when it does not.
bool PutList(const std::wstring& names, DWORD need, LPWSTR list, DWORD capacity) {
    if (capacity < need)
        return false;
    for (size_t i = 0; i < names.size(); i++)
        list[i] = names[i];
    for (size_t i = names.size(); i < need; i++)
        list[i] = L'\0';
    return true;
}

PDH_STATUS WINAPI Enum(LPCWSTR, LPCWSTR machine, LPCWSTR object, LPWSTR counterList,
                       LPDWORD counterLength, LPWSTR instanceList, LPDWORD instanceLength, DWORD,
                       DWORD) {
    script.enumMachineGiven = machine != nullptr;
    script.enumMachine = machine ? machine : L"";
    script.enumObject = object ? object : L"";
    script.enumObjects.push_back(script.enumObject);
    if (script.enumStatus != ERROR_SUCCESS)
        return script.enumStatus;
    if (!script.localObject.empty() && script.enumObject != script.localObject)
        return PDH_CSTATUS_NO_OBJECT;
    // "a\0b" needs "a\0b\0\0"; an empty list of an object with instances is "\0\0", and an
    // object without instances lists none.
    DWORD counterNeed = static_cast<DWORD>(script.counterNames.size()) + 1;
    DWORD instanceNeed = script.objectHasInstances
                             ? static_cast<DWORD>(script.instances.size()) + 2
                             : 0;
    bool counterFits = counterList && PutList(script.counterNames, counterNeed, counterList,
                                              *counterLength);
    bool instanceFits = instanceNeed == 0 ||
                        (instanceList && PutList(script.instances, instanceNeed, instanceList,
                                                 *instanceLength));
    // The needed lengths are reported for lengths of zero; a short length is left as it was.
    if (*counterLength == 0 || counterFits)
        *counterLength = counterNeed;
    if (*instanceLength == 0 || instanceFits)
        *instanceLength = instanceNeed;
    if (!script.growBy.empty()) {
        script.instances += std::wstring(1, L'\0') + script.growBy;
        script.growBy.clear();
    }
    return counterFits && instanceFits ? ERROR_SUCCESS : PDH_MORE_DATA;
}

PDH_STATUS WINAPI CounterInfo(PDH_HCOUNTER counter, BOOLEAN, LPDWORD bytes,
                              PPDH_COUNTER_INFO_W info) {
    if (counter != &wildcard)
        return PDH_INVALID_HANDLE; // the scripted paths' descriptions are not needed
    const std::wstring& path = wildcard.localPath;
    DWORD need = static_cast<DWORD>(sizeof(PDH_COUNTER_INFO_W) + (path.size() + 1) * 2);
    if (!bytes)
        return PDH_INVALID_ARGUMENT;
    if (!info || *bytes < need) {
        *bytes = need;
        return PDH_MORE_DATA;
    }
    ZeroMemory(info, need);
    info->dwLength = need;
    info->szFullPath = reinterpret_cast<LPWSTR>(info + 1);
    for (size_t i = 0; i <= path.size(); i++)
        info->szFullPath[i] = path.c_str()[i];
    *bytes = need;
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
               Close,     Enum,       Browse,
               CounterInfo};
    return &library;
}

ScriptedPath FixedPath(const wchar_t* path, int64_t value) {
    ScriptedPath p;
    p.path = path;
    p.readings = {{ERROR_SUCCESS, value}};
    // Processor time and the per-second counters are rates on Windows.
    p.rate = p.path.find(L"% Processor Time") != std::wstring::npos ||
             p.path.find(L"/sec") != std::wstring::npos;
    return p;
}

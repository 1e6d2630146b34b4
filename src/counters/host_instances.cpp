// The host's instance lists: counter and instance names written as multi-strings.
#include "counters/host_instances.h"

#include "counters/host_files.h"
#include "counters/host_paths.h"
#include "counters/proc_figures.h"

namespace {

constexpr int MaxCpus = 1024;

// A multi-string written into a caller's buffer as far as it goes, its full length counted.
struct MultiString {
    wchar_t* Buffer;
    DWORD Capacity;
    DWORD Needed;
};

void AddName(MultiString* list, const wchar_t* name) {
    for (const wchar_t* p = name;; p++) {
        if (list->Buffer && list->Needed < list->Capacity)
            list->Buffer[list->Needed] = *p;
        list->Needed++;
        if (!*p)
            break;
    }
}

void AddUtf8Name(MultiString* list, const char* name) {
    wchar_t wide[InterfaceChars];
    int n = MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, InterfaceChars);
    if (n > 0)
        AddName(list, wide);
}

// Ends a list that holds names with its second terminator; an empty list stays empty.
void EndList(MultiString* list) {
    if (list->Needed == 0)
        return;
    if (list->Buffer && list->Needed < list->Capacity)
        list->Buffer[list->Needed] = L'\0';
    list->Needed++;
}

void ListInstances(HostFile file, const char* text, size_t length, MultiString* list) {
    switch (file) {
    case FileStat: {
        static int numbers[MaxCpus];
        int count = ListCpus(text, length, numbers, MaxCpus);
        for (int i = 0; i < count; i++) {
            wchar_t name[16];
            wsprintfW(name, L"%d", numbers[i]);
            AddName(list, name);
        }
        AddName(list, TotalInstance);
        break;
    }
    case FileNetDev:
        // Interfaces that have carried traffic first, so that "()" finds a working one.
        for (int pass = 0; pass < 2; pass++) {
            size_t position = 0;
            char name[InterfaceChars];
            NetBytes bytes;
            while (NextNetInterface(text, length, &position, name, InterfaceChars, &bytes)) {
                bool busy = bytes.Received != 0 || bytes.Sent != 0;
                if (!IsLoopbackInterface(name) && busy == (pass == 0))
                    AddUtf8Name(list, name);
            }
        }
        break;
    case FileDiskStats:
        AddName(list, TotalInstance);
        break;
    default:
        break;
    }
}

} // namespace

PDH_STATUS WINAPI HostEnumObjectItems(LPCWSTR dataSource, LPCWSTR machine, LPCWSTR object,
                                      LPWSTR counterList, LPDWORD counterListLength,
                                      LPWSTR instanceList, LPDWORD instanceListLength,
                                      DWORD detailLevel, DWORD flags) {
    auto passOn = [&] {
        return TheHostSource.Inner->EnumObjectItems(dataSource, machine, object, counterList,
                                                    counterListLength, instanceList,
                                                    instanceListLength, detailLevel, flags);
    };
    if ((dataSource && dataSource[0]) || (machine && machine[0]) || !object || !counterListLength ||
        !instanceListLength)
        return passOn();
    const KnownCounter* first = nullptr;
    for (const KnownCounter& k : KnownCounters) {
        if (SameCounterName(object, -1, k.Object)) {
            first = &k;
            break;
        }
    }
    long length = first ? ReadHostFile(first->File) : -1;
    if (length < 0)
        return passOn();

    MultiString counters = {counterList, counterList ? *counterListLength : 0, 0};
    MultiString instances = {instanceList, instanceList ? *instanceListLength : 0, 0};
    for (const KnownCounter& k : KnownCounters) {
        if (SameCounterName(object, -1, k.Object))
            AddName(&counters, k.Counter);
    }
    EndList(&counters);
    ListInstances(first->File, HostText, static_cast<size_t>(length), &instances);
    // An object with instances but none now lists an empty multi-string, one without
    // instances lists nothing.
    if (first->Rule != InstanceRule::None && instances.Needed == 0)
        AddName(&instances, L"");
    EndList(&instances);

    // Both lists must have room, as Windows wants; a null list has none.
    bool tooSmall = counters.Needed > counters.Capacity || instances.Needed > instances.Capacity;
    *counterListLength = counters.Needed;
    *instanceListLength = instances.Needed;
    return tooSmall ? PDH_MORE_DATA : ERROR_SUCCESS;
}

// Counter paths: the empty-instance expansion, with the instance list reached through a callback.
#include "counters/counter_path.h"

#include "text/convert.h"

void SplitCounterPath(const wchar_t* path, CounterPathParts* parts) {
    // The object part follows the leading backslashes, and a machine name after two.
    int p = 0;
    while (path[p] == L'\\')
        p++;
    parts->machineEnd = 0;
    if (p >= 2) {
        while (path[p] && path[p] != L'\\')
            p++;
        parts->machineEnd = p;
        if (path[p] == L'\\')
            p++;
    }
    parts->objectStart = p;
    parts->open = -1;
    while (path[p] && path[p] != L'\\') {
        if (path[p] == L'(')
            parts->open = p;
        p++;
    }
    parts->objectEnd = p;
}

int ExpandEmptyInstance(const wchar_t* path, AppendFirstInstanceFn appendFirst, void* context,
                        wchar_t* output, int capacity) {
    if (!path || !output || capacity < 1)
        return 0;

    CounterPathParts parts;
    SplitCounterPath(path, &parts);
    int objectStart = parts.objectStart;
    int open = parts.open;
    int machineEnd = parts.machineEnd;
    int objectLength = open - objectStart;
    if (open < 0 || path[open + 1] != L')' || objectLength >= CounterObjectChars) {
        // Nothing to expand (or an object name too long for the list query): use it as is.
        output[0] = L'\0';
        return CopyWideText(output, path, capacity);
    }
    int close = open + 1;
    if (close + 1 >= capacity)
        return 0;
    int length = AppendWideText(output, 0, capacity, path, close);

    wchar_t object[CounterObjectChars];
    object[0] = L'\0';
    AppendWideText(object, 0, CounterObjectChars, path + objectStart, objectLength);
    // A path on another machine asks that machine for its instances.
    wchar_t machine[CounterPathChars];
    machine[0] = L'\0';
    if (machineEnd > 0)
        AppendWideText(machine, 0, CounterPathChars, path, machineEnd);
    if (!appendFirst(context, machineEnd > 0 ? machine : nullptr, object, output, &length,
                     capacity))
        return length;
    return AppendWideText(output, length, capacity, path + close, CounterPathChars);
}

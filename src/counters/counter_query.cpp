// The one counter query, the graphs' counters in it, and the empty-instance expansion.
#include "counters/counter_query.h"

#include "res/resource.h"
#include "res/version.h"
#include "text/convert.h"

namespace {

// The library's statuses as PDH_STATUS values (pdhmsg.h spells them as DWORDs).
constexpr PDH_STATUS MoreData = static_cast<PDH_STATUS>(PDH_MORE_DATA);
constexpr PDH_STATUS NoObject = static_cast<PDH_STATUS>(PDH_CSTATUS_NO_OBJECT);
constexpr PDH_STATUS NoMemory = static_cast<PDH_STATUS>(PDH_MEMORY_ALLOCATION_FAILURE);

// The instance list of object on machine (null: this computer), in a new heap block the caller
// frees; *list is null when the object has no instances. PdhEnumObjectItemsW answers
// PDH_MORE_DATA and each list's length when the lengths are zero, and wants room for both
// lists; a list that grows between the calls answers PDH_MORE_DATA again, with lengths that
// are not to be relied on, so the lengths are asked again.
PDH_STATUS ReadInstanceList(const CounterLibrary* pdh, const wchar_t* machine,
                            const wchar_t* object, wchar_t** list, DWORD* listLength) {
    *list = nullptr;
    *listLength = 0;
    PDH_STATUS status = MoreData;
    for (int attempt = 0; attempt < 3 && status == MoreData; attempt++) {
        DWORD counterLength = 0;
        DWORD instanceLength = 0;
        status = pdh->EnumObjectItems(nullptr, machine, object, nullptr, &counterLength, nullptr,
                                      &instanceLength, PERF_DETAIL_WIZARD, 0);
        if (status != MoreData && status != ERROR_SUCCESS)
            return status;
        if (instanceLength == 0)
            return ERROR_SUCCESS; // an object without instances
        // One block for both lists, with a terminator after the instances in any case.
        SIZE_T chars = static_cast<SIZE_T>(counterLength) + instanceLength + 1;
        wchar_t* block = static_cast<wchar_t*>(
            HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, chars * sizeof(wchar_t)));
        if (!block)
            return NoMemory;
        wchar_t* instances = block + counterLength;
        status = pdh->EnumObjectItems(nullptr, machine, object, block, &counterLength, instances,
                                      &instanceLength, PERF_DETAIL_WIZARD, 0);
        if (status == ERROR_SUCCESS) {
            // Kept whole: the instance list moves to the block's start.
            MoveMemory(block, instances, instanceLength * sizeof(wchar_t));
            block[instanceLength] = L'\0';
            *list = block;
            *listLength = instanceLength;
            return ERROR_SUCCESS;
        }
        HeapFree(GetProcessHeap(), 0, block);
    }
    return status;
}

// The localised name of the object of an English path whose empty instance "()" closes at
// index close, into object: the library lists instances by localised names only. The path is
// added with its English names and a wildcard instance "(*)", and the library's own path of
// that counter names the object. False when it cannot be had.
bool LocalisedObject(const CounterLibrary* pdh, const wchar_t* path, int close, wchar_t* object) {
    if (!pdh->AddEnglishCounter || !pdh->GetCounterInfo)
        return false;
    // The path with its '*': one character more than a path may have, and one to tell a
    // path that was cut.
    constexpr int WildcardChars = CounterPathChars + 2;
    wchar_t wildcard[WildcardChars];
    int length = AppendWideText(wildcard, 0, WildcardChars, path, close);
    length = AppendWideText(wildcard, length, WildcardChars, L"*", 1);
    if (AppendWideText(wildcard, length, WildcardChars, path + close, WildcardChars) >
        CounterPathChars)
        return false; // cut: not the counter asked for

    bool found = false;
    PDH_HQUERY query = nullptr;
    if (pdh->OpenQuery(nullptr, 0, &query) != ERROR_SUCCESS || !query)
        return false;
    PDH_HCOUNTER counter = nullptr;
    DWORD bytes = 0;
    if (pdh->AddEnglishCounter(query, wildcard, 0, &counter) == ERROR_SUCCESS &&
        pdh->GetCounterInfo(counter, FALSE, &bytes, nullptr) == MoreData && bytes > 0) {
        auto* info = static_cast<PDH_COUNTER_INFO_W*>(HeapAlloc(GetProcessHeap(), 0, bytes));
        if (info && pdh->GetCounterInfo(counter, FALSE, &bytes, info) == ERROR_SUCCESS &&
            info->szFullPath) {
            CounterPathParts parts;
            SplitCounterPath(info->szFullPath, &parts);
            int end = parts.open >= 0 ? parts.open : parts.objectEnd;
            int chars = end - parts.objectStart;
            if (chars > 0 && chars < CounterObjectChars) {
                AppendWideText(object, 0, CounterObjectChars, info->szFullPath + parts.objectStart,
                               chars);
                found = true;
            }
        }
        if (info)
            HeapFree(GetProcessHeap(), 0, info);
    }
    // Closing the query removes its counter.
    pdh->CloseQuery(query);
    return found;
}

struct ExpandContext {
    const CounterLibrary* pdh;
    const wchar_t* path;
};

// The expansion's instance callback; output holds the path up to and with the instance's "(".
bool AppendFirstInstance(void* context, const wchar_t* machine, const wchar_t* object,
                         wchar_t* output, int* length, int capacity) {
    const ExpandContext* expand = static_cast<const ExpandContext*>(context);
    const CounterLibrary* pdh = expand->pdh;
    wchar_t* list = nullptr;
    DWORD listLength = 0;
    PDH_STATUS status = ReadInstanceList(pdh, machine, object, &list, &listLength);
    wchar_t localised[CounterObjectChars];
    if (status == NoObject && LocalisedObject(pdh, expand->path, *length, localised))
        status = ReadInstanceList(pdh, machine, localised, &list, &listLength);
    if (status == NoMemory)
        return false;
    if (list) {
        *length = AppendWideText(output, *length, capacity, list, static_cast<int>(listLength));
        HeapFree(GetProcessHeap(), 0, list);
    }
    return true;
}

} // namespace

int ExpandCounterPath(const CounterLibrary* pdh, const wchar_t* path, wchar_t* output,
                      int capacity) {
    ExpandContext context = {pdh, path};
    return ExpandEmptyInstance(path, AppendFirstInstance, &context, output, capacity);
}

namespace {

// Tells the user string id of instance in a message box over window; fallback when the string
// is missing.
void ShowMessage(HINSTANCE instance, HWND window, UINT id, const wchar_t* fallback) {
    // Room for the messages in every language the program has (English is the longest).
    constexpr int Chars = 512;
    wchar_t text[Chars];
    if (LoadStringW(instance, id, text, Chars) <= 0)
        CopyWideText(text, fallback, Chars);
    MessageBoxW(window, text, ProgramTitle, MB_OK);
}

} // namespace

PDH_HQUERY OpenCounterQuery(const CounterLibrary* pdh, HWND window) {
    PDH_HQUERY query = nullptr;
    if (pdh->OpenQuery(nullptr, 0, &query) != ERROR_SUCCESS || !query) {
        ShowMessage(GetModuleHandleW(nullptr), window, IDS_QUERY_ERROR, L"PdhOpenQuery() Error");
        return nullptr;
    }
    return query;
}

void ShowCounterError(HINSTANCE instance, HWND window, const CounterSlot* first) {
    // Without its use flag graph 1 gets no counter: that is no fault of the path.
    UINT id = first && !(first->PdhFlag & PdhUse) ? IDS_COUNTER_OFF : IDS_COUNTER_ERROR;
    ShowMessage(instance, window, id, L"");
}

PDH_HCOUNTER AddSlotCounter(const CounterLibrary* pdh, PDH_HQUERY query, const CounterSlot* slot) {
    if (!(slot->PdhFlag & PdhUse))
        return nullptr;
    wchar_t path[ExpandedPathChars];
    ExpandCounterPath(pdh, slot->Path, path, ExpandedPathChars);
    PDH_HCOUNTER counter = nullptr;
    PDH_STATUS status = pdh->AddCounter(query, path, 0, &counter);
    // Counter names are translated on non-English systems, where the default English
    // paths fail; try them as English names before giving up.
    if (status != ERROR_SUCCESS && pdh->AddEnglishCounter)
        status = pdh->AddEnglishCounter(query, path, 0, &counter);
    return status == ERROR_SUCCESS ? counter : nullptr;
}

bool AddGraphCounter(const CounterLibrary* pdh, PDH_HQUERY query, const CounterSlot* slot,
                     CounterRun* run) {
    run->Counter = AddSlotCounter(pdh, query, slot);
    return run->Counter != nullptr;
}

void RemoveGraphCounter(const CounterLibrary* pdh, CounterRun* run) {
    if (run->Counter) {
        pdh->RemoveCounter(run->Counter);
        run->Counter = nullptr;
    }
}

void CloseCounters(const CounterLibrary* pdh, PDH_HQUERY* query, CounterRun* runs, int count) {
    for (int i = 0; i < count; i++)
        RemoveGraphCounter(pdh, &runs[i]);
    if (*query) {
        pdh->CloseQuery(*query);
        *query = nullptr;
    }
}

bool ReadCounter(const CounterLibrary* pdh, const CounterRun* run, int64_t* value) {
    if (!run->Counter)
        return false;
    PDH_FMT_COUNTERVALUE formatted;
    // PDH_FMT_LARGE alone: percentages keep the library's cap at 100.
    if (pdh->GetFormattedCounterValue(run->Counter, PDH_FMT_LARGE, nullptr, &formatted) !=
        ERROR_SUCCESS)
        return false;
    // The value is only good with a good counter status.
    if (formatted.CStatus != PDH_CSTATUS_VALID_DATA && formatted.CStatus != PDH_CSTATUS_NEW_DATA)
        return false;
    *value = formatted.largeValue;
    return true;
}

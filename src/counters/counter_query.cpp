// The one counter query, the graphs' counters in it, and the empty-instance expansion.
#include "counters/counter_query.h"

#include "render/draw_resources_build.h"
#include "res/resource.h"

namespace {

// Appends the first instance of object on machine (null: this one) to output; nothing when the
// list is empty or cannot be read. Returns false when no memory for the list was had.
bool FirstInstance(const CounterLibrary* pdh, const wchar_t* machine, const wchar_t* object,
                   wchar_t* output, int* length, int capacity) {
    DWORD counterLength = 0;
    DWORD listLength = 0;
    pdh->EnumObjectItems(nullptr, machine, object, nullptr, &counterLength, nullptr, &listLength,
                         PERF_DETAIL_WIZARD, 0);
    wchar_t* list = static_cast<wchar_t*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (listLength + 1) * sizeof(wchar_t)));
    if (!list)
        return false;
    counterLength = 0;
    if (listLength > 0 &&
        pdh->EnumObjectItems(nullptr, machine, object, nullptr, &counterLength, list, &listLength,
                             PERF_DETAIL_WIZARD, 0) == ERROR_SUCCESS)
        *length = AppendPathText(output, *length, capacity, list, static_cast<int>(listLength));
    HeapFree(GetProcessHeap(), 0, list);
    return true;
}

// The expansion's instance callback; context points at the counter library's pointer.
bool AppendFirstInstance(void* context, const wchar_t* machine, const wchar_t* object,
                         wchar_t* output, int* length, int capacity) {
    const CounterLibrary* pdh = *static_cast<const CounterLibrary**>(context);
    return FirstInstance(pdh, machine, object, output, length, capacity);
}

} // namespace

int ExpandCounterPath(const CounterLibrary* pdh, const wchar_t* path, wchar_t* output,
                      int capacity) {
    return ExpandEmptyInstance(path, AppendFirstInstance, &pdh, output, capacity);
}

void ShowCounterError(AppState* app, HWND window) {
    wchar_t text[64];
    if (LoadStringW(app->Instance, IDS_COUNTER_ERROR, text, 64) <= 0)
        text[0] = L'\0';
    MessageBoxW(window, text, ProgramTitle, MB_OK);
}

bool AddGraphCounter(AppState* app, int graph) {
    const CounterLibrary* pdh = app->Pdh;
    CounterSlot* slot = &app->Settings.Slot[graph];
    CounterRun* run = &app->Run[graph];
    run->Counter = nullptr;
    if (!(slot->PdhFlag & PdhUse))
        return false;
    wchar_t path[ExpandedPathChars];
    ExpandCounterPath(pdh, slot->Path, path, ExpandedPathChars);
    PDH_HCOUNTER counter = nullptr;
    PDH_STATUS status = pdh->AddCounter(app->Query, path, 0, &counter);
    // Counter names are translated on non-English systems, where the default English
    // paths fail; try them as English names before giving up.
    if (status != ERROR_SUCCESS && pdh->AddEnglishCounter)
        status = pdh->AddEnglishCounter(app->Query, path, 0, &counter);
    if (status != ERROR_SUCCESS)
        return false;
    run->Counter = counter;
    return true;
}

void AddCounters(AppState* app) {
    for (int i = 0; i < 2; i++) {
        if (!AddGraphCounter(app, i))
            continue;
        BuildGraphResources(&app->GraphRes[i], &app->Settings.Style[i], &app->Settings.Slot[i]);
        BuildIconResources(&app->IconRes[i], &app->Settings.Style[i]);
        ResetCounterRun(&app->Run[i]);
    }
}

int OpenCounters(AppState* app, HWND window) {
    const CounterLibrary* pdh = app->Pdh;
    PDH_HQUERY query = nullptr;
    if (pdh->OpenQuery(nullptr, 0, &query) != ERROR_SUCCESS || !query) {
        app->Query = nullptr;
        MessageBoxW(window, L"PdhOpenQuery() Error", ProgramTitle, MB_OK);
        return 0;
    }
    app->Query = query;
    app->RunFlag &= ~(AlarmArmed | AlarmRunning);
    for (int i = 0; i < 2; i++)
        app->Run[i].TextWidth = 0;
    AddCounters(app);

    // The first collection is the reference for rate counters; its values are not read.
    if (app->Run[0].Counter && pdh->CollectQueryData(app->Query) == ERROR_SUCCESS)
        return 1;
    CloseCounters(app);
    ShowCounterError(app, window);
    return 0;
}

void CloseCounters(AppState* app) {
    const CounterLibrary* pdh = app->Pdh;
    for (int i = 0; i < 2; i++) {
        if (app->Run[i].Counter) {
            pdh->RemoveCounter(app->Run[i].Counter);
            app->Run[i].Counter = nullptr;
        }
    }
    if (app->Query) {
        pdh->CloseQuery(app->Query);
        app->Query = nullptr;
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
    *value = formatted.largeValue;
    return true;
}

// The counter query. No counter library is used yet: the query is a placeholder that lets
// the sampling timer run, and no counter is ever added.
#include "counters/counter_query.h"

namespace {
int PlaceholderQuery;
}

int OpenCounters(AppState* app, HWND) {
    app->RunFlag &= ~(AlarmArmed | AlarmRunning);
    app->Query = &PlaceholderQuery;
    return 1;
}

void CloseCounters(AppState* app) { app->Query = nullptr; }

// The settings window's counter pages. Filled from the slot at creation; written back at OK,
// with the full scale clamped and the slot's ChangeMask telling the settings command what it
// must redo.
#include "ui/counter_page.h"

#include "counters/counter_query.h"
#include "counters/counter_run.h"
#include "res/resource.h"
#include "text/convert.h"
#include "ui/alarm_dialog.h"
#include "ui/dialog_helpers.h"

namespace {

const CounterPageParam* ParamOf(HWND page) {
    return reinterpret_cast<const CounterPageParam*>(GetWindowLongPtrW(page, GWLP_USERDATA));
}

// The slot's alarm state: 停止中, 待機中 or 動作中.
void ShowAlarmState(HWND page, const CounterSlot* slot) {
    wchar_t texts[64];
    wchar_t* states[3];
    if (!LoadLines(DialogInstance(page), IDS_ALARM_STATES, texts, 64, states, 3))
        return;
    int item = 0;
    if (slot->AlarmFlag & AlarmUse)
        item = (slot->Runtime && (slot->Runtime->AlarmState & 1)) ? 2 : 1;
    SetDlgItemTextW(page, IDC_COUNTER_ALARM_STATE, states[item]);
}

void OnInit(HWND page, const CounterPageParam* param) {
    SetWindowLongPtrW(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(param));
    SendDlgItemMessageW(page, IDC_COUNTER_PATH, EM_LIMITTEXT, PathChars - 1, 0);
    SendDlgItemMessageW(page, IDC_COUNTER_TITLE, EM_LIMITTEXT, TitleChars - 1, 0);
    SendDlgItemMessageW(page, IDC_COUNTER_UNIT, EM_LIMITTEXT, UnitChars - 1, 0);
    SendDlgItemMessageW(page, IDC_COUNTER_VALMAX, EM_LIMITTEXT, 13, 0);
    FillComboFromString(GetDlgItem(page, IDC_COUNTER_UNIT_MODE), DialogInstance(page),
                        IDS_UNIT_MODES);
    if (!param || !param->Slot)
        return;
    const CounterSlot* slot = param->Slot;
    if (slot->Index == 0) {
        // Graph 1 is always drawn.
        CheckDlgButton(page, IDC_COUNTER_USE, BST_CHECKED);
        EnableWindow(GetDlgItem(page, IDC_COUNTER_USE), FALSE);
    } else if (slot->PdhFlag & PdhUse) {
        CheckDlgButton(page, IDC_COUNTER_USE, BST_CHECKED);
    }
    wchar_t path[ExpandedPathChars] = L"";
    if (!param->Pdh || !ExpandCounterPath(param->Pdh, slot->Path, path, ExpandedPathChars))
        CopyWideText(path, slot->Path, ExpandedPathChars);
    SetDlgItemTextW(page, IDC_COUNTER_PATH, path);
    SetDlgItemTextW(page, IDC_COUNTER_TITLE, slot->Title);
    SetDlgItemTextW(page, IDC_COUNTER_UNIT, slot->Unit);
    SetDlgItemInt64(page, IDC_COUNTER_VALMAX, slot->ValMax);
    SetDlgItemInt64(page, IDC_COUNTER_MAXVALUE, slot->Runtime ? slot->Runtime->MaxValue : 0);
    if (slot->PdhFlag & PdhAlignRight)
        CheckDlgButton(page, IDC_COUNTER_ALIGN_RIGHT, BST_CHECKED);
    SendDlgItemMessageW(page, IDC_COUNTER_UNIT_MODE, CB_SETCURSEL,
                        (slot->PdhFlag >> PdhUnitShift) & 7, 0);
    if (slot->AlarmFlag & AlarmUse)
        CheckDlgButton(page, IDC_COUNTER_ALARM_USE, BST_CHECKED);
    else
        EnableWindow(GetDlgItem(page, IDC_COUNTER_ALARM_SETTINGS), FALSE);
    ShowAlarmState(page, slot);
}

void Browse(HWND page, const CounterPageParam* param) {
    if (!param || !param->Pdh || !param->Pdh->BrowseCounters)
        return;
    wchar_t path[PathChars] = L"";
    GetDlgItemTextW(page, IDC_COUNTER_PATH, path, PathChars);
    PDH_BROWSE_DLG_CONFIG_W config = {};
    config.bSingleCounterPerAdd = TRUE;
    config.bSingleCounterPerDialog = TRUE;
    // With Shift the user may look at other machines and the counters' explanations.
    if (GetKeyState(VK_SHIFT) >= 0) {
        config.bLocalCountersOnly = TRUE;
        config.bHideDetailBox = TRUE;
        config.bDisableMachineSelection = TRUE;
    }
    config.hWndOwner = page;
    config.szReturnPathBuffer = path;
    config.cchReturnPathLength = PathChars;
    config.dwDefaultDetailLevel = PERF_DETAIL_WIZARD;
    if (param->Pdh->BrowseCounters(&config) == ERROR_SUCCESS) {
        SetDlgItemTextW(page, IDC_COUNTER_PATH, path);
        // A path chosen counts as typed: it is stored as it stands.
        SendDlgItemMessageW(page, IDC_COUNTER_PATH, EM_SETMODIFY, TRUE, 0);
    }
}

void Store(HWND page, CounterSlot* slot) {
    uint32_t oldFlag = slot->PdhFlag;
    int64_t oldMax = slot->ValMax;
    wchar_t oldPath[PathChars] = L"";
    CopyWideText(oldPath, slot->Path, PathChars);

    slot->PdhFlag &= ~PdhUse;
    if (slot->Index == 0 || IsChecked(page, IDC_COUNTER_USE))
        slot->PdhFlag |= PdhUse;
    GetDlgItemTextW(page, IDC_COUNTER_PATH, slot->Path, PathChars);
    // A path with an empty instance "()" is shown with the instance it stands for now. Left as
    // shown (neither typed in nor browsed) it keeps its "()", so that the graph takes the first
    // instance there is whenever its counter is added (after a sleep, or once an adapter is
    // replaced). The same instance typed in is stored as typed, and stays that instance.
    if (!SendDlgItemMessageW(page, IDC_COUNTER_PATH, EM_GETMODIFY, 0, 0))
        CopyWideText(slot->Path, oldPath, PathChars);
    GetDlgItemTextW(page, IDC_COUNTER_TITLE, slot->Title, TitleChars);
    GetDlgItemTextW(page, IDC_COUNTER_UNIT, slot->Unit, UnitChars);
    // A value of the file too long for its box was shown empty; once the user writes one, the
    // save writes it over the file's.
    if (slot->Path[0])
        slot->LongInFile &= ~LongPath;
    if (slot->Title[0])
        slot->LongInFile &= ~LongTitle;
    if (slot->Unit[0])
        slot->LongInFile &= ~LongUnit;
    int64_t max = GetDlgItemInt64(page, IDC_COUNTER_VALMAX);
    slot->ValMax = HoldInRange(max, 1, ValMaxLimit);
    slot->PdhFlag &= ~(PdhAlignRight | PdhUnitMask);
    if (IsChecked(page, IDC_COUNTER_ALIGN_RIGHT))
        slot->PdhFlag |= PdhAlignRight;
    LRESULT mode = SendDlgItemMessageW(page, IDC_COUNTER_UNIT_MODE, CB_GETCURSEL, 0, 0);
    if (mode >= 1 && mode <= 7)
        slot->PdhFlag |= static_cast<uint32_t>(mode) << PdhUnitShift;

    if ((slot->PdhFlag ^ oldFlag) & PdhUse)
        slot->ChangeMask |= ChangedUse;
    if (lstrcmpW(slot->Path, oldPath) != 0)
        slot->ChangeMask |= ChangedPath; // letter case counts
    if (slot->ValMax != oldMax)
        slot->ChangeMask |= ChangedMaximum;
    slot->AlarmFlag &= ~AlarmUse;
    if (IsChecked(page, IDC_COUNTER_ALARM_USE))
        slot->AlarmFlag |= AlarmUse;
}

} // namespace

INT_PTR CALLBACK CounterPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInit(page, reinterpret_cast<const CounterPageParam*>(lParam));
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        const CounterPageParam* param = ParamOf(page);
        switch (id) {
        case IDOK:
        case IDCANCEL:
            if (id == IDOK && param && param->Slot)
                Store(page, param->Slot);
            SetWindowLongPtrW(page, DWLP_MSGRESULT, 0); // never refuses
            return TRUE;
        case IDC_COUNTER_VALMAX:
            if (HIWORD(wParam) == EN_KILLFOCUS &&
                GetDlgItemInt64(page, IDC_COUNTER_VALMAX) > ValMaxLimit)
                SetDlgItemInt64(page, IDC_COUNTER_VALMAX, ValMaxLimit);
            return TRUE;
        case IDC_COUNTER_BROWSE:
            Browse(page, param);
            return TRUE;
        case IDC_COUNTER_ALARM_USE:
            EnableWindow(GetDlgItem(page, IDC_COUNTER_ALARM_SETTINGS),
                         IsChecked(page, IDC_COUNTER_ALARM_USE));
            return TRUE;
        case IDC_COUNTER_ALARM_SETTINGS:
            // Stores into the slot at its own OK; the page shows nothing of it.
            if (param && param->Slot)
                RunAlarmDialog(page, param->Slot, param->SettingsPath);
            return TRUE;
        default:
            return FALSE;
        }
    }
    default:
        return FALSE;
    }
}

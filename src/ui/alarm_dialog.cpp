// The alarm settings dialog: comparison and action lists with their stored codes, the boxes
// each action uses, the file browser and the WAV preview, and storing at its own OK.
#include "ui/alarm_dialog.h"

#include <commdlg.h>

#include "alarm/alarm_action.h"
#include "port/port.h"
#include "res/resource.h"
#include "res/version.h"
#include "settings/settings_model.h"
#include "text/convert.h"
#include "ui/dialog_helpers.h"

namespace {

// The comparison list's items and the codes they store; and the item shown for each code.
const uint32_t CodeOfItem[5] = {1, 3, 5, 6, 7};
const int ItemOfCode[8] = {0, 0, 1, 1, 2, 2, 3, 4};

// The option bits the dialog's check boxes store.
struct FlagBox {
    int Id;
    uint32_t Bit;
};
const FlagBox FlagBoxes[] = {{IDC_ALARM_AT_START, AlarmAtStart},
                             {IDC_ALARM_OFF_AFTER, AlarmOffAfterFire},
                             {IDC_ALARM_PREVIOUS, AlarmPrevThreshold},
                             {IDC_ALARM_REPEAT, AlarmRepeat},
                             {IDC_ALARM_ON_LEAVE, AlarmOnLeave}};

constexpr int FileChars = 260;
// The actions the list offers, codes 0 to 5.
constexpr uint32_t ActionCount = AlarmNotify + 1;
constexpr int OptionChars = 64;

const AlarmDialogParam* ParamOf(HWND dialog) {
    return reinterpret_cast<const AlarmDialogParam*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

uint32_t SelectedAction(HWND dialog) {
    LRESULT index = SendDlgItemMessageW(dialog, IDC_ALARM_ACTION, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? 0 : static_cast<uint32_t>(index) & 7;
}

// The boxes each action uses: the file to open, run, play or write to, and the option, the
// template of a program's parameters, a log line or a notification's text.
void EnableForAction(HWND dialog) {
    uint32_t action = SelectedAction(dialog);
    // The option box is named for what it holds with this action.
    wchar_t labels[128];
    wchar_t* label[ActionCount];
    if (LoadLines(DialogInstance(dialog), IDS_ALARM_OPTION_LABELS, labels, 128, label,
                  static_cast<int>(ActionCount)) == static_cast<int>(ActionCount) &&
        action < ActionCount)
        SetDlgItemTextW(dialog, IDC_ALARM_OPTION_LABEL, label[action]);
    bool file = action >= AlarmOpenFile && action <= AlarmWriteLog;
    EnableControl(dialog, IDC_ALARM_FILE, file);
    EnableControl(dialog, IDC_ALARM_BROWSE, file);
    EnableControl(dialog, IDC_ALARM_OPTION,
                  action == AlarmRunProgram || action == AlarmWriteLog || action == AlarmNotify);
}

void OnInit(HWND dialog, const AlarmDialogParam* param) {
    SetWindowLongPtrW(dialog, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(param));
    const CounterSlot* slot = param ? param->Slot : nullptr;
    EnableDialogTheme(dialog);
    SendDlgItemMessageW(dialog, IDC_ALARM_BORDER, EM_LIMITTEXT, 12, 0);
    SendDlgItemMessageW(dialog, IDC_ALARM_FILE, EM_LIMITTEXT, FileChars - 1, 0);
    SendDlgItemMessageW(dialog, IDC_ALARM_OPTION, EM_LIMITTEXT, OptionChars - 1, 0);
    HINSTANCE instance = DialogInstance(dialog);
    FillComboFromString(GetDlgItem(dialog, IDC_ALARM_COMPARE), instance, IDS_COMPARISONS);
    FillComboFromString(GetDlgItem(dialog, IDC_ALARM_ACTION), instance, IDS_ACTIONS);
    CenterOnParent(dialog);
    if (!slot)
        return;
    uint32_t flag = slot->AlarmFlag;
    for (const FlagBox& box : FlagBoxes) {
        if (flag & box.Bit)
            CheckDlgButton(dialog, box.Id, BST_CHECKED);
    }
    if (flag & AlarmOffAfterFire) {
        EnableControl(dialog, IDC_ALARM_REPEAT, false);
        EnableControl(dialog, IDC_ALARM_ON_LEAVE, false);
    }
    if (flag & AlarmPrevThreshold)
        EnableControl(dialog, IDC_ALARM_BORDER, false);
    SetDlgItemInt64(dialog, IDC_ALARM_BORDER, slot->AlarmBorder);
    SendDlgItemMessageW(dialog, IDC_ALARM_COMPARE, CB_SETCURSEL,
                        ItemOfCode[(flag >> AlarmCompareShift) & 7], 0);
    SetDlgItemInt(dialog, IDC_ALARM_DURATION, slot->AlarmDuration, FALSE);
    SendDlgItemMessageW(dialog, IDC_ALARM_ACTION, CB_SETCURSEL, (flag >> AlarmActionShift) & 7, 0);
    EnableForAction(dialog);
    if (slot->AlarmFile)
        SetDlgItemTextW(dialog, IDC_ALARM_FILE, slot->AlarmFile);
    if (slot->AlarmOption)
        SetDlgItemTextW(dialog, IDC_ALARM_OPTION, slot->AlarmOption);
}

// Room for the file dialog's filter list in every language the program has.
constexpr int FilterChars = 160;

void Browse(HWND dialog) {
    wchar_t path[FileChars] = L"";
    GetDlgItemTextW(dialog, IDC_ALARM_FILE, path, FileChars);
    if (GetKeyState(VK_SHIFT) < 0) {
        // A preview of the sound, for the WAV action only.
        int length = WideLength(path);
        if (SelectedAction(dialog) == AlarmPlaySound && length >= 5 &&
            CompareNoCase(path + length - 4, L".wav") == 0)
            CallPlaySound(path, nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
        return;
    }
    // The filters of the language in use: pairs of a description and a pattern, each item
    // ended by '|' in the string table and by a null here, the list by a second null.
    wchar_t filters[FilterChars + 1];
    if (LoadStringW(DialogInstance(dialog), IDS_FILE_FILTERS, filters, FilterChars) <= 0)
        filters[0] = L'\0';
    int n = 0;
    for (; filters[n]; n++)
        if (filters[n] == L'|')
            filters[n] = L'\0';
    filters[n + 1] = L'\0';
    OPENFILENAMEW open = {};
    open.lStructSize = sizeof(open);
    open.hwndOwner = dialog;
    open.lpstrFilter = filters[0] ? filters : nullptr;
    // The filter of the action's files, counted from 1; "all" (the first) for the others.
    uint32_t action = SelectedAction(dialog);
    open.nFilterIndex = action <= AlarmWriteLog ? action : 1;
    open.lpstrFile = path;
    open.nMaxFile = FileChars;
    open.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (GetOpenFileNameW(&open))
        SetDlgItemTextW(dialog, IDC_ALARM_FILE, path);
}

// The box's text on the heap, sized exactly; null when the box is empty.
wchar_t* HeapTextOf(HWND dialog, int id) {
    int length = GetWindowTextLengthW(GetDlgItem(dialog, id));
    if (length <= 0)
        return nullptr;
    auto* text =
        static_cast<wchar_t*>(PortHeapAlloc((static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (text)
        GetDlgItemTextW(dialog, id, text, length + 1);
    return text;
}

// Whether the file box names a file the chosen action can use; when it does not, the user is
// told why and the box is made ready to take another.
bool FileUsable(HWND dialog, const wchar_t* settingsPath) {
    wchar_t file[FileChars] = L"";
    GetDlgItemTextW(dialog, IDC_ALARM_FILE, file, FileChars);
    AlarmFileRefusal refusal = RefusedAlarmFile(SelectedAction(dialog), file, settingsPath);
    if (refusal == AlarmFileRefusal::None)
        return true;
    wchar_t text[256];
    UINT id =
        refusal == AlarmFileRefusal::Device ? IDS_ALARM_FILE_IS_DEVICE : IDS_ALARM_FILE_IS_SETTINGS;
    if (LoadStringW(DialogInstance(dialog), id, text, 256) <= 0)
        text[0] = L'\0';
    MessageBoxW(dialog, text, ProgramTitle, MB_OK | MB_ICONWARNING);
    HWND box = GetDlgItem(dialog, IDC_ALARM_FILE);
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 0, -1);
    return false;
}

void Store(HWND dialog, CounterSlot* slot) {
    for (const FlagBox& box : FlagBoxes) {
        slot->AlarmFlag &= ~box.Bit;
        if (IsChecked(dialog, box.Id))
            slot->AlarmFlag |= box.Bit;
    }
    slot->AlarmBorder = GetDlgItemInt64(dialog, IDC_ALARM_BORDER);
    LRESULT item = SendDlgItemMessageW(dialog, IDC_ALARM_COMPARE, CB_GETCURSEL, 0, 0);
    uint32_t code = CodeOfItem[item >= 0 && item <= 4 ? item : 0];
    slot->AlarmFlag = (slot->AlarmFlag & ~AlarmCompareMask) | (code << AlarmCompareShift);
    BOOL read = FALSE;
    UINT duration = GetDlgItemInt(dialog, IDC_ALARM_DURATION, &read, FALSE);
    slot->AlarmDuration = read ? duration : 0;
    slot->AlarmFlag =
        (slot->AlarmFlag & ~AlarmActionMask) | (SelectedAction(dialog) << AlarmActionShift);
    PortHeapFree(slot->AlarmFile);
    slot->AlarmFile = HeapTextOf(dialog, IDC_ALARM_FILE);
    PortHeapFree(slot->AlarmOption);
    slot->AlarmOption = HeapTextOf(dialog, IDC_ALARM_OPTION);
}

} // namespace

INT_PTR CALLBACK AlarmDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog, reinterpret_cast<const AlarmDialogParam*>(lParam));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            const AlarmDialogParam* param = ParamOf(dialog);
            // A device or the settings file would be stored only to be refused at every
            // firing: the user learns it here, where it can be put right.
            if (!FileUsable(dialog, param ? param->SettingsPath : nullptr))
                return TRUE;
            if (param && param->Slot)
                Store(dialog, param->Slot);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_ALARM_OFF_AFTER: {
            bool free = !IsChecked(dialog, IDC_ALARM_OFF_AFTER);
            EnableControl(dialog, IDC_ALARM_REPEAT, free);
            EnableControl(dialog, IDC_ALARM_ON_LEAVE, free);
            return TRUE;
        }
        case IDC_ALARM_PREVIOUS:
            EnableControl(dialog, IDC_ALARM_BORDER, !IsChecked(dialog, IDC_ALARM_PREVIOUS));
            return TRUE;
        case IDC_ALARM_ACTION:
            if (HIWORD(wParam) == CBN_SELCHANGE)
                EnableForAction(dialog);
            return TRUE;
        case IDC_ALARM_BROWSE:
            Browse(dialog);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

INT_PTR RunAlarmDialog(HWND owner, CounterSlot* slot, const wchar_t* settingsPath) {
    AlarmDialogParam param = {slot, settingsPath};
    return DialogBoxParamW(DialogInstance(owner), MAKEINTRESOURCEW(IDD_ALARM), owner,
                           AlarmDialogProc, reinterpret_cast<LPARAM>(&param));
}

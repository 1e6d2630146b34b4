// Resource ids of the program: icon, menu, dialogs, strings and commands.
#pragma once

#define IDI_APP 101
#define IDR_POPUP_MENU 102

#define IDD_MAIN_PAGE 107
#define IDD_COUNTER_PAGE 108
#define IDD_GRAPH_PAGE 109
#define IDD_ICON_PAGE 110
#define IDD_ALARM 119

#define IDS_SETTINGS_SUFFIX 2
#define IDS_TAB_LABELS 3
#define IDS_UNIT_MODES 5
#define IDS_ROUND_MODES 7
#define IDS_COUNTER_ERROR 11
#define IDS_COMPARISONS 12
#define IDS_ACTIONS 13
#define IDS_ALARM_STATES 14
#define IDS_SAVE_ERROR 15
// The settings window's frame, built in memory: its title before the caption is set, its two
// buttons, and the face of the dialog font of the language in use (at 9 points).
#define IDS_FRAME_TITLE 16
#define IDS_FRAME_OK 17
#define IDS_FRAME_CANCEL 18
#define IDS_DIALOG_FONT 19
// The alarm dialog's file filters: description and pattern pairs, each item ended by '|'.
#define IDS_FILE_FILTERS 20
// The text of an alarm's notification when its option gives none: a template of the alarm's
// fields naming the value and the threshold, and one naming the value alone for an alarm that
// compares with nothing.
#define IDS_ALARM_NOTICE 21
#define IDS_ALARM_NOTICE_ALWAYS 22
// The settings file could not be read at start: the message with the path (%1) and the reason
// (%2), and the reasons the program words itself; the last when the system has no words for an
// error code (%1).
#define IDS_READ_ERROR 23
#define IDS_REASON_TOO_LARGE 24
#define IDS_REASON_ZERO_BYTE 25
#define IDS_REASON_FOLDER 26
#define IDS_REASON_CUT_UNICODE 27
#define IDS_REASON_UNKNOWN 28
// A save that would make the file too large to be read back.
#define IDS_REASON_SAVE_TOO_LARGE 29
// Sampling cannot start because graph 1's counter is switched off in the file.
#define IDS_COUNTER_OFF 30
// The alarm dialog refuses a file: the settings file as a log, a device for a file.
#define IDS_ALARM_FILE_IS_SETTINGS 31
#define IDS_ALARM_FILE_IS_DEVICE 32
// What stands before the version: in the settings caption, then in the About box (one line
// each), and the About box's title.
#define IDS_VERSION_PREFIXES 33
#define IDS_ABOUT_TITLE 34
// No counter query could be opened at all.
#define IDS_QUERY_ERROR 35
// A notification's title around the graph's title (%1).
#define IDS_ALARM_NOTICE_TITLE 36
// The label of the alarm's option box for each action, in the order of the action list.
#define IDS_ALARM_OPTION_LABELS 37
// The hot key's parts: the modifiers Win, Ctrl, Alt, Shift as written before a key, then the
// names of keys the keyboard layout may not name (Nonconvert, Convert), then the word before
// the number of any other key without a name.
#define IDS_HOTKEY_NAMES 38
// The hot key (%1) chosen in the settings window is held by another program.
#define IDS_HOTKEY_IN_USE 39
// The hot key (%1) could not be registered at start-up.
#define IDS_HOTKEY_NOT_REGISTERED 40
// The About box's line naming the settings file in use (%1).
#define IDS_ABOUT_SETTINGS_FILE 41
// The sign-in entry could not be written or removed; %1 is the system's reason.
#define IDS_SIGN_IN_ERROR 42

#define IDM_START 40001
#define IDM_SHOWGRAPH 40002
#define IDM_TOPMOST 40003
#define IDM_TRANSLUCENT 40004
#define IDM_CLEARBACK 40005
#define IDM_CLICKTHROUGH 40006
#define IDM_SETTINGS 40007
#define IDM_EXIT 40008
#define IDM_PRIO_REALTIME 40010
#define IDM_PRIO_HIGH 40011
#define IDM_PRIO_ABOVE 40012
#define IDM_PRIO_NORMAL 40013
#define IDM_PRIO_BELOW 40014
#define IDM_PRIO_IDLE 40015
#define IDM_ALARM 40018

// Main page (dialog 107).
#define IDC_MAIN_INTERVAL 1001
#define IDC_MAIN_INTERVAL_SPIN 1002
#define IDC_MAIN_ALPHA 1003
#define IDC_MAIN_ALPHA_SPIN 1004
#define IDC_MAIN_HOVER 1005
#define IDC_MAIN_HOVER_HIDE 1006
#define IDC_MAIN_HOVER_FADE 1007
#define IDC_MAIN_HOVER_ALPHA 1008
#define IDC_MAIN_HOVER_ALPHA_SPIN 1009
#define IDC_MAIN_SNAP 1010
#define IDC_MAIN_SNAP_PIXEL 1011
#define IDC_MAIN_SNAP_PIXEL_SPIN 1012
#define IDC_MAIN_FIT_GRID 1013
#define IDC_MAIN_NO_TRAY 1014
#define IDC_MAIN_NO_ICON_GRAPH 1015
#define IDC_MAIN_SECOND_GRAPH 1016
#define IDC_MAIN_ABOUT 1017
#define IDC_MAIN_HOTKEY 1018
#define IDC_MAIN_SIGN_IN 1019
#define IDC_MAIN_SIGN_IN_NOTE 1020

// Counter page (dialog 108).
#define IDC_COUNTER_USE 1101
#define IDC_COUNTER_PATH 1102
#define IDC_COUNTER_BROWSE 1103
#define IDC_COUNTER_VALMAX 1104
#define IDC_COUNTER_MAXVALUE 1105
#define IDC_COUNTER_TITLE 1106
#define IDC_COUNTER_UNIT 1107
#define IDC_COUNTER_ALIGN_RIGHT 1108
#define IDC_COUNTER_UNIT_MODE 1109
#define IDC_COUNTER_ALARM_USE 1110
#define IDC_COUNTER_ALARM_SETTINGS 1111
#define IDC_COUNTER_ALARM_STATE 1112

// Alarm dialog (dialog 119).
#define IDC_ALARM_AT_START 1201
#define IDC_ALARM_OFF_AFTER 1202
#define IDC_ALARM_BORDER 1203
#define IDC_ALARM_PREVIOUS 1204
#define IDC_ALARM_COMPARE 1205
#define IDC_ALARM_DURATION 1206
#define IDC_ALARM_REPEAT 1207
#define IDC_ALARM_ON_LEAVE 1208
#define IDC_ALARM_ACTION 1209
#define IDC_ALARM_FILE 1210
#define IDC_ALARM_BROWSE 1211
#define IDC_ALARM_OPTION 1212
#define IDC_ALARM_OPTION_LABEL 1213

// Graph and icon pages (dialogs 109 and 110). The pages find a row's controls by adding to the
// first id of each kind, so every kind below keeps consecutive ids. The graph page shows rows 1
// to 9, the icon page rows 1 to 7; both show widths 1 to 4.
// The check boxes of the drawing rows: last value line and fill, history line and fill,
// background lines and fill, graph frame, caption text, caption shadow.
#define IDC_STYLE_ROW1 1301
#define IDC_STYLE_ROW2 1302
#define IDC_STYLE_ROW3 1303
#define IDC_STYLE_ROW4 1304
#define IDC_STYLE_ROW5 1305
#define IDC_STYLE_ROW6 1306
#define IDC_STYLE_ROW7 1307
#define IDC_STYLE_ROW8 1308
#define IDC_STYLE_ROW9 1309
// The colour button beside each row's check box.
#define IDC_STYLE_COLOR1 1311
#define IDC_STYLE_COLOR2 1312
#define IDC_STYLE_COLOR3 1313
#define IDC_STYLE_COLOR4 1314
#define IDC_STYLE_COLOR5 1315
#define IDC_STYLE_COLOR6 1316
#define IDC_STYLE_COLOR7 1317
#define IDC_STYLE_COLOR8 1318
#define IDC_STYLE_COLOR9 1319
// The options.
#define IDC_STYLE_BARS 1320
#define IDC_STYLE_CLEAR_CAPTION 1321
#define IDC_STYLE_PICK16 1322
#define IDC_STYLE_ICON_CLEAR 1323
// The width edit boxes: last value width, frame width, background line width and height.
#define IDC_STYLE_WIDTH1 1331
#define IDC_STYLE_WIDTH2 1332
#define IDC_STYLE_WIDTH3 1333
#define IDC_STYLE_WIDTH4 1334
// The spinner of each width.
#define IDC_STYLE_SPIN1 1341
#define IDC_STYLE_SPIN2 1342
#define IDC_STYLE_SPIN3 1343
#define IDC_STYLE_SPIN4 1344
// The label before each width.
#define IDC_STYLE_WIDTH_LABEL1 1351
#define IDC_STYLE_WIDTH_LABEL2 1352
#define IDC_STYLE_WIDTH_LABEL3 1353
#define IDC_STYLE_WIDTH_LABEL4 1354
// The unit after each width.
#define IDC_STYLE_WIDTH_UNIT1 1361
#define IDC_STYLE_WIDTH_UNIT2 1362
#define IDC_STYLE_WIDTH_UNIT3 1363
#define IDC_STYLE_WIDTH_UNIT4 1364
// The rounding of the graph values.
#define IDC_STYLE_ROUND 1370

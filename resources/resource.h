// Resource and control identifiers, shared by the program, its resources and its tests.
#pragma once

#define IDI_APP 101
#define IDI_INFO 102

#define IDR_MAINMENU 201
#define IDR_TRAYMENU 202

// Main window's menu bar
#define IDM_DISP 40001
#define IDM_HELP 40002
#define IDM_HELPSTR 40003
#define IDM_END 40004
// Tray menu
#define IDM_DISP2 40011
#define IDM_TRAYOUT 40012
#define IDM_HELP2 40013
#define IDM_VERNO 40014
#define IDM_END2 40015

// Controls of the main window (txtDescription of the popup uses the same ID)
#define IDC_TXTDESCRIPTION 1001

// Controls of the settings dialog frmSetting
#define IDC_CHKTASKTRAY 1101
#define IDC_FRSTR 1102
#define IDC_FRSEARCH 1103
#define IDC_LBLSEARCHSTR 1104
#define IDC_TXTSEARCHSTR 1105
#define IDC_CHKFUZZY 1106
#define IDC_FRCUSTOM 1107
#define IDC_LSTCUSTOM 1108
#define IDC_CHKDISPMSG 1109
#define IDC_FRPOS 1110
#define IDC_LBLTIMEAUTOCLOSE 1111
#define IDC_CMBTIMEAUTOCLOSE 1112
#define IDC_LABEL1 1113
#define IDC_CMBDISPPOS 1114
#define IDC_FRCLOSE 1115
#define IDC_CMDCLOSE0 1116  // "再開"
#define IDC_CMDCLOSE1 1117  // "終了"
#define IDC_CHKAUTOSTART 1118
#define IDC_FRLIMIT 1119       // the frame 「字数制限」
#define IDC_TXTCHARLIMIT 1120  // its digits-only field
#define IDC_LBLLIMIT 1121      // its hint

// Controls of the count popup frmPopup (its text box is IDC_TXTDESCRIPTION)
#define IDC_POPUP_FR 1201
#define IDC_POPUP_IMG 1202
#define IDC_POPUP_CMDCLOSE 1203
#define IDC_POPUP_LBLTIME 1204

// Controls of the help note frmHelp
#define IDC_HELP_LBLHELP 1301
#define IDC_HELP_CMDCLOSE 1302

// Controls of the notice window frmSplash
#define IDC_SPLASH_LBLMSG 1401

#ifndef RC_INVOKED
// Window class names, so that tests find the program's windows with FindWindow.
#define QUILLET_MAIN_CLASS L"Quillet.frmMain"
#define QUILLET_POPUP_CLASS L"Quillet.frmPopup"
#define QUILLET_SETTING_CLASS L"Quillet.frmSetting"
#define QUILLET_HELP_CLASS L"Quillet.frmHelp"
#define QUILLET_SPLASH_CLASS L"Quillet.frmSplash"
// The tray icon's notifications to the main window: lParam is the mouse message. A message of
// its own, so that a real middle-button click on the window is never taken for one.
#define QUILLET_TRAY_CALLBACK (WM_APP + 1)
#define QUILLET_TRAY_ID 1
// The help page shipped beside Quillet.exe and opened by the ヘルプ menus.
#define QUILLET_HELP_PAGE L"Quillet.html"
#endif

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

// Controls of the main window
#define IDC_TXTDESCRIPTION 1001

#ifndef RC_INVOKED
// Window class names, so that tests find the program's windows with FindWindow.
#define QUILLET_MAIN_CLASS L"Quillet.frmMain"
#endif

// Resource ids of the data manager Mablix (its dialogs, menus, bitmaps,
// icon, accelerators and controls), shared by the code and res/Mablix.rc.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialogs.
#define IDD_ABOUTBOX 100
#define IDD_TVRIETOOL_DIALOG 102
#define IDD_NOTIFYMSG 141
#define IDD_UPDATEMSG 143

// Bitmaps of the tree's image list, the icon, accelerators and menus.
#define IDB_ROOT 130
#define IDB_PAGE 131
#define IDR_ACCELERATOR 132
#define IDR_MAINFRAME 133
#define IDB_ITEM 135
#define IDR_MENU_PAGE 136
#define IDR_MENU_ITEM 140

// Controls of the management dialog.
#define IDC_EDIT_ITEMNAME 208
#define IDC_STATIC_FORMNAME 211
#define IDC_BUTTON_CLEAR 212
#define IDC_CHECK_AUTOSEND 213
#define IDC_CHECK_AUTOINPUT 214
#define IDC_CHECK_HIDEPWD 215
#define IDC_CHECK_CHANGEFLG 228
#define IDC_EXPLORER_ITEM 1000
#define IDC_BUTTON_APPLY 1001
#define IDC_TREE_WEBDATA 1002
#define IDC_BUTTON_RENAME 1003
#define IDC_BUTTON_DELETE 1004
#define IDC_BUTTON_OPENPAGE 1005
#define IDC_BUTTON_ITEMINFO 1006
#define IDC_STATIC_PAGEFRAME 1007
#define IDC_STATIC_ITEMFRAME 1008
#define IDC_STATIC_ITEMNAME 1009
#define IDC_STATIC_FORMNAMELABEL 1010
#define IDC_BUTTON_COPY 1012

// Controls of the About box and the notices.
#define IDC_STATIC_VERSION 1013
#define IDC_STATIC_COPYRIGHT 1014
#define IDC_STATIC_NOTIFY 1015

// Commands of the accelerators.
#define ID_ACCEL_RENAME 32771
#define ID_ACCEL_DELETE 32773

// The About box's system command.
#define IDM_ABOUTBOX 0x0010
// The framework's help command.
#define ID_HELP 0xE146

// Resource ids of the framework tests' own dialogs, menus and bitmaps.
#pragma once

#define IDD_FX_FORM 201
#define IDD_FX_TREE 202
#define IDD_FX_BROWSER 203
#define IDD_FX_NOTICE 204

#define IDC_FX_NAME 1001
#define IDC_FX_CHECK 1002
#define IDC_FX_NUMBER 1003
#define IDC_FX_START 1004
#define IDC_FX_TREE 1005
#define IDC_FX_BROWSER 1006
#define IDC_FX_LATE_BROWSER 1007
#define IDC_FX_NOTICE_TEXT 1008

#define IDR_FX_ACCEL 301
#define IDR_FX_MENU 302
#define ID_FX_ACCEL_RUN 40001
#define ID_FX_ACCEL_CLEAR 40002
#define ID_FX_MENU_FIRST 40011
#define ID_FX_MENU_SECOND 40012

#define IDB_FX_ROOT 401
#define IDB_FX_PAGE 402
#define IDB_FX_ITEM 403

#define IDS_FX_REGISTRY_KEY 501

// Resource ids of Vantrel.exe.
#pragma once

#define IDR_MAINFRAME 128 // document string, menu, accelerators, tool bar, its bitmap, icon
#define IDD_ABOUTBOX 100
#define IDC_ABOUT_LEGAL 1016
#define IDC_ABOUT_VERSION 1017
#define ID_EXPORT 32772

// The framework's command and string ids the program uses.
#define ID_FILE_NEW 0xE100
#define ID_FILE_OPEN 0xE101
#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141
#define ID_VIEW_TOOLBAR 0xE800
#define ID_VIEW_STATUS_BAR 0xE801
#define AFX_IDS_APP_TITLE 0xE000
#define AFX_IDS_IDLEMESSAGE 0xE001
#define ID_INDICATOR_CAPS_TEXT 0xE041
#define ID_INDICATOR_NUM_TEXT 0xE042
#define ID_INDICATOR_SCRL_TEXT 0xE043

// Resource ids of the add-in module Quorvel.dll. Grouped by window; each
// window's controls follow its template id. Used by the .rc file and by C++.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Notice window shown while a worker writes to the database.
#define IDD_NOTIFYMSG 137
#define IDC_NOTIFYMSG_TEXT 1015

// Entry selection: add another entry or overwrite the stored one.
#define IDD_SELECTENTRY 110
#define IDC_SELECTENTRY_ADD 242
#define IDC_SELECTENTRY_OVERWRITE 243
#define IDC_SELECTENTRY_TEXT 249

// Frame selection.
#define IDD_SELFRAME 224
#define IDC_SELFRAME_LIST 245

// Re-registration of an entry whose form changed.
#define IDD_CHANGEENTRY 228
#define IDC_CHANGEENTRY_NOASK 241
#define IDC_CHANGEENTRY_TEXT 250

// Auto-entry confirmation after a submit: register this page's data?
#define IDD_AUTOENTRY 109
#define IDC_AUTOENTRY_NOASK 241
#define IDC_AUTOENTRY_TEXT 251

// Option dialog: the seven web-form options as check boxes.
#define IDD_OPTION 207
#define IDC_OPTION_STOPFUNC 201
#define IDC_OPTION_STOPAUTOINPUT 204
#define IDC_OPTION_SETAUTO 205
#define IDC_OPTION_CHECKSET 208
#define IDC_OPTION_ONLYPWD 210
#define IDC_OPTION_NOMULTITEXT 213
#define IDC_OPTION_HIDEPWD 215

// Registration dialog.
#define IDD_REGIST 212
#define IDC_REGIST_TITLE 206
#define IDC_REGIST_LIST 209
#define IDC_REGIST_URL 211
#define IDC_REGIST_DATE 214
#define IDC_REGIST_FOLD 216
#define IDC_REGIST_NAME 218
#define IDC_REGIST_BROWSER 219
#define IDC_REGIST_FORMNAME 220
#define IDC_REGIST_CLEAR 223
#define IDC_REGIST_AUTOSEND 226
#define IDC_REGIST_AUTOINPUT 229
#define IDC_REGIST_APPLY 230
#define IDC_REGIST_HIDEPWD 233
#define IDC_REGIST_PAGEGROUP 234
#define IDC_REGIST_ITEMGROUP 235
#define IDC_REGIST_FORMNAMELABEL 236
#define IDC_REGIST_NAMELABEL 237
#define IDC_REGIST_URLLABEL 238
#define IDC_REGIST_DATELABEL 239
#define IDC_REGIST_CHANGEFLG 247
#define IDC_REGIST_TITLELABEL 248

// Module resources: the registrar scripts. Only the band's (103) is run;
// the others are carried for the classes that are never registered.
#define IDR_QUORVEL 101
#define IDR_STOCKBAR 103
#define IDR_IESINK 107
#define IDR_SUBMITBUTOONEVENTSINK 108

// Toolbar: the feature's icons (running, stopped) and the drop-down menu.
#define IDI_TOOLBAR_RUNNING 222
#define IDI_TOOLBAR_STOPPED 225
#define IDR_TOOLBAR_MENU 102
#define ID_MENU_REG 32776
#define ID_MENU_MANAGE 32777
#define ID_MENU_ONOFF 32778
#define ID_MENU_OPTION 32779

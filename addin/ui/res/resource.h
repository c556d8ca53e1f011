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

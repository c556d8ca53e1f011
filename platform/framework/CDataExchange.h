// Data exchange between a window's controls and its members, run by
// CWnd::UpdateData through DoDataExchange. m_bSaveAndValidate TRUE reads the
// controls into the members, FALSE writes the members into the controls.
// A routine that refuses a value calls Fail(), which ends the exchange with
// UpdateData returning FALSE.
#pragma once

#include <windows.h>

#include "FxString.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL save) noexcept : m_bSaveAndValidate(save), m_pDlgWnd(dialog) {}

    // The control id's window (remembered for Fail's focus); null when the
    // dialog has no such control.
    HWND PrepareCtrl(int id) noexcept;
    // Puts the focus on the last prepared control and stops the exchange.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
};

// Thrown by Fail and caught by UpdateData; nothing else sees it.
struct FxDataExchangeFailure {};

// Edit or static text; the int form refuses a text that is no number.
void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
// Check box: 0 unchecked, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange* dx, int id, int& value);
// Binds control (subclassed) to the dialog item id on its first exchange.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

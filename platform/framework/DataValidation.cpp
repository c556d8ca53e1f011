#include "DataValidation.h"

#include <cwchar>

#include "CWinApp.h"

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars) {
    const HWND control = dx->m_hWndLastControl;
    if (!dx->m_bSaveAndValidate) {
        if (control && maxChars > 0)
            ::SendMessageW(control, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
        return;
    }
    if (value.GetLength() <= maxChars) return;
    wchar_t text[64] = {};
    std::swprintf(text, 64, L"%d 文字以内で入力してください。", maxChars);
    AfxMessageBox(text, MB_ICONEXCLAMATION);
    dx->Fail();
}

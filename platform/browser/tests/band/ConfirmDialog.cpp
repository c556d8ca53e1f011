#include "ConfirmDialog.h"

#include "BandRecord.h"
#include "BandResources.h"

namespace testband {

namespace {

constexpr UINT_PTR kGiveUpTimer = 1;

INT_PTR CALLBACK ConfirmProc(HWND dialog, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        SetTimer(dialog, kGiveUpTimer, 10000, nullptr);
        return TRUE;
    case WM_TIMER:
        Append(L"Confirm", L"timeout");
        EndDialog(dialog, 0);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wp) != BN_CLICKED || (LOWORD(wp) != IDOK && LOWORD(wp) != IDCANCEL))
            return FALSE;
        Append(L"Confirm",
               std::wstring(LOWORD(wp) == IDOK ? L"yes" : L"no") +
                   (IsDlgButtonChecked(dialog, IDC_TESTBAND_NOMORE) == BST_CHECKED ? L" ticked"
                                                                                   : L" unticked"));
        EndDialog(dialog, LOWORD(wp));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void RunConfirmDialog(HWND owner) {
    DialogBoxParamW(Module(), MAKEINTRESOURCEW(IDD_TESTBAND_CONFIRM), owner, ConfirmProc, 0);
}

} // namespace testband

#include "BandToolbar.h"

#include "BandRecord.h"
#include "BandResources.h"
#include "ConfirmDialog.h"

#include <commctrl.h>

namespace testband {

namespace {

const wchar_t kToolbarClass[] = L"TorvaTestBandToolbar";
WNDPROC s_toolbarProc = nullptr; // the common control's, behind ours

// As the add-in: the toolbar is disabled while its menu is up, the menu
// drops from the button's lower left corner.
void ShowMenu(HWND toolbar) {
    RECT r{};
    SendMessageW(toolbar, TB_GETRECT, IDC_TESTBAND_DROPDOWN, reinterpret_cast<LPARAM>(&r));
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&r), 2);
    HMENU menu = LoadMenuW(Module(), MAKEINTRESOURCEW(IDM_TESTBAND_MENU));
    if (!menu) return;
    EnableWindow(toolbar, FALSE);
    TPMPARAMS tpm{sizeof tpm, r};
    TrackPopupMenuEx(GetSubMenu(menu, 0), TPM_VERTICAL, r.left, r.bottom, toolbar, &tpm);
    EnableWindow(toolbar, TRUE);
    DestroyMenu(menu);
    Append(L"Toolbar", L"menu-closed");
}

std::wstring SelectedText(HWND toolbar) {
    HWND combo = GetDlgItem(toolbar, IDC_TESTBAND_COMBO);
    const auto sel = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (sel == CB_ERR) return L"none";
    wchar_t text[256] = {};
    SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(sel), reinterpret_cast<LPARAM>(text));
    return text;
}

LRESULT CALLBACK ToolbarProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) {
        const UINT id = LOWORD(wp);
        if (id == IDC_TESTBAND_INPUT && HIWORD(wp) == BN_CLICKED) {
            Append(L"Input", SelectedText(hwnd));
            return 0;
        }
        if (id == IDC_TESTBAND_COMBO && HIWORD(wp) == CBN_SELCHANGE) {
            Append(L"ComboChange",
                   std::to_wstring(SendMessageW(reinterpret_cast<HWND>(lp), CB_GETCURSEL, 0, 0)));
            return 0;
        }
        if (id >= IDM_TESTBAND_REGISTER && id <= IDM_TESTBAND_GREYED && lp == 0) {
            Append(L"Menu", std::to_wstring(id));
            if (id == IDM_TESTBAND_REGISTER) RunConfirmDialog(GetAncestor(hwnd, GA_ROOT));
            return 0;
        }
    } else if (msg == WM_MEASUREITEM) {
        reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = 16;
        return TRUE;
    } else if (msg == WM_DRAWITEM) {
        const auto* d = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
        wchar_t text[256] = {};
        if (d->itemID != static_cast<UINT>(-1))
            SendMessageW(d->hwndItem, CB_GETLBTEXT, d->itemID, reinterpret_cast<LPARAM>(text));
        TextOutW(d->hDC, d->rcItem.left, d->rcItem.top + 2, text, lstrlenW(text));
        return TRUE;
    }
    return CallWindowProcW(s_toolbarProc, hwnd, msg, wp, lp);
}

[[nodiscard]] bool RegisterToolbarClass() {
    if (s_toolbarProc) return true;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(nullptr, TOOLBARCLASSNAMEW, &wc)) return false;
    s_toolbarProc = wc.lpfnWndProc;
    wc.lpfnWndProc = ToolbarProc;
    wc.hInstance = Module();
    wc.lpszClassName = kToolbarClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void AddButton(HWND toolbar, int id, BYTE style, BYTE state, const wchar_t* text) {
    TBBUTTON b{};
    b.iBitmap = I_IMAGENONE;
    b.idCommand = id;
    b.fsState = state;
    b.fsStyle = style;
    b.iString = reinterpret_cast<INT_PTR>(text);
    SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&b));
}

} // namespace

LRESULT CALLBACK BandWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND && HIWORD(wp) == 0 && lp) {
        const HWND toolbar = reinterpret_cast<HWND>(lp);
        Append(L"Toolbar", L"click" + std::to_wstring(LOWORD(wp)));
        if (LOWORD(wp) == IDC_TESTBAND_DROPDOWN) ShowMenu(toolbar);
        return 0;
    }
    if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lp)->code == TBN_DROPDOWN) {
        const auto* n = reinterpret_cast<const NMTOOLBARW*>(lp);
        Append(L"Toolbar", L"drop" + std::to_wstring(n->iItem));
        if (n->iItem == IDC_TESTBAND_DROPDOWN) ShowMenu(n->hdr.hwndFrom);
        return TBDDRET_DEFAULT;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

HWND CreateBandToolbar(HWND band) {
    if (!RegisterToolbarClass()) return nullptr;
    RECT area{};
    GetClientRect(band, &area);
    HWND tb = CreateWindowExW(0, kToolbarClass, L"TORVA",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | TBSTYLE_LIST |
                                  TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NODIVIDER |
                                  CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_TOP,
                              0, 0, area.right, area.bottom, band, nullptr, Module(), nullptr);
    if (!tb) return nullptr;
    SendMessageW(tb, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(tb, TB_SETMAXTEXTROWS, 1, 0);
    SendMessageW(tb, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    AddButton(tb, IDC_TESTBAND_DROPDOWN, BTNS_DROPDOWN | BTNS_AUTOSIZE | BTNS_SHOWTEXT,
              TBSTATE_ENABLED, L"TORVA");
    AddButton(tb, 0, BTNS_SEP, 0, nullptr);
    AddButton(tb, IDC_TESTBAND_PLAIN, BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT, TBSTATE_ENABLED,
              L"Plain");
    AddButton(tb, IDC_TESTBAND_OFF, BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT, 0, L"Off");
    const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND input =
        CreateWindowExW(0, L"BUTTON", L"入力開始", WS_CHILD | WS_VISIBLE, 200, 1, 88, 20, tb,
                        reinterpret_cast<HMENU>(IDC_TESTBAND_INPUT), Module(), nullptr);
    SendMessageW(input, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    HWND combo = CreateWindowExW(
        0, L"COMBOBOX", L"",
        WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | CBS_DROPDOWNLIST |
            CBS_OWNERDRAWFIXED | CBS_AUTOHSCROLL | CBS_HASSTRINGS,
        290, 0, 200, 200, tb, reinterpret_cast<HMENU>(IDC_TESTBAND_COMBO), Module(), nullptr);
    SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    for (const wchar_t* entry : {L"alpha", L"beta", L"日本語の項目"})
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    return tb;
}

} // namespace testband

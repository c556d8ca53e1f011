#include "CPBToolbar.h"

#include "CReflectionWnd.h"
#include "res/resource.h"

#include "GdiScopes.h"
#include "ModuleInstance.h"
#include "Trace.h"

#include <string>

namespace {

const wchar_t kToolbarText[] = L"TORVA";
const wchar_t kInputText[] = L"入力開始";
const wchar_t kLoadingText[] = L"読込中";

int IsNewerSystem() noexcept {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExW(&info)) return 0;
#pragma GCC diagnostic pop
    return info.dwMajorVersion > 5 ? 1 : 0;
}

} // namespace

CPBToolbar::CPBToolbar() = default;

CPBToolbar::~CPBToolbar() {
    OnWindowGone();
    SetBrowser(nullptr);
    m_nLastDrawn = -1;
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

void CPBToolbar::OnWindowGone() noexcept {
    // The list's lines own their URL strings: freed before the box goes.
    if (m_hCombo && ::IsWindow(m_hCombo)) CExpData::DeleteComboBoxItem(m_hCombo);
    // A command still running must not reach the dead controls.
    m_hCombo = nullptr;
    m_hInput = nullptr;
    if (m_hImageList) {
        if (m_hWnd && ::IsWindow(m_hWnd)) SendMessage(TB_SETIMAGELIST, 0, 0);
        ::ImageList_Destroy(m_hImageList);
        m_hImageList = nullptr;
    }
}

void CPBToolbar::SetBrowser(IWebBrowser2* browser) noexcept {
    if (browser) browser->AddRef();
    if (m_pBrowser) m_pBrowser->Release();
    m_pBrowser = browser;
}

void CPBToolbar::ChangeInputButtonState(HWND button, BOOL enable) noexcept {
    if (!button) return;
    ::SetWindowTextW(button, enable ? kInputText : kLoadingText);
    ::EnableWindow(button, enable ? TRUE : FALSE);
}

void CPBToolbar::ShowIcon(int stopped) noexcept {
    const int id = stopped ? IDI_TOOLBAR_STOPPED : IDI_TOOLBAR_RUNNING;
    const int size = m_dpi.ScaleX(16);
    HIMAGELIST list = ::ImageList_Create(size, m_dpi.ScaleY(16), ILC_COLOR16 | ILC_MASK, 1, 0);
    if (!list) return;
    HICON icon = static_cast<HICON>(::LoadImageW(ComtlModuleInstance(), MAKEINTRESOURCEW(id),
                                                 IMAGE_ICON, size, m_dpi.ScaleY(16), 0));
    if (icon) {
        (void)::ImageList_AddIcon(list, icon);
        ::DestroyIcon(icon); // the list keeps its own copy
    }
    SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
    if (m_hImageList) ::ImageList_Destroy(m_hImageList);
    m_hImageList = list;
    m_nIconId = id;
}

void CPBToolbar::SetIconImage() noexcept {
    if (!m_ExpData.GetOptionData()) return; // keep what is shown
    ShowIcon(m_ExpData.m_option.m_nStopFunc == 1);
}

LRESULT CPBToolbar::OnCreate(UINT, WPARAM wParam, LPARAM lParam, BOOL& handled) {
    TORVA_TRACE_ENTER(L"CPBToolbar::OnCreate");
    // The common control builds itself first.
    const LRESULT created = DefWindowProc(WM_CREATE, wParam, lParam);
    handled = TRUE;
    if (created == -1) return -1;
    SetWindowText(kToolbarText);
    m_nNewSystem = IsNewerSystem();

    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessage(TB_SETMAXTEXTROWS, 1, 0);
    SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    // A string list: each string ends with a null and the list with another.
    static const wchar_t kStrings[] = L"TORVA\0";
    const LRESULT textIndex = SendMessage(TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(kStrings));

    (void)m_ExpData.GetOptionData();
    ShowIcon(m_ExpData.m_option.m_nStopFunc == 1);

    TBBUTTON button{};
    button.iBitmap = 0;
    button.idCommand = IDC_TOOLBAR_POP;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_DROPDOWN | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    button.iString = textIndex >= 0 ? textIndex : 0;
    SendMessage(TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
    TBBUTTON separator{};
    separator.iBitmap = 1; // a separator's width
    separator.fsStyle = BTNS_SEP;
    SendMessage(TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&separator));

    HFONT guiFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    const bool newer = m_nNewSystem != 0;
    m_hInput = ::CreateWindowExW(0, L"BUTTON", kInputText, WS_CHILD | WS_VISIBLE,
                                 m_dpi.ScaleX(newer ? 92 : 85), m_dpi.ScaleY(newer ? 1 : 0),
                                 m_dpi.ScaleX(newer ? 88 : 90), m_dpi.ScaleY(20), m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_TOOLBAR_INPUT)),
                                 ComtlModuleInstance(), nullptr);
    if (m_hInput) ::SendMessageW(m_hInput, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont), FALSE);
    m_hCombo =
        ::CreateWindowExW(0, L"COMBOBOX", L"",
                          WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_VSCROLL | CBS_DROPDOWNLIST |
                              CBS_OWNERDRAWFIXED | CBS_AUTOHSCROLL | CBS_HASSTRINGS,
                          m_dpi.ScaleX(180), 0, m_dpi.ScaleX(200), m_dpi.ScaleY(200), m_hWnd,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_TOOLBAR_COMBO)),
                          ComtlModuleInstance(), nullptr);
    if (m_hCombo) ::SendMessageW(m_hCombo, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont), FALSE);

    // The preselected entry's bold font, made once for every paint.
    LOGFONTW bold{};
    bold.lfHeight = m_dpi.ScaleY(newer ? 14 : 12);
    bold.lfWeight = FW_BOLD;
    bold.lfCharSet = DEFAULT_CHARSET;
    m_boldFont.reset(::CreateFontIndirectW(&bold));
    TORVA_TRACE_RETURN_INT(L"CPBToolbar::OnCreate", 0);
    return 0;
}

LRESULT CPBToolbar::OnDestroy(UINT, WPARAM, LPARAM, BOOL& handled) {
    OnWindowGone();
    handled = FALSE;
    return 0;
}

LRESULT CPBToolbar::OnDrawComboBox(UINT, WPARAM, LPARAM lParam, BOOL& handled) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (!item || item->CtlType != ODT_COMBOBOX) {
        handled = FALSE;
        return 0;
    }
    const LRESULT length =
        ::SendMessageW(item->hwndItem, CB_GETLBTEXTLEN, static_cast<WPARAM>(item->itemID), 0);
    if (static_cast<int>(item->itemID) < 0 || length == CB_ERR) {
        m_nLastDrawn = -1;
        return TRUE;
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT got =
        ::SendMessageW(item->hwndItem, CB_GETLBTEXT, static_cast<WPARAM>(item->itemID),
                       reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    m_nLastDrawn = m_nPreselected;
    const bool preselected = static_cast<int>(item->itemID) == m_nPreselected;
    HGDIOBJ font =
        preselected && m_boldFont ? m_boldFont.get() : ::GetStockObject(DEFAULT_GUI_FONT);
    const torva::SelectedObject selected(item->hDC, font);
    ::SetTextColor(item->hDC, RGB(0, 0, 0));
    ::SetBkColor(item->hDC, RGB(255, 255, 255));
    ::TextOutW(item->hDC, item->rcItem.left, item->rcItem.top + 3, text.c_str(),
               static_cast<int>(text.size()));
    return TRUE;
}

LRESULT CPBToolbar::OnNotify(UINT, WPARAM, LPARAM lParam, BOOL&) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header && header->code == TBN_DROPDOWN &&
        reinterpret_cast<const NMTOOLBARW*>(lParam)->iItem == IDC_TOOLBAR_POP) {
        OpenMenu();
        return TBDDRET_DEFAULT;
    }
    // The toolbar's own drawing asks here too: -1 would carry
    // CDRF_SKIPDEFAULT and leave its buttons undrawn.
    if (header && header->code == NM_CUSTOMDRAW) return CDRF_DODEFAULT;
    return -1;
}

LRESULT CPBToolbar::OnClickedPop(WORD, WORD, HWND, BOOL&) {
    OpenMenu();
    return 0;
}

void CPBToolbar::OpenMenu() noexcept {
    TORVA_TRACE_ENTER(L"CPBToolbar::OpenMenu");
    if (m_menuOpen) return; // the drop-down arrow and the click both ask
    const CReflectionWnd::OwnerHold hold(m_pHost);
    m_menuOpen = true;
    SetIconImage();
    EnableWindow(FALSE);
    RECT rect{};
    SendMessage(TB_GETRECT, IDC_TOOLBAR_POP, reinterpret_cast<LPARAM>(&rect));
    ::MapWindowPoints(m_hWnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    HMENU menu = ::LoadMenuW(ComtlModuleInstance(), MAKEINTRESOURCEW(IDR_TOOLBAR_MENU));
    if (menu) {
        HMENU popup = ::GetSubMenu(menu, 0);
        const BOOL read = m_ExpData.GetOptionData();
        const bool stopped = read && m_ExpData.m_option.m_nStopFunc == 1;
        ::ModifyMenuW(popup, 2, MF_BYPOSITION | MF_STRING, ID_MENU_ONOFF,
                      stopped ? L"機能開始(&S)" : L"機能停止(&S)");
        TPMPARAMS exclude{sizeof(TPMPARAMS), rect};
        ::TrackPopupMenuEx(popup, TPM_VERTICAL, rect.left, rect.bottom, m_hWnd, &exclude);
        ::DestroyMenu(menu);
    }
    EnableWindow(TRUE);
    m_menuOpen = false;
}

void CPBToolbar::RefreshComboBox() noexcept {
    const BOOL enable = m_ExpData.SetComboBox(m_hCombo, m_pBrowser);
    m_nPreselected = m_ExpData.m_nPreselectedIndex;
    if (m_hCombo) ::EnableWindow(m_hCombo, enable);
    if (m_hInput) ::EnableWindow(m_hInput, enable);
}

LRESULT CPBToolbar::OnClickedInput(WORD, WORD, HWND, BOOL&) {
    TORVA_TRACE_ENTER(L"CPBToolbar::OnClickedInput");
    // The fill's store is this toolbar's.
    const CReflectionWnd::OwnerHold hold(m_pHost);
    ChangeInputButtonState(m_hInput, FALSE);
    const LRESULT selection = ::SendMessageW(m_hCombo, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR) {
        ChangeInputButtonState(m_hInput, TRUE);
        return 0;
    }
    const LRESULT length =
        ::SendMessageW(m_hCombo, CB_GETLBTEXTLEN, static_cast<WPARAM>(selection), 0);
    const LRESULT data =
        ::SendMessageW(m_hCombo, CB_GETITEMDATA, static_cast<WPARAM>(selection), 0);
    if (length > 0 && data != CB_ERR && data != 0) {
        std::wstring name(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT got = ::SendMessageW(m_hCombo, CB_GETLBTEXT, static_cast<WPARAM>(selection),
                                           reinterpret_cast<LPARAM>(name.data()));
        name.resize(got > 0 ? static_cast<size_t>(got) : 0);
        // Copies: the fill runs modal loops in which the list may be refilled
        // and its lines' strings freed.
        const std::wstring url = *reinterpret_cast<const std::wstring*>(data);
        if (m_ExpData.GetOptionData() && m_ExpData.m_option.m_nStopFunc == 0 && m_pBrowser) {
            CComPtr<IWebBrowser2> browser(m_pBrowser);
            (void)m_ExpData.AutoInput(browser, url, name);
        }
    }
    ChangeInputButtonState(m_hInput, TRUE);
    return 0;
}

LRESULT CPBToolbar::OnCloseEditTool(UINT, WPARAM, LPARAM, BOOL&) {
    TORVA_TRACE_ENTER(L"CPBToolbar::OnCloseEditTool");
    const CReflectionWnd::OwnerHold hold(m_pHost);
    (void)m_ExpData.SetURLData(CExpData::URL_RENEW);
    RefreshComboBox();
    return 0;
}

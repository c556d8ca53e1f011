// The band's visible part: a toolbar ("TORVA_IEMILTEY_TOOLBAR" over the
// common controls' "ToolbarWindow32") with the drop-down button 102 that
// carries the product's icon and opens the menu, the input button 106 and
// the owner-drawn list 105 of the stored entries for the current page.
//
// UI thread only. The window is created by CReflectionWnd, which passes its
// own messages through this map first. Each command keeps the band alive
// through that window while it runs (CReflectionWnd::OwnerHold): its loops
// dispatch messages, and the browser may let the band go meanwhile.
#pragma once

#include "CExpData.h"
#include "DpiScale.h"
#include "res/resource.h"

#include "CComPtr.h"
#include "CWindowImpl.h"
#include "Win32Handles.h"

#include <windows.h>
#include <commctrl.h>
#include <exdisp.h>
#include <mshtml.h>

#include <cstdint>

// Toolbar control ids, menu commands and the manager's message.
class CReflectionWnd;

enum : UINT {
    IDC_TOOLBAR_POP = 102,
    IDC_TOOLBAR_COMBO = 105,
    IDC_TOOLBAR_INPUT = 106,
    WM_TOOLBAR_EDITTOOL_CLOSED = WM_USER + 400, // posted by the data manager
};

class CPBToolbar : public CWindowImpl<CPBToolbar> {
public:
    DECLARE_WND_SUPERCLASS(L"TORVA_IEMILTEY_TOOLBAR", TOOLBARCLASSNAMEW)

    CPBToolbar();
    ~CPBToolbar();
    CPBToolbar(const CPBToolbar&) = delete;
    CPBToolbar& operator=(const CPBToolbar&) = delete;

    BEGIN_MSG_MAP(CPBToolbar)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_DRAWITEM, OnDrawComboBox)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    COMMAND_HANDLER(IDC_TOOLBAR_POP, 0, OnClickedPop)
    COMMAND_ID_HANDLER(IDC_TOOLBAR_INPUT, OnClickedInput)
    COMMAND_ID_HANDLER(ID_MENU_REG, OnMenuReg)
    COMMAND_ID_HANDLER(ID_MENU_MANAGE, OnMenuManage)
    COMMAND_ID_HANDLER(ID_MENU_ONOFF, OnMenuOnOff)
    COMMAND_ID_HANDLER(ID_MENU_OPTION, OnMenuOption)
    MESSAGE_HANDLER(WM_TOOLBAR_EDITTOOL_CLOSED, OnCloseEditTool)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    // The window that holds this toolbar and keeps the band alive while a
    // command runs; set by that window.
    void SetHost(CReflectionWnd* host) noexcept { m_pHost = host; }
    // Keeps a counted reference (the old one is released); null clears it.
    void SetBrowser(IWebBrowser2* browser) noexcept;
    IWebBrowser2* Browser() const noexcept { return m_pBrowser; }
    HWND ComboBox() const noexcept { return m_hCombo; }
    HWND InputButton() const noexcept { return m_hInput; }
    CExpData& Store() noexcept { return m_ExpData; }
    void SetPreselectedIndex(int index) noexcept { m_nPreselected = index; }
    int PreselectedIndex() const noexcept { return m_nPreselected; }
    int LastDrawnIndex() const noexcept { return m_nLastDrawn; }
    // The icon now shown: 222 running, 225 stopped; 0 before the first.
    int IconId() const noexcept { return m_nIconId; }

    // "入力開始" and enabled, or "読込中" and disabled.
    static void ChangeInputButtonState(HWND button, BOOL enable) noexcept;
    // Re-reads the options and shows the icon for STOPFUNC.
    void SetIconImage() noexcept;
    // The page's document whose forms can be registered, or null (a new
    // reference the caller releases). showMessage: tell the user when the
    // page has none; allowChoice: let the user pick among several frames.
    [[nodiscard]] IHTMLDocument2* GetHTMLDocument(IWebBrowser2* browser, BOOL showMessage,
                                                  BOOL allowChoice);
    static BOOL CheckSecurityMode(IHTMLDocument2*) noexcept { return TRUE; }

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDrawComboBox(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClickedPop(WORD, WORD, HWND, BOOL&);
    LRESULT OnClickedInput(WORD, WORD, HWND, BOOL&);
    LRESULT OnMenuReg(WORD, WORD, HWND, BOOL&);
    LRESULT OnMenuManage(WORD, WORD, HWND, BOOL&);
    LRESULT OnMenuOnOff(WORD, WORD, HWND, BOOL&);
    LRESULT OnMenuOption(WORD, WORD, HWND, BOOL&);
    LRESULT OnCloseEditTool(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);

    // Shows icon 225 when stopped is non-zero, else 222; the image list
    // shown before is destroyed.
    void ShowIcon(int stopped) noexcept;
    void OpenMenu() noexcept;
    // SetComboBox and the enabling of the list and the input button.
    void RefreshComboBox() noexcept;
    void OnWindowGone() noexcept;

    CReflectionWnd* m_pHost = nullptr;
    HWND m_hCombo = nullptr;
    HWND m_hInput = nullptr;
    int m_nNewSystem = 0;
    HIMAGELIST m_hImageList = nullptr;
    int m_nIconId = 0;
    IWebBrowser2* m_pBrowser = nullptr; // counted
    CExpData m_ExpData;
    int m_nPreselected = -1;
    int m_nLastDrawn = -1;
    DpiScale m_dpi;
    torva::UniqueGdiObject m_boldFont; // the preselected entry's font, made once
    bool m_menuOpen = false;
};

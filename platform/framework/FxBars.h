// The frame's bars. CToolBar: a tool bar made from a tool bar resource (the
// button ids, 0 for a separator, and the image size) with its bitmap as the
// images; the program may give it another image list. CStatusBar: a status
// bar whose first pane holds the prompts and whose other panes are the
// indicators of string ids (caps, num and scroll lock shown while on).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "CView.h"
#include "CWnd.h"

class CImageList;

// Bar styles (GetBarStyle / SetBarStyle).
inline constexpr DWORD CBRS_TOOLTIPS = 0x0010; // buttons show their tips
inline constexpr DWORD CBRS_FLYBY = 0x8000;    // pointing at a button shows its prompt
inline constexpr DWORD CBRS_ALIGN_TOP = 0x1000;
inline constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | 0x0200;
inline constexpr DWORD CBRS_BOTTOM = 0x2000 | 0x0100;

// Indicator ids of the status bar (their strings are the program's).
inline constexpr UINT ID_SEPARATOR = 0;
inline constexpr UINT ID_INDICATOR_CAPS = 0xE041;
inline constexpr UINT ID_INDICATOR_NUM = 0xE042;
inline constexpr UINT ID_INDICATOR_SCRL = 0xE043;

class CToolBarCtrl : public CWnd {
public:
    // Returns the old list; the caller keeps list alive while it is set.
    HIMAGELIST SetImageList(CImageList* list);
    int GetButtonCount() const noexcept { return static_cast<int>(SendMessage(TB_BUTTONCOUNT)); }
    BOOL IsButtonEnabled(int id) const noexcept {
        return SendMessage(TB_ISBUTTONENABLED, static_cast<WPARAM>(id)) != 0;
    }
};

class CToolBar : public CWnd {
    DECLARE_DYNAMIC(CToolBar)

public:
    // ctrlStyle: TBSTYLE_ (TBSTYLE_FLAT); style: window styles with the
    // CBRS_ bar styles.
    BOOL CreateEx(CWnd* parent, DWORD ctrlStyle = TBSTYLE_FLAT,
                  DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP, UINT id = AFX_IDW_TOOLBAR);
    // The buttons of tool bar resource id, with the images of bitmap id.
    BOOL LoadToolBar(UINT id);
    CToolBarCtrl& GetToolBarCtrl() const noexcept {
        return *static_cast<CToolBarCtrl*>(static_cast<CWnd*>(const_cast<CToolBar*>(this)));
    }
    DWORD GetBarStyle() const noexcept { return m_barStyle; }
    void SetBarStyle(DWORD style) noexcept { m_barStyle = style; }

private:
    DWORD m_barStyle = 0;
};

class CStatusBar : public CWnd {
    DECLARE_DYNAMIC(CStatusBar)
    DECLARE_MESSAGE_MAP()

public:
    BOOL Create(CWnd* parent, DWORD style = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT id = AFX_IDW_STATUS_BAR);
    // Pane 0 is ID_SEPARATOR (the prompts, the idle text first); the others
    // take their width from their strings.
    BOOL SetIndicators(const UINT* ids, int count);
    BOOL SetPaneText(int index, const wchar_t* text);
    CString GetPaneText(int index) const;
    int GetCount() const noexcept { return static_cast<int>(m_ids.size()); }
    // Shows each lock indicator while its key is on.
    void UpdateIndicators();

    void OnSize(UINT type, int cx, int cy);

private:
    LRESULT OnIdleUpdate(WPARAM wParam, LPARAM lParam);
    void SetParts();
    std::vector<UINT> m_ids;
    std::vector<int> m_widths;
};

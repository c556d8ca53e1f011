// CFrameWnd: the main window of a document/view program. LoadFrame makes it
// from one resource id: the title (the text before the first "\n" of that
// string), the menu, the accelerators and the icon. Its client area holds
// the tool bar (id AFX_IDW_TOOLBAR) at the top, the status bar
// (AFX_IDW_STATUS_BAR) at the bottom and the pane (AFX_IDW_PANE_FIRST: a
// view or a splitter) in between.
//
// Commands go to the active view, then the frame, then the application.
// Menu items and tool buttons are enabled by their ON_UPDATE_COMMAND_UI rows
// (before a menu opens, and at idle time for the tool bar); one without such
// a row is enabled exactly when some target handles the command. Selecting a
// menu item or pointing at a button shows the text before the "\n" of the
// command's string in the status bar; a button's tip is the text after it.
// The frame deletes itself when its window is gone.
#pragma once

#include <windows.h>

#include "CMenu.h"
#include "CView.h"
#include "CWnd.h"

class CCmdUI;
class CDocument;

// Frame style: the document's title is put before the frame's title.
inline constexpr DWORD FWS_ADDTOTITLE = 0x00008000;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
    DECLARE_MESSAGE_MAP()

public:
    CFrameWnd() = default;

    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    virtual BOOL LoadFrame(UINT resourceId, DWORD style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* parent = nullptr, CCreateContext* context = nullptr);
    // Makes the pane: by default one view of the context's class.
    virtual BOOL OnCreateClient(LPCREATESTRUCT cs, CCreateContext* context);
    // Runs every view's OnInitialUpdate, makes the first view active and,
    // when asked, shows the frame as the application was told to show.
    virtual void InitialUpdateFrame(CDocument* document, BOOL makeVisible);
    // Places the bars and the pane in the client area.
    virtual void RecalcLayout();

    CView* GetActiveView() const noexcept { return m_pActiveView; }
    void SetActiveView(CView* view) noexcept { m_pActiveView = view; }
    const CString& GetTitle() const noexcept { return m_strTitle; }
    // Text of status bar pane 0 (nothing without a status bar).
    void SetMessageText(const wchar_t* text);
    void SetMessageText(UINT stringId);

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    // Offers ui to the view, the frame and the application in turn; enables
    // or disables it by the handlers when none answers.
    void RouteCommandUI(CCmdUI& ui);

    int OnCreate(LPCREATESTRUCT cs);
    void OnClose();
    void OnSize(UINT type, int cx, int cy);

protected:
    void PostNcDestroy() override;
    void OnUpdateFrameTitle();

    CString m_strTitle;
    CView* m_pActiveView = nullptr;
    CDocument* m_pDocument = nullptr;
    CMenu m_menu;
    CAcceleratorTable m_accelerators;
    bool m_addToTitle = false;

private:
    friend class CDocTemplate;
    bool* m_pDeleted = nullptr; // told when PostNcDestroy deletes the object
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuSelect(WPARAM wParam, LPARAM lParam);
    LRESULT OnExitMenuLoop(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdate(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetFocusMessage(WPARAM wParam, LPARAM lParam);
    void OnToggleBar(UINT id);
    void OnUpdateBar(CCmdUI* ui);
    void OnAppExit();
    HWND Bar(UINT id) const noexcept { return ::GetDlgItem(m_hWnd, static_cast<int>(id)); }
    CString m_tipText; // the text a tool tip was last given
    UINT m_resourceId = 0;
};

// Up to and after the first "\n" of string id (the status text and the tip).
CString FxCommandPrompt(UINT stringId, bool tip);

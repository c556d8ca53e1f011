// CView: a child window that shows its document, made by a frame or a
// splitter pane from its run-time class (CCreateContext names the class and
// the document). A view deletes itself when its window is gone. CTreeView
// is a view that is a tree control; CEditView one that is an edit control.
#pragma once

#include <windows.h>

#include "CTreeCtrl.h"
#include "CWnd.h"
#include "FxControls.h"

class CDocTemplate;
class CDocument;
class CFrameWnd;

struct CCreateContext {
    const CRuntimeClass* m_pNewViewClass = nullptr;
    CDocument* m_pCurrentDoc = nullptr;
    CDocTemplate* m_pNewDocTemplate = nullptr;
};

// Ids of the frame's children.
inline constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
inline constexpr UINT AFX_IDW_TOOLBAR = 0xE800;
inline constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
// Styles of a view window (a splitter pane or the frame's only view).
inline constexpr DWORD AFX_WS_DEFAULT_VIEW = WS_CHILD | WS_VISIBLE;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
    DECLARE_MESSAGE_MAP()

public:
    ~CView() override;

    CDocument* GetDocument() const noexcept { return m_pDocument; }
    // The frame holding the view (its nearest frame ancestor), or null.
    CFrameWnd* GetParentFrame() const;

    // Adjusts the creation styles and class before the window is made.
    virtual BOOL PreCreateWindow(CREATESTRUCTW& cs);
    using CWnd::Create;
    // Makes the view's window; context names the document it joins.
    virtual BOOL Create(const wchar_t* className, const wchar_t* windowName, DWORD style,
                        const RECT& rect, CWnd* parent, UINT id, CCreateContext* context);

    // Once, after the frame and all views are made: the default calls
    // OnUpdate.
    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);

    int OnCreate(LPCREATESTRUCT cs);

protected:
    void PostNcDestroy() override;
    // Styles of cs the control takes only once it exists: removed from cs
    // here and set right after creation. The default keeps every style.
    virtual DWORD TakeStylesForLater(CREATESTRUCTW& cs);

private:
    friend class CDocument;
    friend CView* AfxCreateView(const CRuntimeClass*, CWnd*, UINT, const RECT&, CCreateContext*);
    CDocument* m_pDocument = nullptr;
    bool* m_pDeleted = nullptr; // told when PostNcDestroy deletes the object
};

// A view that is a tree control (its notifications reach its own map through
// ON_NOTIFY_REFLECT).
class CTreeView : public CView {
    DECLARE_DYNAMIC(CTreeView)

public:
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;

protected:
    // The tree control lays out check boxes only when TVS_CHECKBOXES is set
    // after its creation (and before items are inserted).
    DWORD TakeStylesForLater(CREATESTRUCTW& cs) override;

public:
    // CTreeCtrl adds no members to CWnd: the view's window serves as one.
    CTreeCtrl& GetTreeCtrl() const noexcept {
        return *static_cast<CTreeCtrl*>(static_cast<CWnd*>(const_cast<CTreeView*>(this)));
    }
};

// A view that is a multi-line edit control (the program adds ES_READONLY
// for a report that is only read).
class CEditView : public CView {
    DECLARE_DYNAMIC(CEditView)

public:
    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    CEdit& GetEditCtrl() const noexcept {
        return *static_cast<CEdit*>(static_cast<CWnd*>(const_cast<CEditView*>(this)));
    }
};

// A view made by CreateView from its run-time class; null when the class is
// no view or the window could not be made (the object is then deleted).
CView* AfxCreateView(const CRuntimeClass* viewClass, CWnd* parent, UINT id, const RECT& rect,
                     CCreateContext* context);

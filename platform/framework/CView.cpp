#include "CView.h"

#include <commctrl.h>

#include "CDocument.h"
#include "CFrameWnd.h"
#include "ModuleInstance.h"

namespace {

constexpr wchar_t kViewClass[] = L"TorvaFxView";

const wchar_t* ViewClass() {
    static const ATOM atom = [] {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ComtlModuleInstance();
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = kViewClass;
        return ::RegisterClassExW(&wc);
    }();
    return atom ? kViewClass : nullptr;
}

} // namespace

IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CTreeView, CView)
IMPLEMENT_DYNAMIC(CEditView, CView)

BEGIN_MESSAGE_MAP(CView, CWnd)
ON_WM_CREATE()
END_MESSAGE_MAP()

CView::~CView() {
    if (m_pDocument) m_pDocument->RemoveView(this);
}

CFrameWnd* CView::GetParentFrame() const {
    for (HWND window = ::GetParent(m_hWnd); window; window = ::GetParent(window)) {
        CWnd* object = CWnd::FromHandlePermanent(window);
        if (object && object->IsKindOf(RUNTIME_CLASS(CFrameWnd)))
            return static_cast<CFrameWnd*>(object);
    }
    return nullptr;
}

BOOL CView::PreCreateWindow(CREATESTRUCTW& cs) {
    if (!cs.lpszClass) cs.lpszClass = ViewClass();
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return cs.lpszClass != nullptr;
}

BOOL CView::Create(const wchar_t* className, const wchar_t* windowName, DWORD style,
                   const RECT& rect, CWnd* parent, UINT id, CCreateContext* context) {
    CREATESTRUCTW cs{};
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = style | WS_CHILD;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.right - rect.left;
    cs.cy = rect.bottom - rect.top;
    cs.hwndParent = parent ? parent->GetSafeHwnd() : nullptr;
    cs.lpCreateParams = context;
    if (!PreCreateWindow(cs)) return FALSE;
    const DWORD later = TakeStylesForLater(cs);
    const RECT placed{cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy};
    if (!CreateEx(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, placed, parent, id,
                  cs.lpCreateParams))
        return FALSE;
    if (later) ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, GetStyle() | static_cast<LONG_PTR>(later));
    return TRUE;
}

DWORD CView::TakeStylesForLater(CREATESTRUCTW&) {
    return 0;
}

DWORD CTreeView::TakeStylesForLater(CREATESTRUCTW& cs) {
    const DWORD later = static_cast<DWORD>(cs.style) & TVS_CHECKBOXES;
    cs.style &= ~static_cast<LONG>(later);
    return later;
}

int CView::OnCreate(LPCREATESTRUCT cs) {
    if (Default() == -1) return -1;
    // Joins the document named by the creator.
    auto* context = cs ? static_cast<CCreateContext*>(cs->lpCreateParams) : nullptr;
    if (context && context->m_pCurrentDoc) context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnInitialUpdate() {
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*) {
    Invalidate(TRUE);
}

void CView::PostNcDestroy() {
    if (m_pDeleted) *m_pDeleted = true;
    delete this;
}

BOOL CTreeView::PreCreateWindow(CREATESTRUCTW& cs) {
    cs.lpszClass = WC_TREEVIEWW;
    return CView::PreCreateWindow(cs);
}

BOOL CEditView::PreCreateWindow(CREATESTRUCTW& cs) {
    cs.lpszClass = L"EDIT";
    cs.style |=
        WS_HSCROLL | WS_VSCROLL | ES_AUTOHSCROLL | ES_AUTOVSCROLL | ES_MULTILINE | ES_NOHIDESEL;
    return CView::PreCreateWindow(cs);
}

CView* AfxCreateView(const CRuntimeClass* viewClass, CWnd* parent, UINT id, const RECT& rect,
                     CCreateContext* context) {
    if (!viewClass || !viewClass->IsDerivedFrom(RUNTIME_CLASS(CView))) return nullptr;
    CObject* object = viewClass->CreateObject();
    if (!object) return nullptr;
    auto* view = static_cast<CView*>(object);
    bool deleted = false;
    view->m_pDeleted = &deleted;
    const BOOL made =
        view->Create(nullptr, nullptr, AFX_WS_DEFAULT_VIEW, rect, parent, id, context);
    if (deleted) return nullptr; // its window was made and refused its creation
    view->m_pDeleted = nullptr;
    if (!made) {
        delete view; // no window was ever made, so nothing else frees it
        return nullptr;
    }
    return view;
}

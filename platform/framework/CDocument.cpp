#include "CDocument.h"

#include <algorithm>

#include "CView.h"

IMPLEMENT_DYNCREATE(CDocument, CCmdTarget)

CDocument::~CDocument() {
    // Views outlive a document only in a program's error path: they forget it.
    for (CView* view : m_views)
        view->m_pDocument = nullptr;
}

BOOL CDocument::OnNewDocument() {
    SetTitle(L"無題");
    return TRUE;
}

BOOL CDocument::OnOpenDocument(const wchar_t* path) {
    CString name(path ? path : L"");
    const int slash = name.ReverseFind(L'\\');
    if (slash >= 0) name = name.Mid(slash + 1);
    SetTitle(name);
    return TRUE;
}

void CDocument::SetTitle(const wchar_t* title) {
    m_strTitle = title ? title : L"";
}

void CDocument::AddView(CView* view) {
    if (!view || std::find(m_views.begin(), m_views.end(), view) != m_views.end()) return;
    m_views.push_back(view);
    view->m_pDocument = this;
}

void CDocument::RemoveView(CView* view) {
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
    if (view && view->m_pDocument == this) view->m_pDocument = nullptr;
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
    const std::vector<CView*> views = m_views;
    for (CView* view : views)
        if (view != sender) view->OnUpdate(sender, hint, hintObject);
}

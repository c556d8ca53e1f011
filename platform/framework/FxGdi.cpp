#include "FxGdi.h"

#include "CWinApp.h"
#include "CWnd.h"

BOOL CGdiObject::Attach(HGDIOBJ object) noexcept {
    if (m_hObject || !object) return FALSE;
    m_hObject = object;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() noexcept {
    const HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    return object;
}

BOOL CGdiObject::DeleteObject() noexcept {
    if (!m_hObject) return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CBitmap::LoadBitmap(UINT id) {
    return Attach(::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id)));
}

BOOL CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height) {
    return Attach(::CreateCompatibleBitmap(dc, width, height));
}

BOOL CBitmap::GetBitmap(BITMAP* info) const noexcept {
    return m_hObject && ::GetObjectW(m_hObject, sizeof(BITMAP), info) == sizeof(BITMAP);
}

CPaintDC::CPaintDC(CWnd* window) noexcept : m_hWnd(window ? window->m_hWnd : nullptr) {
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
}

CPaintDC::~CPaintDC() {
    if (m_hDC) ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* window) noexcept : m_hWnd(window ? window->m_hWnd : nullptr) {
    m_hDC = ::GetDC(m_hWnd);
}

CClientDC::~CClientDC() {
    if (m_hDC) ::ReleaseDC(m_hWnd, m_hDC);
}

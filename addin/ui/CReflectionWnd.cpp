#include "CReflectionWnd.h"

CReflectionWnd::~CReflectionWnd() {
    m_deferred = nullptr;
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

LRESULT CReflectionWnd::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
    RECT client{};
    GetClientRect(&client);
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | TBSTYLE_TRANSPARENT |
                        TBSTYLE_REGISTERDROP | TBSTYLE_LIST | TBSTYLE_FLAT | TBSTYLE_WRAPABLE |
                        TBSTYLE_TOOLTIPS | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_NORESIZE |
                        CCS_TOP;
    if (!m_toolbar.Create(m_hWnd, client, nullptr, style)) return -1;
    return 0;
}

LRESULT CReflectionWnd::OnDeferred(UINT, WPARAM, LPARAM, BOOL&) {
    if (m_deferred) {
        const std::function<void()> work = m_deferred; // may reset itself
        work();
    }
    return 0;
}

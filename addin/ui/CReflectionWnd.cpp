#include "CReflectionWnd.h"

#include <utility>

CReflectionWnd::CReflectionWnd() {
    m_toolbar.SetHost(this);
}

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

CReflectionWnd::OwnerHold::OwnerHold(CReflectionWnd* host) noexcept
    : m_host(host && host->m_owner ? host : nullptr) {
    if (m_host) m_host->m_owner->AddRef();
}

CReflectionWnd::OwnerHold::~OwnerHold() {
    if (m_host) m_host->LetGoLater();
}

void CReflectionWnd::LetGoLater() noexcept {
    ++m_finishedHolds;
    if (m_hWnd && PostMessage(WM_REFLECTION_LETGO)) return;
    // No window left to post to, nor any of ours on the stack.
    LetGoNow();
}

void CReflectionWnd::LetGoNow() noexcept {
    IUnknown* owner = m_owner;
    if (!owner) return;
    for (int count = std::exchange(m_finishedHolds, 0); count > 0; --count)
        owner->Release(); // the last may destroy this object: no member after
}

LRESULT CReflectionWnd::OnLetGo(UINT, WPARAM, LPARAM, BOOL&) {
    LetGoNow();
    return 0;
}

void CReflectionWnd::OnFinalMessage(HWND) {
    // The window went before its message came.
    LetGoNow();
}

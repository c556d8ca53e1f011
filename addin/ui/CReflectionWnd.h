// The band's window in the browser's band site: it creates the toolbar over
// its whole client area and passes every message through the toolbar's map
// first. The band also posts itself its deferred page work here.
#pragma once

#include "CPBToolbar.h"

#include "CWindowImpl.h"

#include <functional>

class CReflectionWnd : public CWindowImpl<CReflectionWnd> {
public:
    DECLARE_WND_CLASS(L"TORVA_REFLECTION_WINDOW")

    // Posted to this window: runs the callback set by SetDeferredWork.
    static constexpr UINT WM_REFLECTION_DEFERRED = WM_APP + 0x140;

    CReflectionWnd() = default;
    ~CReflectionWnd();

    BEGIN_MSG_MAP(CReflectionWnd)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_REFLECTION_DEFERRED, OnDeferred)
    CHAIN_MSG_MAP_MEMBER(m_toolbar)
    END_MSG_MAP()

    CPBToolbar& Toolbar() noexcept { return m_toolbar; }
    // What a WM_REFLECTION_DEFERRED message runs; cleared with nullptr.
    void SetDeferredWork(std::function<void()> work) { m_deferred = std::move(work); }

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDeferred(UINT, WPARAM, LPARAM, BOOL&);

    CPBToolbar m_toolbar;
    std::function<void()> m_deferred;
};

// The band's window in the browser's band site: it creates the toolbar over
// its whole client area and passes every message through the toolbar's map
// first. The band also posts itself its deferred page work here.
//
// The toolbar's commands run loops that dispatch messages (relay waits, the
// PIN dialog, modal dialogs, the popup menu), in which the browser may let
// the band go. A command keeps the band alive with an OwnerHold; the
// reference comes back by a message posted here, once no window procedure of
// the command is left on the stack (the common control that sent the command
// may still use its window after the command returns), or when this window
// is destroyed before that message came.
#pragma once

#include "CPBToolbar.h"

#include "CWindowImpl.h"

#include <windows.h>
#include <unknwn.h>

#include <functional>

class CReflectionWnd : public CWindowImpl<CReflectionWnd> {
public:
    DECLARE_WND_CLASS(L"TORVA_REFLECTION_WINDOW")

    // Posted to this window: runs the callback set by SetDeferredWork.
    static constexpr UINT WM_REFLECTION_DEFERRED = WM_APP + 0x140;
    // Posted to this window: gives back the references of finished holds.
    static constexpr UINT WM_REFLECTION_LETGO = WM_APP + 0x141;

    CReflectionWnd();
    ~CReflectionWnd();
    CReflectionWnd(const CReflectionWnd&) = delete;
    CReflectionWnd& operator=(const CReflectionWnd&) = delete;

    BEGIN_MSG_MAP(CReflectionWnd)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_REFLECTION_DEFERRED, OnDeferred)
    MESSAGE_HANDLER(WM_REFLECTION_LETGO, OnLetGo)
    CHAIN_MSG_MAP_MEMBER(m_toolbar)
    END_MSG_MAP()

    CPBToolbar& Toolbar() noexcept { return m_toolbar; }
    // What a WM_REFLECTION_DEFERRED message runs; cleared with nullptr.
    void SetDeferredWork(std::function<void()> work) { m_deferred = std::move(work); }
    // The COM object these windows belong to (the band), not counted; null
    // when they belong to none.
    void SetOwner(IUnknown* owner) noexcept { m_owner = owner; }

    // Keeps the owner alive while a command runs; nothing without an owner.
    class OwnerHold {
    public:
        explicit OwnerHold(CReflectionWnd* host) noexcept;
        ~OwnerHold();
        OwnerHold(const OwnerHold&) = delete;
        OwnerHold& operator=(const OwnerHold&) = delete;

    private:
        CReflectionWnd* m_host;
    };

    void OnFinalMessage(HWND) override;

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDeferred(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLetGo(UINT, WPARAM, LPARAM, BOOL&);
    // A finished hold's reference, given back by a posted message.
    void LetGoLater() noexcept;
    // Releases the references of finished holds; the last may destroy the
    // owner and with it this object.
    void LetGoNow() noexcept;

    CPBToolbar m_toolbar;
    std::function<void()> m_deferred;
    IUnknown* m_owner = nullptr;
    int m_finishedHolds = 0;
};

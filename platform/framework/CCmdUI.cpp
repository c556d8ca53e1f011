#include "CCmdUI.h"

#include <commctrl.h>

#include "CCmdTarget.h"

void CCmdUI::Enable(BOOL on) {
    m_bEnableChanged = true;
    if (m_hMenu) {
        ::EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
    } else if (m_hToolBar) {
        // Only a change is sent: the bar repaints the button on every call.
        const bool enabled = ::SendMessageW(m_hToolBar, TB_ISBUTTONENABLED, m_nID, 0) != 0;
        if (enabled != (on != FALSE))
            ::SendMessageW(m_hToolBar, TB_ENABLEBUTTON, m_nID, MAKELPARAM(on ? TRUE : FALSE, 0));
    }
}

void CCmdUI::SetCheck(int check) {
    if (m_hMenu) {
        ::CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_hToolBar) {
        ::SendMessageW(m_hToolBar, TB_CHECKBUTTON, m_nID, MAKELPARAM(check ? TRUE : FALSE, 0));
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* target) {
    if (!target) return FALSE;
    LRESULT ignored = 0;
    return target->DispatchToMap(kFxMsgUpdateCommandUI, m_nID, reinterpret_cast<LPARAM>(this),
                                 &ignored);
}

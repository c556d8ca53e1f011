#include "CNotifyMsg.h"

#include "TraceScope.h"

namespace mablix {

CNotifyMsg::CNotifyMsg(CWnd* parent) : CDialog(IDD, parent) {
    TORVA_TRACE_SCOPE(L"CNotifyMsg::CNotifyMsg");
    TORVA_TRACE_DETAIL(L"pParent = 0x%08X",
                       static_cast<unsigned>(reinterpret_cast<UINT_PTR>(parent)));
}

CNotifyMsg::~CNotifyMsg() {
    TORVA_TRACE_SCOPE(L"CNotifyMsg::~CNotifyMsg");
}

BOOL CNotifyMsg::OnInitDialog() {
    TORVA_TRACE_SCOPE(L"CNotifyMsg::OnInitDialog");
    CDialog::OnInitDialog();
    // The text is shown explicitly: the box appears while its owner is busy
    // and may not be repainted until loading ends.
    if (CWnd* text = GetDlgItem(IDC_STATIC_NOTIFY)) {
        text->ShowWindow(SW_SHOW);
        text->UpdateWindow();
    }
    TORVA_RETURN_BOOL(TRUE);
}

} // namespace mablix

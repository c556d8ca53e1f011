#include "CUpdateMsg.h"

#include "TraceScope.h"

namespace mablix {

CUpdateMsg::CUpdateMsg(CWnd* parent) : CDialog(IDD, parent) {
    TORVA_TRACE_SCOPE(L"CUpdateMsg::CUpdateMsg");
    TORVA_TRACE_DETAIL(L"pParent = 0x%08X",
                       static_cast<unsigned>(reinterpret_cast<UINT_PTR>(parent)));
}

CUpdateMsg::~CUpdateMsg() {
    TORVA_TRACE_SCOPE(L"CUpdateMsg::~CUpdateMsg");
}

BOOL CUpdateMsg::OnInitDialog() {
    TORVA_TRACE_SCOPE(L"CUpdateMsg::OnInitDialog");
    CDialog::OnInitDialog();
    TORVA_RETURN_BOOL(TRUE);
}

} // namespace mablix

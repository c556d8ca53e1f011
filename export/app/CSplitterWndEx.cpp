#include "CSplitterWndEx.h"

#include "CDataInfoView.h"
#include "VantrelGlobals.h"

BEGIN_MESSAGE_MAP(CSplitterWndEx, CSplitterWnd)
ON_MESSAGE(WM_CTLCOLOREDIT, &CSplitterWndEx::OnControlColour)
ON_MESSAGE(WM_CTLCOLORSTATIC, &CSplitterWndEx::OnControlColour)
END_MESSAGE_MAP()

LRESULT CSplitterWndEx::OnControlColour(WPARAM wParam, LPARAM lParam) {
    const HWND child = reinterpret_cast<HWND>(lParam);
    if (!g_pDataInfoView || child != g_pDataInfoView->GetSafeHwnd()) return Default();
    ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
}

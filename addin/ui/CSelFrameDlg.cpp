#include "CSelFrameDlg.h"

#include "CenterOnOwner.h"
#include "GdiScopes.h"
#include "HtmlCom.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

// The document's URL; empty when it has none or cannot tell.
std::wstring DocumentUrl(IHTMLDocument2* document) {
    ScopedBstr url;
    if (FAILED(document->get_URL(url.Out()))) return {};
    return url.Text();
}

// Width in pixels of text in the list box's own font.
int TextWidth(HDC dc, const std::wstring& text) {
    SIZE extent{};
    if (!::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent))
        return 0;
    return extent.cx;
}

} // namespace

CSelFrameDlg::CSelFrameDlg(std::vector<IHTMLDocument2*> documents)
    : m_documents(std::move(documents)) {}

LRESULT CSelFrameDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    (void)CenterOnOwner(m_hWnd);
    m_hList = GetDlgItem(IDC_SELFRAME_LIST);
    const int widest = FillList();
    ::SendMessageW(m_hList, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
    if (::SendMessageW(m_hList, LB_GETCOUNT, 0, 0) > 0) ::SendMessageW(m_hList, LB_SETCURSEL, 0, 0);
    return TRUE;
}

int CSelFrameDlg::FillList() {
    torva::WindowDC dc(m_hList);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(m_hList, WM_GETFONT, 0, 0));
    // Without a font the DC's own one measures, which is still a fair width.
    torva::SelectedObject selected(dc.get(), font ? static_cast<HGDIOBJ>(font)
                                                  : ::GetStockObject(SYSTEM_FONT));

    int widest = 0;
    WPARAM position = 0;
    for (IHTMLDocument2* document : m_documents) {
        if (!document) continue;
        const std::wstring url = DocumentUrl(document);
        if (url.empty()) continue;
        const LRESULT line = ::SendMessageW(m_hList, LB_INSERTSTRING, position,
                                            reinterpret_cast<LPARAM>(url.c_str()));
        if (line < 0) continue;
        ::SendMessageW(m_hList, LB_SETITEMDATA, static_cast<WPARAM>(line),
                       reinterpret_cast<LPARAM>(document));
        ++position;
        if (dc.get()) widest = std::max(widest, TextWidth(dc.get(), url));
    }
    return widest;
}

LRESULT CSelFrameDlg::OnClickedOK(WORD, WORD, HWND, BOOL&) {
    const LRESULT line = ::SendMessageW(m_hList, LB_GETCURSEL, 0, 0);
    if (line == LB_ERR) {
        ::MessageBoxW(m_hWnd, L"フレームを選択してください。", nullptr, MB_ICONERROR);
        return 0;
    }
    m_pSelected = reinterpret_cast<IHTMLDocument2*>(
        ::SendMessageW(m_hList, LB_GETITEMDATA, static_cast<WPARAM>(line), 0));
    EndDialog(IDOK);
    return 0;
}

LRESULT CSelFrameDlg::OnClickedCancel(WORD, WORD, HWND, BOOL&) {
    EndDialog(IDCANCEL);
    return 0;
}

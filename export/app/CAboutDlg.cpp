#include "CAboutDlg.h"

#include <vector>

#include "DpiScale.h"
#include "VersionTexts.h"
#include "resource.h"

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent) {}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    vantrel::VersionTexts texts;
    // Without a version resource the box keeps the texts of its template.
    if (length > 0 && length < MAX_PATH && vantrel::ReadVersionTexts(path, texts)) {
        SetDlgItemText(IDC_ABOUT_VERSION, (L"Version " + texts.fileVersion).c_str());
        SetDlgItemText(IDC_ABOUT_LEGAL, texts.legalCopyright.c_str());
        FitLegalNotice();
    }
    ShowWindow(SW_SHOW);
    UpdateWindow();
    return TRUE;
}

void CAboutDlg::FitLegalNotice() {
    const HWND legal = ::GetDlgItem(m_hWnd, IDC_ABOUT_LEGAL);
    if (!legal) return;
    const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(legal, WM_GETFONT, 0, 0));
    if (!font) return;
    const int length = ::GetWindowTextLengthW(legal);
    std::vector<wchar_t> text(static_cast<size_t>(length) + 2, L'\0');
    ::GetWindowTextW(legal, text.data(), length + 1);
    const HDC dc = ::GetDC(legal);
    if (!dc) return;
    const HGDIOBJ old = ::SelectObject(dc, font);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, text.data(), length, &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(legal, dc);
    ::SetWindowPos(legal, nullptr, vantrel::ScaleX(60), vantrel::ScaleY(58), extent.cx, extent.cy,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

#include "CAboutDlg.h"

#include "AboutVersion.h"
#include "TraceScope.h"

CAboutDlg::CAboutDlg() : CDialog(IDD) {
    TORVA_TRACE_SCOPE(L"CAboutDlg::CAboutDlg");
}

CAboutDlg::~CAboutDlg() {
    TORVA_TRACE_SCOPE(L"CAboutDlg::~CAboutDlg");
}

BOOL CAboutDlg::OnInitDialog() {
    TORVA_TRACE_SCOPE(L"CAboutDlg::OnInitDialog");
    CDialog::OnInitDialog();
    const AboutVersionTexts texts = ReadProgramVersionTexts();
    SetDlgItemText(IDC_STATIC_VERSION, AboutVersionLine(texts));
    SetDlgItemText(IDC_STATIC_COPYRIGHT, texts.legalCopyright);
    TORVA_RETURN_BOOL(TRUE);
}

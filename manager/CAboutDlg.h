// The About box (dialog 100, "Webフォームデータ管理について"): this
// program's file version and legal notice, shown modally for the
// management dialog's system command 0x10.
#pragma once

#include "Framework.h"
#include "resource.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = IDD_ABOUTBOX };

    CAboutDlg();
    ~CAboutDlg() override;

    BOOL OnInitDialog() override;
};

// The About box (dialog 100): the program file's version and legal notice.
#pragma once

#include "Framework.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);
    BOOL OnInitDialog() override;

private:
    // Places the legal notice at (60, 58), scaled, sized to its one line.
    void FitLegalNotice();
};

// The report of the selected tree item: a read-only text view, rewritten
// whole on every selection (WM_USER+100: wParam the item type, lParam the
// tree item).
#pragma once

#include <string>

#include "Framework.h"

class CDataInfoView : public CEditView {
    DECLARE_DYNCREATE(CDataInfoView)
    DECLARE_MESSAGE_MAP()

public:
    ~CDataInfoView() override;

    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    void OnInitialUpdate() override;

    // The report of an item of the tree; empty for a type without one.
    static std::wstring ReportOf(int type, HTREEITEM item);

    int OnCreate(LPCREATESTRUCT cs);
    void OnSysKeyDown(UINT key, UINT repeat, UINT flags);

private:
    LRESULT OnReportItem(WPARAM wParam, LPARAM lParam);
    HFONT m_font = nullptr;
};

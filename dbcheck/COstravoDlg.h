// The administrator's dialog: the three named databases and the own user
// database; initialising runs TvrDBInit afterwards and checks all four again.
#pragma once

#include "CDbServicePipe.h"
#include "Framework.h"

namespace ostravo {

class COstravoDlg : public CDialog {
public:
    COstravoDlg(const COstravoSettings& settings, CWnd* parent = nullptr);

protected:
    BOOL OnInitDialog() override;
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnClose2();
    void OnInitialise();
    void OnBoxChanged();

    DECLARE_MESSAGE_MAP()

private:
    void Refresh();

    const COstravoSettings& m_settings;
    CDbServicePipe m_pipe;
    HICON m_hIcon;
};

} // namespace ostravo

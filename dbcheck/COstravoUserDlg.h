// The dialog of a user who is not the administrator: the own user database
// only; no TvrDBInit.
#pragma once

#include "CDbServicePipe.h"
#include "Framework.h"

namespace ostravo {

class COstravoUserDlg : public CDialog {
public:
    COstravoUserDlg(const COstravoSettings& settings, CWnd* parent = nullptr);

protected:
    BOOL OnInitDialog() override;
    void OnInitialise();
    void OnBoxChanged();

    DECLARE_MESSAGE_MAP()

private:
    void ShowUserDb();

    CDbServicePipe m_pipe;
};

} // namespace ostravo

// The manager's saving notice: the modeless box "データを更新しています。
// お待ちください。" (dialog 143, no caption, no buttons) shown over the
// management dialog while a save worker runs for longer than one poll. The
// owner creates it with Create(CUpdateMsg::IDD, owner), shows it with
// SW_SHOW and destroys the window and the object when the save has ended.
//
// Threads: the owner's UI thread only.
#pragma once

#include "Framework.h"
#include "resource.h"

namespace mablix {

class CUpdateMsg : public CDialog {
public:
    enum { IDD = IDD_UPDATEMSG };

    explicit CUpdateMsg(CWnd* parent = nullptr);
    ~CUpdateMsg() override;

    BOOL OnInitDialog() override;
};

} // namespace mablix

using mablix::CUpdateMsg;

// The manager's loading notice: the modeless box "データを取得中です" (dialog
// 141, no caption, no buttons) shown over the management dialog while its
// loader thread reads the database. The owner creates it with
// Create(CNotifyMsg::IDD, owner), shows it with SW_SHOW, and destroys the
// window and the object when loading is done.
//
// The class lives in its own namespace: the add-in's store has a different
// notice class of the same name, and the two must never meet in one link.
//
// Threads: the owner's UI thread only.
#pragma once

#include "Framework.h"
#include "resource.h"

namespace mablix {

class CNotifyMsg : public CDialog {
public:
    enum { IDD = IDD_NOTIFYMSG };

    explicit CNotifyMsg(CWnd* parent = nullptr);
    ~CNotifyMsg() override;

    BOOL OnInitDialog() override;
};

} // namespace mablix

using mablix::CNotifyMsg;

// The manager's application object: single instance, the caller's window
// from the command line, the database probe, the user's authentication,
// the management dialog, and the close notice back to the toolbar.
#pragma once

#include "CWinApp.h"
#include "FxMessageMap.h"
#include "InstanceGuard.h"
#include "MablixShell.h"

class CTvrIEToolApp : public CWinApp {
public:
    CTvrIEToolApp();
    // Always FALSE: the program ends when the dialog closes.
    BOOL InitInstance() override;
    int ExitInstance() override;
    // TRUE when the user passed the authentication of the given case.
    static BOOL IsAuthent(int authCase);
    // The help command: nothing but its trace lines.
    void OnTvrIEToolHelp();

    // The toolbar's window handle from "IEWND=%d"; 0 without one.
    int m_nCallerWnd = 0;

private:
    torva::InstanceGuard m_instance{torva::InstanceGuard::Kind::Event, mablix::kInstanceEvent};

    DECLARE_MESSAGE_MAP()
};

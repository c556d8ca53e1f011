// The application object of Vantrel. InitInstance refuses to start for an
// administrator, without the user's database or beside a running instance,
// then makes the main window, loads the export store and fills the tree
// while the window is disabled.
#pragma once

#include "CExportStore.h"
#include "Framework.h"
#include "SingleInstance.h"

class CVantrelApp : public CWinApp {
public:
    CVantrelApp();
    BOOL InitInstance() override;

    CExportStore& Store() noexcept { return m_store; }

    DECLARE_MESSAGE_MAP()

private:
    void OnAppAbout();
    // The start-up size unless the frame restored a stored one, moved to
    // (0, 0) when larger than a maximised window.
    void SizeMainWindow();

    CExportStore m_store;
    vantrel::SingleInstance m_instance;
};

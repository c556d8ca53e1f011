#include "COstravoApp.h"

#include "AdminTest.h"
#include "COstravoDlg.h"
#include "COstravoUserDlg.h"
#include "ProgramFolder.h"
#include "ResourceStrings.h"
#include "resource.h"

#include <iterator>

namespace ostravo {
namespace {

constexpr UINT kStringIds[] = {IDS_PROFILE_KEY, IDS_DAMAGED, IDS_INTACT};
const ResourceStringTable kStrings = {kStringIds, std::size(kStringIds), nullptr, 0};

} // namespace

COstravoApp::COstravoApp() = default;

BOOL COstravoApp::InitInstance() {
    CWinApp::InitInstance();
    UseResourceStringTable(kStrings);
    LoadResourceStrings(m_hInstance);
    SetRegistryKey(GetResourceString(IDS_PROFILE_KEY));

    if (m_instance.Acquire() != torva::InstanceState::First)
        return FALSE; // another instance runs: end without a word

    std::wstring folder = torva::ProgramFolder();
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    m_settings.Load(folder);

    if (IsAdministratorUser()) {
        COstravoDlg dialog(m_settings);
        m_pMainWnd = &dialog;
        dialog.DoModal();
    } else {
        COstravoUserDlg dialog(m_settings);
        m_pMainWnd = &dialog;
        dialog.DoModal();
    }
    m_pMainWnd = nullptr;
    return FALSE;
}

int COstravoApp::ExitInstance() {
    FreeResourceStrings();
    return CWinApp::ExitInstance();
}

} // namespace ostravo

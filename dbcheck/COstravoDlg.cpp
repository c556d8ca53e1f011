#include "COstravoDlg.h"

#include "OstravoRows.h"
#include "resource.h"

#include <iterator>

namespace ostravo {
namespace {

struct NamedRow {
    int checkId;
    int statusId;
    const wchar_t* database; // null: the calling user's database
};

// In the order the rows are checked and initialised.
constexpr NamedRow kRows[] = {
    {IDC_CHECK_SYSTEMDEFINED, IDC_STATE_SYSTEMDEFINED, L"TORVA_SYSTEMDEFINED"},
    {IDC_CHECK_ADMIN, IDC_STATE_ADMIN, L"TORVA_ADMIN"},
    {IDC_CHECK_GINA, IDC_STATE_GINA, L"TORVA_GINA"},
    {IDC_CHECK_USERDB, IDC_STATE_USERDB, nullptr},
};

} // namespace

BEGIN_MESSAGE_MAP(COstravoDlg, CDialog)
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDCANCEL, &COstravoDlg::OnClose2)
ON_BN_CLICKED(IDC_INIT, &COstravoDlg::OnInitialise)
ON_BN_CLICKED(IDC_CHECK_SYSTEMDEFINED, &COstravoDlg::OnBoxChanged)
ON_BN_CLICKED(IDC_CHECK_ADMIN, &COstravoDlg::OnBoxChanged)
ON_BN_CLICKED(IDC_CHECK_GINA, &COstravoDlg::OnBoxChanged)
ON_BN_CLICKED(IDC_CHECK_USERDB, &COstravoDlg::OnBoxChanged)
END_MESSAGE_MAP()

COstravoDlg::COstravoDlg(const COstravoSettings& settings, CWnd* parent)
    : CDialog(IDD_OSTRAVO_DIALOG, parent), m_settings(settings), m_pipe(settings),
      m_hIcon(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {}

BOOL COstravoDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    Refresh();
    return TRUE;
}

void COstravoDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    ::SendMessageW(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    if (m_hIcon) ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
}

HCURSOR COstravoDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

void COstravoDlg::OnClose2() {
    EndDialog(IDCANCEL);
}

void COstravoDlg::OnBoxChanged() {
    bool any = false;
    for (const auto& row : kRows) {
        if (IsDlgButtonChecked(row.checkId) == BST_CHECKED) {
            any = true;
            break;
        }
    }
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_INIT), any ? TRUE : FALSE);
}

void COstravoDlg::OnInitialise() {
    // The outcome of each request shows in the refresh, not here.
    for (const auto& row : kRows) {
        if (IsDlgButtonChecked(row.checkId) != BST_CHECKED) continue;
        if (row.database) {
            (void)m_pipe.InitDb(m_settings.DbPath(), row.database);
        } else {
            (void)m_pipe.InitUserDb();
        }
    }
    (void)m_pipe.RunDbInit();
    Refresh();
}

void COstravoDlg::Refresh() {
    DWORD states[std::size(kRows)];
    for (size_t i = 0; i < std::size(kRows); ++i) {
        states[i] = 3;
        if (kRows[i].database) {
            (void)m_pipe.CheckDb(states[i], m_settings.DbPath(), kRows[i].database);
        } else {
            (void)m_pipe.CheckUserDb(states[i]);
        }
    }
    for (size_t i = 0; i < std::size(kRows); ++i)
        ShowRowState(m_hWnd, kRows[i].checkId, kRows[i].statusId, states[i]);
    ::EnableWindow(::GetDlgItem(m_hWnd, IDC_INIT), FALSE);
}

} // namespace ostravo

#include "E2eSupport.h"

#include "DllTestSupport.h"
#include "LoginEntry.h"

#include "CExpData.h"
#include "InstallFolder.h"
#include "PageSource.h"
#include "ProgramFolder.h"
#include "RelayState.h"
#include "Win32Handles.h"

#include <fstream>
#include <memory>
#include <vector>

namespace e2e {

namespace {

std::unique_ptr<CExpData> OpenStore() {
    RelayState::Instance().SetRelayFolder(InstallFolder());
    RelayState::Instance().SetReadyOpens(2400); // a 32-bit relay may need a minute to start
    return std::make_unique<CExpData>();
}

std::string Utf8(const std::wstring& s) {
    std::string out(s.size() * 3 + 1, '\0');
    out.resize(static_cast<size_t>(
        ::WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), out.data(),
                              static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

std::wstring FromUtf8(const std::string& s) {
    std::wstring out(s.size() + 1, L'\0');
    out.resize(
        static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()),
                                                  out.data(), static_cast<int>(out.size()))));
    return out;
}

} // namespace

std::wstring InstallFolder() {
    return torva::InstallFolder();
}

std::wstring PagePath(const std::wstring& name) {
    return torva::ProgramFolder() + L"e2e-pages\\" + name;
}

std::wstring PageUrl(const std::wstring& name) {
    return torva::browser::CanonicalUrl(PagePath(name));
}

namespace {

void DeletePages(CExpData& store, const std::wstring& url) {
    for (int guard = 0; guard < 16; ++guard) {
        std::unique_ptr<CDataWebForm> stale(store.GetWebPageData(url, 0));
        if (!stale || !store.DeleteWebPageData(stale.get())) break;
    }
}

} // namespace

bool StoreLoginPage(bool autoSend, const std::wstring& pageName) {
    // The store (and its relay) ends before the browser's own starts.
    const std::unique_ptr<CExpData> store = OpenStore();
    const std::wstring url = PageUrl(pageName);
    DeletePages(*store, url);
    CDataWebForm page;
    page.m_strUrl = url;
    page.m_strTitle = L"E2E Login";
    page.m_strUpdateDate = L"2026/12/09 04:00:00";
    page.m_nChangeFlg = 0;
    CDataWebItem& item = page.AddItem();
    item.m_strName = LoginValues::kEntry;
    item.m_strFormName = L"login";
    item.m_nAutoInput = 1;
    item.m_nAutoSend = autoSend ? 1 : 0;
    item.m_nIndex = 0;
    CDataWebCtrl& user = AddCtrl(item, D_WEB_CTRL_TEXT, L"user");
    user.TextValue()->m_strValue = LoginValues::kUser;
    user.TextValue()->m_nDataLen = 20;
    CDataWebCtrl& pw = AddCtrl(item, D_WEB_CTRL_PSWD, L"pw");
    pw.TextValue()->m_strValue = LoginValues::kPassword;
    pw.TextValue()->m_nDataLen = -1;
    AddChoices(AddCtrl(item, D_WEB_CTRL_RADIO, L"plan"), {L"a", L"b", L"c"}, 1);
    AddChoices(AddCtrl(item, D_WEB_CTRL_CHECK, L"keep"), {L"on"}, 0);
    AddChoices(AddCtrl(item, D_WEB_CTRL_SELECT, L"pref"), {L"v1", L"v2", L"v3"}, 2);
    CDataWebCtrl& go = AddCtrl(item, D_WEB_CTRL_SUBMIT, L"go");
    go.ButtonValue()->m_strValue = L"Login";
    go.ButtonValue()->m_nSelected = 1;
    return store->SetWebPageData(&page, nullptr) == 0 && !page.m_strKey.empty();
}

void DeleteLoginPage(const std::wstring& page) {
    const std::unique_ptr<CExpData> store = OpenStore();
    DeletePages(*store, PageUrl(page));
}

std::unique_ptr<CDataWebForm> StoredPage(const std::wstring& page) {
    const std::unique_ptr<CExpData> store = OpenStore();
    // The list this process loaded before the browser stored the page.
    if (!store->SetURLData(CExpData::URL_RENEW)) return nullptr;
    return std::unique_ptr<CDataWebForm>(store->GetWebPageData(PageUrl(page), 0));
}

DWORD RunBrowser(const std::wstring& script, std::wstring& log, DWORD timeoutMs) {
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    const std::wstring scriptPath = std::wstring(temp) + L"quorvel-e2e-script.txt";
    const std::wstring logPath = std::wstring(temp) + L"quorvel-e2e-log.txt";
    {
        std::ofstream out(scriptPath.c_str(), std::ios::binary);
        out << Utf8(script);
    }
    ::DeleteFileW(logPath.c_str());
    std::wstring cmd = L"\"" + InstallFolder() + L"iexplore.exe\" -script \"" + scriptPath +
                       L"\" -log \"" + logPath + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
        return 999;
    torva::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    DWORD code = 998;
    const DWORD start = ::GetTickCount();
    HANDLE h = process.get();
    while (::GetTickCount() - start < timeoutMs) {
        if (::MsgWaitForMultipleObjects(1, &h, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0) break;
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&msg);
    }
    if (::WaitForSingleObject(h, 0) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(h, &code);
    else
        ::TerminateProcess(h, 997), code = 997;
    std::ifstream in(logPath.c_str(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    log += FromUtf8(bytes);
    return code;
}

} // namespace e2e

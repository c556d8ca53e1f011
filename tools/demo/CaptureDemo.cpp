// The main road of the add-in in the browser program: Quorvel.dll registered,
// the log-in page opened in iexplore.exe with a script that types a user name
// and password and submits; the add-in asks "登録確認" (yes), the
// registration dialog registers the form with auto-input and auto-send, the
// PIN dialog of the save is answered as the user would (the script types the
// PIN), and the page is opened again: filled in and sent by itself. Then it
// prints what was stored (page, form, controls, the password's cipher bytes),
// deletes the page and unregisters the module.
//
// capture_demo.exe [SHOTS-FOLDER]: with a folder, pictures of the road are
// written there as BMP files (run on a desktop with a real graphics driver):
// the page before the submit, "登録確認", the registration dialog, the PIN
// dialog (the screen at each moment) and the page the reopened form was sent to.
#include "AutoAnswer.h"
#include "CExpData.h"
#include "E2eSupport.h"
#include "RelayState.h"
#include "ScreenBitmap.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

std::wstring Quoted(const std::wstring& s) {
    return L"\"" + s + L"\"";
}

void Print(const std::wstring& text) {
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size > 0 ? size : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    std::fputs(out.c_str(), stdout);
    std::fflush(stdout);
}

constexpr const wchar_t* kEntry = L"会員ログイン";

// Takes a picture of the screen once each of the dialogs shows (the script
// holds still a moment at each).
class DialogShots {
public:
    explicit DialogShots(std::wstring folder) : m_folder(std::move(folder)) {
        if (!m_folder.empty()) m_thread = std::thread([this] { Run(); });
    }
    ~DialogShots() {
        m_stop = true;
        if (m_thread.joinable()) m_thread.join();
    }

private:
    void Run() {
        const struct {
            const wchar_t* title;
            const wchar_t* file;
        } shots[] = {{L"登録確認", L"capture-confirm.bmp"},
                     {L"登録", L"capture-regist.bmp"},
                     {L"TORVA 認証", L"capture-pin.bmp"}};
        for (const auto& shot : shots) {
            while (!m_stop && !::FindWindowW(nullptr, shot.title))
                ::Sleep(50);
            if (m_stop) return;
            ::Sleep(shot.file[8] == L'r' ? 900 : 500); // the registration dialog fills its copy
            (void)torva::SaveScreenBitmap(m_folder + shot.file);
            // The PIN dialog comes while the registration dialog is still open.
            if (shot.file[8] == L'r') continue;
            while (!m_stop && ::FindWindowW(nullptr, shot.title))
                ::Sleep(50);
        }
    }

    std::wstring m_folder;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// A hidden window "TORVA shot" whose buttons the script presses
// (dialog-click) at the moments that no window marks: each takes the screen.
class ShotWindow {
public:
    explicit ShotWindow(std::wstring folder) : m_folder(std::move(folder)) {
        if (m_folder.empty()) return;
        m_thread = std::thread([this] { Run(); });
        while (!m_ready)
            ::Sleep(10);
    }
    ~ShotWindow() {
        if (m_threadId) ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
        if (m_thread.joinable()) m_thread.join();
    }
    static constexpr const wchar_t* kNames[] = {L"page", L"reload"};

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_COMMAND) {
            auto* self = reinterpret_cast<ShotWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
            const int id = LOWORD(wParam) - 100;
            if (self && id >= 0 && id < 2)
                (void)torva::SaveScreenBitmap(self->m_folder + L"capture-" + kNames[id] + L".bmp");
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    void Run() {
        m_threadId = ::GetCurrentThreadId();
        WNDCLASSW type{};
        type.lpfnWndProc = &ShotWindow::Proc;
        type.hInstance = ::GetModuleHandleW(nullptr);
        type.lpszClassName = L"TorvaCaptureShot";
        (void)::RegisterClassW(&type);
        HWND window = ::CreateWindowExW(0, type.lpszClassName, L"TORVA shot", WS_POPUP, 0, 0, 10,
                                        10, nullptr, nullptr, type.hInstance, nullptr);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        for (int i = 0; i < 2; ++i)
            ::CreateWindowExW(0, L"BUTTON", kNames[i], WS_CHILD, 0, 0, 5, 5, window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + i)), nullptr,
                              nullptr);
        m_ready = true;
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
            ::DispatchMessageW(&msg);
        ::DestroyWindow(window);
    }

    std::wstring m_folder;
    std::atomic<bool> m_ready{false};
    std::atomic<DWORD> m_threadId{0};
    std::thread m_thread;
};

std::wstring Hex(const std::vector<BYTE>& bytes) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring out;
    for (BYTE b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

const wchar_t* KindName(int kind) {
    static const wchar_t* const names[] = {L"TEXT",   L"PASSWORD", L"-",      L"RADIO", L"CHECKBOX",
                                           L"SELECT", L"TEXTAREA", L"SUBMIT", L"IMAGE"};
    return kind >= 0 && kind <= 8 ? names[kind] : L"?";
}

// What the road stored, read from the database through the store.
void PrintStored() {
    RelayState::Instance().SetRelayFolder(e2e::InstallFolder());
    CExpData store;
    (void)store.SetURLData(CExpData::URL_RENEW);
    const std::wstring url = e2e::PageUrl(L"e2e-login.html");
    std::unique_ptr<CDataWebForm> page(store.GetWebPageData(url, 0));
    if (!page) {
        Print(L"nothing stored for " + url + L"\n");
        return;
    }
    Print(L"stored page " + page->m_strKey + L"\n  URL    " + page->m_strUrl + L"\n  TITLE  " +
          page->m_strTitle + L"\n  UPDATEDATE " + page->m_strUpdateDate + L"\n");
    ZentripCell* db = nullptr;
    const bool open = store.OpenDB(&db);
    for (const auto& item : page->m_items) {
        Print(L"  form " + item->m_strKey + L": NAME \"" + item->m_strName + L"\", FORMNAME \"" +
              item->m_strFormName + L"\", INDEX " + std::to_wstring(item->m_nIndex) +
              L", AUTOINPUT " + std::to_wstring(item->m_nAutoInput) + L", AUTOSEND " +
              std::to_wstring(item->m_nAutoSend) + L"\n");
        for (const auto& ctrl : item->m_ctrls) {
            std::wstring line =
                L"    " + std::wstring(KindName(ctrl->m_nType)) + L" " + ctrl->m_strName;
            if (ctrl->m_nType == D_WEB_CTRL_TEXT && ctrl->TextValue())
                line += L" VALUE \"" + ctrl->TextValue()->m_strValue + L"\" DATALEN " +
                        std::to_wstring(ctrl->TextValue()->m_nDataLen);
            if (ctrl->m_nType == D_WEB_CTRL_PSWD && open) {
                ZentripCell* key = nullptr;
                if (store.OpenKey(db, ctrl->m_strKey.c_str(), &key) == 0) {
                    DWORD type = 0, size = 0;
                    std::vector<BYTE> cipher;
                    if (store.Zentrip_QueryValue(db, key, L"VALUE", &type, nullptr, &size) == 0 &&
                        size) {
                        cipher.resize(size);
                        if (store.Zentrip_QueryValue(db, key, L"VALUE", &type, cipher.data(),
                                                     &size) != 0)
                            cipher.clear();
                    }
                    line += L" VALUE as stored (" + std::to_wstring(cipher.size()) + L" bytes): " +
                            Hex(cipher);
                    store.CloseKey(db, &key);
                }
            }
            if (const CDataWebSelCtrl* choices = ctrl->SelValue()) {
                line += L" choices";
                for (const auto& choice : choices->m_elements)
                    line += L" " + choice->m_strValue + (choice->m_nSelect ? L"*" : L"");
            }
            if (const CDataWebButtonValue* button = ctrl->ButtonValue())
                line += L" VALUE \"" + button->m_strValue + L"\"";
            Print(line + L"\n");
        }
    }
    if (open) store.CloseDB(&db);
}

int Run(const std::wstring& shots) {
    if (e2e::InstallFolder().empty()) {
        Print(L"no install folder in the prefix\n");
        return 1;
    }
    const e2e::AddinRegistration registration;
    if (registration.Result() != 0) {
        Print(L"regsvr32 Quorvel.dll failed\n");
        return 1;
    }
    Print(L"Quorvel.dll registered from " + e2e::InstallFolder() + L"\n");
    e2e::DeleteLoginPage();
    // The options of the road: capture with its confirmation, and the
    // fill-in on load; the user's own come back at the end.
    RelayState::Instance().SetRelayFolder(e2e::InstallFolder());
    CDataOption before;
    bool restore = false;
    {
        CExpData options;
        if (options.GetOptionData()) {
            before = options.m_option;
            restore = true;
        }
        options.m_option.m_nStopFunc = 0;
        options.m_option.m_nStopAutoInput = 0;
        options.m_option.m_nSetAuto = 1;
        options.m_option.m_nCheckSet = 1;
        options.m_option.m_nOnlyPwd = 0;
        options.SetOptionData();
    }
    // Sets the test PIN and answers the fill-in's PIN dialog on the reload;
    // the save's PIN dialog is answered by the script.
    const peltrix::test::AutoAnswer input(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
    const std::wstring shot =
        shots.empty() ? L"" : L"dialog-click \"TORVA shot\" page\nsleep 500\n";
    const std::wstring doneShot =
        shots.empty() ? L"" : L"sleep 800\ndialog-click \"TORVA shot\" reload\nsleep 500\n";
    const std::wstring script = L"open " + Quoted(e2e::PagePath(L"e2e-login.html")) +
                                L"\n"
                                L"wait-page e2e-login.html 20000\n"
                                L"expect-toolbar 102 enabled 20000\n"
                                L"type user taro.e2e\n"
                                L"type pw pw-e2e-42\n"
                                L"check plan b\n"
                                L"check keep\n"
                                L"choose pref v3\n"
                                L"sleep 500\n" +
                                shot +
                                L"click Login\n"
                                L"wait-window 登録確認 20000\n"
                                L"sleep 1500\n"
                                L"dialog-click 登録確認 \"はい(&Y)\"\n"
                                L"wait-window 登録 20000\n"
                                L"sleep 2000\n"
                                L"dialog-type 登録 1 " +
                                Quoted(kEntry) +
                                L"\n"
                                L"dialog-check 登録 229 on\n"
                                L"dialog-check 登録 226 on\n"
                                L"dialog-click 登録 OK\n"
                                L"wait-window \"TORVA 認証\" 30000\n"
                                L"sleep 1500\n"
                                L"dialog-type \"TORVA 認証\" 0 246813\n"
                                L"dialog-click \"TORVA 認証\" OK\n"
                                L"wait-page e2e-done.html 40000\n"
                                L"expect-url user=taro.e2e&pw=pw-e2e-42&plan=b&keep=on&pref=v3\n"
                                L"open " +
                                Quoted(e2e::PagePath(L"e2e-login.html")) +
                                L"\n"
                                L"wait-page e2e-done.html 60000\n"
                                L"expect-url user=taro.e2e&pw=pw-e2e-42&plan=b&keep=on&pref=v3\n"
                                L"expect-text \"Signed in.\"\n" +
                                doneShot;
    std::wstring log;
    DWORD code = 0;
    {
        const DialogShots pictures(shots);
        const ShotWindow onDemand(shots);
        code = e2e::RunBrowser(script, log, 240000);
    }
    if (!log.empty() && log.front() == L'\xFEFF') log.erase(0, 1);
    Print(L"iexplore.exe script:\n" + log);
    Print(code == 0 ? L"the submitted form was registered, and the reopened page filled in and "
                      L"sent itself\n"
                    : L"the browser script failed (" + std::to_wstring(code) + L")\n");
    PrintStored();
    e2e::DeleteLoginPage();
    if (restore) {
        CExpData options;
        options.m_option = before;
        options.SetOptionData();
    }
    return code == 0 ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    (void)::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring shots = argc > 1 ? argv[1] : L"";
    if (!shots.empty() && shots.back() != L'\\') shots += L'\\';
    const int result = Run(shots);
    Print(L"Quorvel.dll unregistered\n");
    ::CoUninitialize();
    return result;
}

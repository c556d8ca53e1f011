#include "CaptureBench.h"

#include "BenchEntry.h"
#include "HostedBand.h"
#include "OptionKeyBackup.h"

#include "AutoAnswer.h"
#include "AxHostWindow.h"
#include "HtmlCom.h"
#include "PageSource.h"
#include "resource.h"

#include <commctrl.h>

#include <cstdio>
#include <memory>

namespace bench {

namespace {

constexpr wchar_t kQuestion[] = L"登録確認";
constexpr wchar_t kRegist[] = L"登録";
constexpr UINT kCopyShownMs = 500;    // the registration's copy loaded and filled
constexpr UINT kRoundLimitMs = 60000; // a round that hangs is ended

LONGLONG Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Ms(LONGLONG from, LONGLONG to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to - from) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::wstring Caption(HWND window) {
    wchar_t text[64] = {};
    ::GetWindowTextW(window, text, 64);
    return text;
}

// The user in front of one round's dialogs, on the UI thread itself: a CBT
// hook sees each dialog as it is activated and as it is destroyed, and
// timers answer them, so the times taken are not those of another thread's
// polling.
class RoundUser {
public:
    enum class State { Question, Regist, Saving, Closed, Failed };

    RoundUser() {
        s_user = this;
        m_hook = ::SetWindowsHookExW(WH_CBT, &RoundUser::Hook, nullptr, ::GetCurrentThreadId());
        m_limit = ::SetTimer(nullptr, 0, kRoundLimitMs, &RoundUser::OnLimit);
    }
    ~RoundUser() {
        if (m_hook) ::UnhookWindowsHookEx(m_hook);
        if (m_limit) ::KillTimer(nullptr, m_limit);
        if (m_okTimer) ::KillTimer(nullptr, m_okTimer);
        s_user = nullptr;
    }
    RoundUser(const RoundUser&) = delete;
    RoundUser& operator=(const RoundUser&) = delete;

    bool Hooked() const noexcept { return m_hook != nullptr; }
    State state() const noexcept { return m_state; }
    const std::wstring& why() const noexcept { return m_why; }
    LONGLONG questionAt = 0, okAt = 0, closedAt = 0;
    RelayState::ExchangeCounts questionCounts{}, saveCounts{};
    std::wstring entryName;

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
        if (s_user && code == HCBT_ACTIVATE) s_user->Activated(reinterpret_cast<HWND>(wp));
        if (s_user && code == HCBT_DESTROYWND) s_user->Destroyed(reinterpret_cast<HWND>(wp));
        return ::CallNextHookEx(nullptr, code, wp, lp);
    }

    void Activated(HWND window) {
        // Only dialogs: the browser's own window is activated again as each
        // dialog goes; the save's notice has no caption.
        wchar_t kind[16] = {};
        ::GetClassNameW(window, kind, 16);
        const std::wstring caption = Caption(window);
        if (::lstrcmpW(kind, L"#32770") != 0 || caption.empty() || window == m_regist) return;
        if (m_state == State::Question && caption == kQuestion) {
            questionAt = Now();
            m_question = window;
            questionCounts = RelayState::Instance().Counts();
            m_state = State::Regist;
            ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                           reinterpret_cast<LPARAM>(::GetDlgItem(window, IDOK)));
            return;
        }
        if (m_state == State::Regist && caption == kRegist) {
            m_regist = window;
            m_okTimer = ::SetTimer(nullptr, 0, kCopyShownMs, &RoundUser::OnOk);
            return;
        }
        if (window == m_question) return;
        Fail(L"an unexpected window: " + caption);
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }

    void Destroyed(HWND window) {
        if (window != m_regist || m_state != State::Saving) return;
        closedAt = Now();
        saveCounts = RelayState::Instance().Counts();
        m_state = State::Closed;
    }

    static void CALLBACK OnOk(HWND, UINT, UINT_PTR id, DWORD) {
        ::KillTimer(nullptr, id);
        if (!s_user || s_user->m_okTimer != id) return;
        s_user->m_okTimer = 0;
        s_user->PressOk();
    }

    void PressOk() {
        ::SendMessageW(::GetDlgItem(m_regist, IDC_REGIST_NAME), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(entryName.c_str()));
        m_state = State::Saving;
        RelayState::Instance().ResetCounts();
        okAt = Now();
        ::PostMessageW(m_regist, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(m_regist, IDOK)));
    }

    static void CALLBACK OnLimit(HWND, UINT, UINT_PTR id, DWORD) {
        if (!s_user || s_user->m_limit != id) return;
        ::KillTimer(nullptr, id);
        s_user->m_limit = 0;
        if (s_user->m_state == State::Closed) return;
        s_user->Fail(L"the round did not end in time");
        // Whatever is still open goes, so that the click returns.
        if (s_user->m_regist && ::IsWindow(s_user->m_regist))
            ::PostMessageW(s_user->m_regist, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }

    void Fail(const std::wstring& why) {
        if (m_state == State::Failed) return;
        m_state = State::Failed;
        m_why = why;
    }

    static inline RoundUser* s_user = nullptr;
    HHOOK m_hook = nullptr;
    UINT_PTR m_limit = 0;
    UINT_PTR m_okTimer = 0;
    HWND m_question = nullptr;
    HWND m_regist = nullptr;
    State m_state = State::Question;
    std::wstring m_why;
};

CComPtr<IHTMLElement> Named(IHTMLDocument2* document, const wchar_t* name) {
    CComPtr<IHTMLElementCollection> all;
    CComPtr<IDispatch> item;
    CComPtr<IHTMLElement> element;
    if (!document || FAILED(document->get_all(&all)) || !all) return element;
    VARIANT key;
    key.vt = VT_BSTR;
    key.bstrVal = ::SysAllocString(name);
    if (SUCCEEDED(all->item(key, IndexVariant(0), &item)) && item)
        item->QueryInterface(IID_IHTMLElement, reinterpret_cast<void**>(&element));
    ::VariantClear(&key);
    return element;
}

bool Type(IHTMLDocument2* document, const wchar_t* name, const wchar_t* value) {
    auto input = As<IHTMLInputElement>(Named(document, name), IID_IHTMLInputElement);
    ScopedBstr text(value);
    return input && input->put_value(text.Get()) == S_OK;
}

void DeleteStored(CExpData& store, const std::wstring& url) {
    for (int guard = 0; guard < 16; ++guard) {
        std::unique_ptr<CDataWebForm> page(store.GetWebPageData(url, 0));
        if (!page || !store.DeleteWebPageData(page.get())) break;
    }
}

struct Round {
    double toQuestion = 0;
    double okToClose = 0;
    RelayState::ExchangeCounts question{}, save{};
    bool stored = false;
};

// One capture of the page at path; false, with why, when it did not run
// its course.
bool RunRound(HostedBand& host, CExpData& store, const std::wstring& path, int number, Round& out,
              std::wstring& why) {
    const std::wstring url = torva::browser::CanonicalUrl(path);
    DeleteStored(store, url);
    if (host.Object().NavigateTo(path) != S_OK) {
        why = L"the page did not open";
        return false;
    }
    host.Object().RunPendingLoad();
    Pump(20); // what the band posted after DocumentComplete
    CComPtr<IHTMLDocument2> page = host.Top();
    if (!Type(page, L"user", kUser) || !Type(page, L"pw", kPassword)) {
        why = L"the page's fields were not found";
        return false;
    }
    CComPtr<IHTMLElement> submit = Named(page, L"go");
    if (!submit) {
        why = L"no submit button";
        return false;
    }
    RoundUser user;
    if (!user.Hooked()) {
        why = L"the dialogs cannot be watched";
        return false;
    }
    user.entryName = L"bench capture " + std::to_wstring(number);
    RelayState::Instance().ResetCounts();
    const LONGLONG clickAt = Now();
    (void)submit->click(); // the capture's dialogs run inside it
    if (user.state() != RoundUser::State::Closed) {
        why = user.state() == RoundUser::State::Failed ? user.why()
                                                       : L"the registration did not close";
        return false;
    }
    out.toQuestion = Ms(clickAt, user.questionAt);
    out.okToClose = Ms(user.okAt, user.closedAt);
    out.question = user.questionCounts;
    out.save = user.saveCounts;
    if (host.Object().HasPendingLoad()) host.Object().RunPendingLoad(); // the form goes on
    Pump(20);
    std::unique_ptr<CDataWebForm> stored(store.GetWebPageData(url, 0));
    out.stored = false;
    if (stored)
        for (const auto& item : stored->m_items)
            out.stored = out.stored || (item->m_strName == user.entryName &&
                                        item->m_strFormName == L"login" && !item->m_ctrls.empty());
    if (!out.stored && stored)
        for (const auto& item : stored->m_items)
            std::wprintf(L"  round %d stored item \"%ls\" of form \"%ls\"\n", number,
                         item->m_strName.c_str(), item->m_strFormName.c_str());
    return true;
}

} // namespace

CaptureResult RunCaptureBench(int rounds) {
    CaptureResult result;
    (void)::OleInitialize(nullptr);
    (void)AxHostWindowInit();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES |
                                                       ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    {
        CExpData store; // keeps the relay up between the capture's own stores
        OptionKeyBackup options;
        if (!options.Saved()) {
            result.why = L"the options could not be saved";
            return result;
        }
        CDataOption capture;
        capture.m_nStopFunc = 0;
        capture.m_nStopAutoInput = 1; // nothing is filled in on load
        capture.m_nSetAuto = 1;
        capture.m_nCheckSet = 1; // the question is asked
        capture.m_nOnlyPwd = 0;
        capture.m_nNoMultiText = 0;
        capture.m_nHidePwd = 1;
        options.Write(capture);
        const peltrix::test::AutoAnswer allow(AUTH_CASE_REGIST, peltrix::test::AutoAnswer::kAllow);
        if (!allow.Applied()) {
            result.why = L"the PIN cannot be answered (another PIN is set)";
            return result;
        }
        const std::wstring path = PagePath(L"login.html");
        {
            HostedBand host;
            if (!host.Create(result.why)) return result;
            Round round;
            if (!RunRound(host, store, path, 0, round, result.why)) {
                result.why = L"warm-up: " + result.why;
                DeleteStored(store, torva::browser::CanonicalUrl(path));
                return result;
            }
            result.warmupQuestionMs = round.toQuestion;
            result.warmupSaveMs = round.okToClose;
            for (int i = 1; i <= rounds; ++i) {
                if (!RunRound(host, store, path, i, round, result.why)) {
                    result.why = L"round " + std::to_wstring(i) + L": " + result.why;
                    break;
                }
                result.toQuestion.push_back(round.toQuestion);
                result.okToClose.push_back(round.okToClose);
                AddCounts(result.questionExchanges, round.question);
                AddCounts(result.saveExchanges, round.save);
                if (round.stored) ++result.stored;
            }
            result.ok = static_cast<int>(result.toQuestion.size()) == rounds;
        }
        DeleteStored(store, torva::browser::CanonicalUrl(path));
    }
    ::OleUninitialize();
    return result;
}

} // namespace bench

#include "CaptureFixture.h"

#include "DialogDriver.h"
#include "LoginEntry.h"

#include "HtmlCom.h"
#include "SubmitClickFlag.h"

namespace {

constexpr DWORD kPollMs = 10;
constexpr UINT kCallMessage = WM_APP + 0x51;

const wchar_t* const kCapturePages[] = {
    L"capture.html",       L"capture-mixed.html",  L"capture-nopw.html",   L"capture-done.html",
    L"capture-cells.html", L"capture-gained.html", L"capture-banner.html", L"capture-sender.html"};

bool IsDialogWindow(HWND window) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    return ::lstrcmpW(name, L"#32770") == 0;
}

bool IsMessageBox(HWND window) {
    return ::GetDlgItem(window, IDYES) || ::GetDlgItem(window, 0xFFFF);
}

} // namespace

ScriptedUser::ScriptedUser(std::vector<Step> steps)
    : m_testThread(::GetCurrentThreadId()), m_steps(std::move(steps)) {
    m_thread = std::thread([this] { Run(); });
}

ScriptedUser::~ScriptedUser() {
    (void)Finish();
}

std::vector<std::wstring> ScriptedUser::Finish() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
    const std::lock_guard<std::mutex> hold(m_mutex);
    return m_seen;
}

ScriptedUser::Answer ScriptedUser::Press(int id) {
    return [id](HWND window) { DialogDriver::Click(window, id); };
}

ScriptedUser::Answer ScriptedUser::TickAndPress(int box, int button) {
    return [box, button](HWND window) {
        DialogDriver::Click(window, box);
        DialogDriver::Click(window, button);
    };
}

void ScriptedUser::Run() {
    std::vector<HWND> answered;
    while (!m_stop) {
        for (HWND window : DialogDriver::ThreadWindows(m_testThread)) {
            if (!IsDialogWindow(window) || !::IsWindowVisible(window)) continue;
            const std::wstring caption = DialogDriver::Text(window);
            if (caption.empty()) continue;
            bool known = false;
            for (HWND seen : answered)
                known = known || seen == window;
            if (known) continue;
            answered.push_back(window);
            {
                const std::lock_guard<std::mutex> hold(m_mutex);
                m_seen.push_back(caption);
            }
            if (m_next < m_steps.size() && m_steps[m_next].caption == caption) {
                m_steps[m_next++].answer(window);
            } else if (IsMessageBox(window)) {
                ::PostMessageW(window, WM_COMMAND,
                               MAKEWPARAM(::GetDlgItem(window, IDNO) ? IDNO : IDCANCEL, BN_CLICKED),
                               0);
            } else {
                ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
        }
        // Forget windows that are gone, so that a new one with a reused
        // handle is seen.
        for (auto it = answered.begin(); it != answered.end();)
            it = ::IsWindow(*it) ? it + 1 : answered.erase(it);
        ::Sleep(kPollMs);
    }
}

TestThreadCall::TestThreadCall() {
    WNDCLASSW type{};
    type.lpfnWndProc = &TestThreadCall::Proc;
    type.hInstance = ::GetModuleHandleW(nullptr);
    type.lpszClassName = L"TorvaTestThreadCall";
    (void)::RegisterClassW(&type);
    m_window = ::CreateWindowExW(0, type.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 type.hInstance, nullptr);
}

TestThreadCall::~TestThreadCall() {
    if (m_window) ::DestroyWindow(m_window);
}

void TestThreadCall::Post(std::function<void()> call) {
    auto* held = new std::function<void()>(std::move(call));
    if (!::PostMessageW(m_window, kCallMessage, 0, reinterpret_cast<LPARAM>(held))) delete held;
}

LRESULT CALLBACK TestThreadCall::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kCallMessage) {
        std::unique_ptr<std::function<void()>> call(
            reinterpret_cast<std::function<void()>*>(lParam));
        (*call)();
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CaptureFixture::SetUpTestSuite() {
    BandFixture::SetUpTestSuite();
    for (const wchar_t* name : kCapturePages) {
        for (int guard = 0; guard < 16; ++guard) {
            std::unique_ptr<CDataWebForm> stale(Store().GetWebPageData(PageUrl(name), 0));
            if (!stale) break;
            Store().DeleteWebPageData(stale.get());
        }
    }
}

void CaptureFixture::SetUp() {
    BandFixture::SetUp();
    WriteOptions(1, 1, 0, 0);
}

void CaptureFixture::TearDown() {
    BandFixture::TearDown();
    ForgetStoredPages();
}

void CaptureFixture::ForgetStoredPages() {
    // Also what the registration dialogs stored.
    for (const wchar_t* name : kCapturePages) {
        for (int guard = 0; guard < 16; ++guard) {
            std::unique_ptr<CDataWebForm> page(Store().GetWebPageData(PageUrl(name), 0));
            if (!page) break;
            Store().DeleteWebPageData(page.get());
        }
    }
}

void CaptureFixture::WriteOptions(int setAuto, int checkSet, int onlyPwd, int noMultiText,
                                  int stopFunc) {
    CDataOption& options = Store().m_option;
    options.m_nStopFunc = stopFunc;
    options.m_nStopAutoInput = 1; // no fill-in on load: the tests type what they need
    options.m_nSetAuto = setAuto;
    options.m_nCheckSet = checkSet;
    options.m_nOnlyPwd = onlyPwd;
    options.m_nNoMultiText = noMultiText;
    options.m_nHidePwd = 1;
    Store().SetOptionData();
}

int CaptureFixture::StoredCheckSet() {
    CExpData fresh(false);
    if (!fresh.GetOptionData()) return -1;
    return fresh.m_option.m_nCheckSet;
}

CComPtr<IHTMLElement> CaptureFixture::Named(const wchar_t* name, IHTMLDocument2* document) {
    CComPtr<IHTMLDocument2> top = document ? CComPtr<IHTMLDocument2>(document) : Top();
    CComPtr<IHTMLElementCollection> all;
    CComPtr<IDispatch> item;
    CComPtr<IHTMLElement> element;
    if (!top || FAILED(top->get_all(&all)) || !all) return element;
    VARIANT key;
    key.vt = VT_BSTR;
    key.bstrVal = ::SysAllocString(name);
    if (SUCCEEDED(all->item(key, IndexVariant(0), &item)) && item)
        item->QueryInterface(IID_IHTMLElement, reinterpret_cast<void**>(&element));
    ::VariantClear(&key);
    return element;
}

void CaptureFixture::Type(const wchar_t* name, const std::wstring& value,
                          IHTMLDocument2* document) {
    auto input = As<IHTMLInputElement>(Named(name, document), IID_IHTMLInputElement);
    ASSERT_TRUE(input) << "no input named " << std::string(name, name + ::lstrlenW(name));
    ScopedBstr text(value);
    ASSERT_EQ(input->put_value(text.Get()), S_OK);
}

void CaptureFixture::ClickOn(const wchar_t* name, IHTMLDocument2* document) {
    CComPtr<IHTMLElement> element = Named(name, document);
    ASSERT_TRUE(element);
    ASSERT_EQ(element->click(), S_OK);
}

CComPtr<CSubmitButtonEventSink> CaptureFixture::SinkOf(const wchar_t* name) {
    CComPtr<IUnknown> wanted = As<IUnknown>(Named(name), IID_IUnknown);
    int number = -1;
    // The band numbers the buttons in page order; find the named one's
    // ordinal by walking the same inputs.
    CComPtr<IHTMLElementCollection> all;
    long count = 0;
    if (FAILED(Top()->get_all(&all)) || !all || FAILED(all->get_length(&count))) return {};
    int ordinal = 0;
    for (long i = 0; i < count && number < 0; ++i) {
        CComPtr<IHTMLElement> element;
        if (FAILED(ItemAt(all.p, i, IID_IHTMLElement, element))) continue;
        auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement);
        if (!input) continue;
        ScopedBstr type;
        (void)input->get_type(type.Out());
        if (type.Text() != L"submit" && type.Text() != L"image") continue;
        if (As<IUnknown>(element, IID_IUnknown) == wanted) number = ordinal;
        ++ordinal;
    }
    for (const auto& sink : Band().Sinks())
        if (sink->snum == number && sink->Document() == Top().p) return sink;
    return {};
}

ScriptedUser::Answer CaptureFixture::RegisterAs(const std::wstring& entryName, bool autoInput,
                                                bool autoSend) {
    return [entryName, autoInput, autoSend](HWND dialog) {
        // The copy of the form is shown and filled before the boxes count.
        ::Sleep(300);
        ::SendMessageW(::GetDlgItem(dialog, IDC_REGIST_NAME), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(entryName.c_str()));
        const auto tick = [dialog](int id, bool on) {
            const bool checked =
                ::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
            if (checked != on) DialogDriver::Click(dialog, id);
        };
        tick(IDC_REGIST_AUTOINPUT, autoInput);
        tick(IDC_REGIST_AUTOSEND, autoSend);
        DialogDriver::Click(dialog, IDOK);
        (void)DialogDriver::WaitUntilGone(dialog, 15000);
    };
}

std::unique_ptr<CDataWebForm> CaptureFixture::StoredPage(const std::wstring& url) {
    return std::unique_ptr<CDataWebForm>(Store().GetWebPageData(url, 1));
}

void CaptureFixture::FinishNavigation() {
    if (BrowserObject().HasPendingLoad()) BrowserObject().RunPendingLoad();
    Pump(30);
}

void MakeMember(CDataWebItem& item, const std::wstring& name, const std::wstring& user,
                const std::wstring& password) {
    item.m_strName = name;
    item.m_strFormName = L"member";
    item.m_nAutoInput = 0;
    item.m_nAutoSend = 0;
    item.m_nIndex = 1;
    CDataWebCtrl& u = AddCtrl(item, D_WEB_CTRL_TEXT, L"user");
    u.TextValue()->m_strValue = user;
    u.TextValue()->m_nDataLen = 20;
    CDataWebCtrl& p = AddCtrl(item, D_WEB_CTRL_PSWD, L"pw");
    p.TextValue()->m_strValue = password;
    p.TextValue()->m_nDataLen = -1;
    CDataWebCtrl& plan = AddCtrl(item, D_WEB_CTRL_RADIO, L"plan");
    for (const wchar_t* value : {L"a", L"b", L"c"}) {
        CDataWebSelElement& choice = plan.SelValue()->Add();
        choice.m_strValue = value;
        choice.m_nSelect = value[0] == L'a' ? 1 : 0;
    }
    CDataWebCtrl& keep = AddCtrl(item, D_WEB_CTRL_CHECK, L"keep");
    keep.SelValue()->Add().m_strValue = L"on";
    CDataWebCtrl& pref = AddCtrl(item, D_WEB_CTRL_SELECT, L"pref");
    const wchar_t* const values[] = {L"v1", L"v2", L"v3"};
    const wchar_t* const texts[] = {L"一", L"二", L"三"};
    for (int i = 0; i < 3; ++i) {
        CDataWebSelElement& option = pref.SelValue()->Add();
        option.m_strValue = values[i];
        option.m_strText = texts[i];
        option.m_nSelect = i == 1 ? 1 : 0;
    }
    CDataWebCtrl& note = AddCtrl(item, D_WEB_CTRL_MULTI, L"note");
    note.MultiValue()->m_nRows = 3;
    note.MultiValue()->m_nCols = 20;
    AddCtrl(item, D_WEB_CTRL_SUBMIT, L"go").ButtonValue()->m_strValue = L"Login";
    AddCtrl(item, D_WEB_CTRL_IMAGE, L"img").ButtonValue()->m_strValue = L"Go";
}

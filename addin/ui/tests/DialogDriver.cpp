#include "DialogDriver.h"

#include <utility>
#include <vector>

namespace {

constexpr DWORD kPollMs = 10;
constexpr DWORD kShowTimeoutMs = 5000;
constexpr DWORD kGraceMs = 3000;
constexpr UINT kClickWaitMs = 300;

bool IsDialogClass(HWND window) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    return std::wstring(name) == L"#32770";
}

} // namespace

DialogDriver::DialogDriver(std::wstring caption, Script script)
    : m_caption(std::move(caption)), m_testThread(::GetCurrentThreadId()) {
    m_thread = std::thread([this, script = std::move(script)] { Run(script); });
}

DialogDriver::~DialogDriver() {
    Join();
}

void DialogDriver::Join() {
    if (m_thread.joinable()) m_thread.join();
}

std::wstring DialogDriver::Text(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

HWND DialogDriver::WaitForDialog(DWORD timeoutMs) const {
    for (DWORD waited = 0; waited <= timeoutMs; waited += kPollMs) {
        for (HWND window : ThreadWindows(m_testThread)) {
            if (IsDialogClass(window) && ::IsWindowVisible(window) && Text(window) == m_caption)
                return window;
        }
        ::Sleep(kPollMs);
    }
    return nullptr;
}

void DialogDriver::Run(const Script& script) {
    const HWND dialog = WaitForDialog(kShowTimeoutMs);
    m_dialog = dialog;
    if (!dialog) return;
    script(*this);
    if (WaitUntilGone(dialog, kGraceMs)) return;
    m_leftOpen = true;
    ForceClose(dialog);
}

void DialogDriver::ForceClose(HWND dialog) {
    while (::IsWindow(dialog)) {
        if (const HWND box = WaitForMessageBox(dialog, 0)) (void)DismissMessageBox(box);
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        if (WaitUntilGone(dialog, 500)) return;
        ::EndDialog(dialog, IDABORT);
        (void)WaitUntilGone(dialog, 500);
    }
}

void DialogDriver::Click(HWND dialog, int id) {
    // Sent, so the click has taken effect when this returns; bounded, because
    // a click that opens a message box answers only when the box is gone.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_NORMAL, kClickWaitMs,
                          &answer);
}

HWND DialogDriver::WaitForMessageBox(HWND owner, DWORD timeoutMs) {
    const DWORD thread = ::GetWindowThreadProcessId(owner, nullptr);
    for (DWORD waited = 0;; waited += kPollMs) {
        for (HWND window : ThreadWindows(thread)) {
            if (window != owner && IsDialogClass(window) &&
                ::GetWindow(window, GW_OWNER) == owner && ::IsWindowVisible(window))
                return window;
        }
        if (waited >= timeoutMs) return nullptr;
        ::Sleep(kPollMs);
    }
}

std::wstring DialogDriver::MessageBoxText(HWND box) {
    std::wstring joined;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        ::GetClassNameW(child, name, 16);
        if (::lstrcmpiW(name, L"Static") != 0) continue;
        const std::wstring text = Text(child);
        if (text.empty()) continue;
        if (!joined.empty()) joined += L'\n';
        joined += text;
    }
    return joined;
}

HICON DialogDriver::MessageBoxIcon(HWND box) {
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        wchar_t name[16] = {};
        ::GetClassNameW(child, name, 16);
        if (::lstrcmpiW(name, L"Static") == 0)
            return reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
    }
    return nullptr;
}

bool DialogDriver::DismissMessageBox(HWND box, DWORD timeoutMs) {
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return WaitUntilGone(box, timeoutMs);
}

bool DialogDriver::WaitUntilGone(HWND window, DWORD timeoutMs) {
    for (DWORD waited = 0;; waited += kPollMs) {
        if (!::IsWindow(window)) return true;
        if (waited >= timeoutMs) return false;
        ::Sleep(kPollMs);
    }
}

std::vector<HWND> DialogDriver::ThreadWindows(DWORD thread) {
    std::vector<HWND> windows;
    ::EnumThreadWindows(
        thread,
        [](HWND window, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

#include "AuthenticationRun.h"

#include "Win32Handles.h"
#include "resource.h"

#include <chrono>
#include <vector>

namespace {

constexpr DWORD kPollMs = 10;

struct HookTraits {
    static HHOOK Invalid() { return nullptr; }
    static bool IsValid(HHOOK h) { return h != nullptr; }
    static void Close(HHOOK h) { ::UnhookWindowsHookEx(h); }
};
using UniqueHook = torva::UniqueResource<HHOOK, HookTraits>;

thread_local int t_windowsCreated = 0;

LRESULT CALLBACK CountCreations(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) ++t_windowsCreated;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM context) {
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, ARRAYSIZE(className));
    if (std::wstring(className) == L"#32770" && ::IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(context) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

AuthenticationRun::AuthenticationRun(std::function<DWORD()> body) {
    std::promise<DWORD> resultPromise;
    m_result = resultPromise.get_future().share();
    std::future<DWORD> threadId = m_threadIdPromise.get_future();
    m_thread = std::thread(
        [this, body = std::move(body), resultPromise = std::move(resultPromise)]() mutable {
            m_threadIdPromise.set_value(::GetCurrentThreadId());
            try {
                resultPromise.set_value(body());
            } catch (...) {
                resultPromise.set_exception(std::current_exception());
            }
        });
    m_threadId = threadId.get();
}

AuthenticationRun::~AuthenticationRun() {
    // A failed test may leave the dialog open; closing it lets the thread end.
    while (m_result.wait_for(std::chrono::milliseconds(kPollMs)) != std::future_status::ready) {
        if (HWND dialog = FindDialog()) ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
    m_thread.join();
}

HWND AuthenticationRun::FindDialog() const {
    HWND found = nullptr;
    ::EnumThreadWindows(m_threadId, &CollectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND AuthenticationRun::WaitForDialog(DWORD timeoutMs) const {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND dialog = FindDialog()) return dialog;
        if (::GetTickCount64() >= deadline) return nullptr;
        ::Sleep(kPollMs);
    }
}

void AuthenticationRun::TypePin(HWND dialog, const std::wstring& pin) {
    ::SendMessageW(::GetDlgItem(dialog, IDC_PIN), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(pin.c_str()));
}

void AuthenticationRun::Press(HWND dialog, int buttonId) {
    ::SendMessageW(::GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
}

std::wstring AuthenticationRun::ControlText(HWND dialog, int controlId) {
    wchar_t text[256] = {};
    ::GetDlgItemTextW(dialog, controlId, text, ARRAYSIZE(text));
    return text;
}

bool AuthenticationRun::WaitForResult(DWORD& result, DWORD timeoutMs) {
    if (m_result.wait_for(std::chrono::milliseconds(timeoutMs)) != std::future_status::ready) {
        return false;
    }
    result = m_result.get();
    return true;
}

DWORD CountWindowsCreated(const std::function<DWORD()>& body, int& created) {
    t_windowsCreated = 0;
    UniqueHook hook(::SetWindowsHookExW(WH_CBT, &CountCreations, nullptr, ::GetCurrentThreadId()));
    const DWORD result = body();
    created = hook ? t_windowsCreated : -1;
    return result;
}

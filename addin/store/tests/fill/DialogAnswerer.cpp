#include "DialogAnswerer.h"
#include "DialogDriver.h"

#include <vector>

namespace {

constexpr DWORD kPollMs = 10;
constexpr DWORD kGoneTimeoutMs = 5000;

std::wstring Caption(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

bool IsVisibleDialog(HWND window) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    return std::wstring(name) == L"#32770" && ::IsWindowVisible(window);
}

void WaitUntilGone(HWND window) {
    for (DWORD waited = 0; waited < kGoneTimeoutMs && ::IsWindow(window); waited += kPollMs) {
        ::Sleep(kPollMs);
    }
}

} // namespace

DialogAnswerer::DialogAnswerer() : m_testThread(::GetCurrentThreadId()) {
    m_thread = std::thread([this] { Watch(); });
}

DialogAnswerer::~DialogAnswerer() {
    m_stop = true;
    if (m_thread.joinable()) m_thread.join();
}

void DialogAnswerer::Set(const std::wstring& caption, Answer answer) {
    const std::lock_guard<std::mutex> hold(m_lock);
    m_answers[caption] = std::move(answer);
}

int DialogAnswerer::Seen(const std::wstring& caption) const {
    const std::lock_guard<std::mutex> hold(m_lock);
    const auto found = m_seen.find(caption);
    return found == m_seen.end() ? 0 : found->second;
}

std::wstring DialogAnswerer::Log() const {
    const std::lock_guard<std::mutex> hold(m_lock);
    return m_log;
}

void DialogAnswerer::Tick(HWND dialog, int id) {
    ::SendMessageW(::GetDlgItem(dialog, id), BM_SETCHECK, BST_CHECKED, 0);
}

void DialogAnswerer::Press(HWND dialog, int id) {
    ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void DialogAnswerer::Watch() {
    while (!m_stop) {
        for (HWND window : DialogDriver::ThreadWindows(m_testThread)) {
            if (IsVisibleDialog(window) && m_handled.count(window) == 0) Handle(window);
        }
        ::Sleep(kPollMs);
    }
}

void DialogAnswerer::Handle(HWND dialog) {
    // Give the dialog's initialisation a moment to finish its layout.
    ::Sleep(50);
    const std::wstring caption = Caption(dialog);
    Answer answer;
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        m_handled.insert(dialog);
        ++m_seen[caption];
        m_log += (m_log.empty() ? L"" : L" | ") + caption;
        const auto found = m_answers.find(caption);
        if (found != m_answers.end()) answer = found->second;
    }
    if (answer) {
        answer(dialog);
    } else {
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    WaitUntilGone(dialog);
    if (::IsWindow(dialog)) ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

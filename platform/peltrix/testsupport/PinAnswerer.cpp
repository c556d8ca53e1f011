#include "PinAnswerer.h"

#include "AutoAnswer.h"
#include "PinDialog.h"
#include "ProcessTree.h"
#include "resource.h"

#include <chrono>
#include <string>
#include <system_error>

namespace peltrix::test {
namespace {

constexpr wchar_t kPinDialogCaption[] = L"TORVA 認証";
constexpr auto kPoll = std::chrono::milliseconds(20);
// Long enough for a PIN check of the most rounds the library accepts on a
// slow machine; a dialog still open after that gets Cancel.
constexpr DWORD kAnswerTimeoutMs = 10000;

bool IsPinDialog(HWND window) {
    wchar_t text[32] = {};
    ::GetClassNameW(window, text, ARRAYSIZE(text));
    if (std::wstring(text) != L"#32770" || !::IsWindowVisible(window)) return false;
    ::GetWindowTextW(window, text, ARRAYSIZE(text));
    return std::wstring(text) == kPinDialogCaption && ::GetDlgItem(window, IDC_PIN) != nullptr;
}

BOOL CALLBACK CollectPinDialog(HWND window, LPARAM context) {
    if (IsPinDialog(window)) reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

std::vector<HWND> PinDialogs() {
    std::vector<HWND> dialogs;
    ::EnumWindows(&CollectPinDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

// The dialog may belong to another process: a hung one must not hang us.
void Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                          &result);
}

bool Closes(HWND dialog) {
    const ULONGLONG deadline = ::GetTickCount64() + kAnswerTimeoutMs;
    while (::IsWindow(dialog) && ::IsWindowVisible(dialog)) {
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(10);
    }
    return true;
}

void PressCancel(HWND dialog) {
    Send(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    if (!Closes(dialog)) ::PostMessageW(dialog, WM_CLOSE, 0, 0);
}

} // namespace

PinAnswerer& PinAnswerer::Process() {
    static PinAnswerer answerer;
    return answerer;
}

PinAnswerer::~PinAnswerer() {
    std::thread ending;
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        if (m_stop) *m_stop = true;
        ending = std::move(m_thread);
    }
    m_wake.notify_all();
    if (ending.joinable()) ending.join();
}

bool PinAnswerer::Add(DWORD authCase, Answer answer, unsigned long long& token) {
    const std::lock_guard<std::mutex> hold(m_lock);
    if (!m_thread.joinable()) {
        try {
            auto stop = std::make_shared<bool>(false);
            m_thread = std::thread([this, stop] { Watch(stop); });
            m_stop = std::move(stop);
        } catch (const std::system_error&) {
            return false;
        }
    }
    token = ++m_nextToken;
    m_presets.push_back({token, authCase, answer});
    return true;
}

void PinAnswerer::Remove(unsigned long long token) noexcept {
    std::thread ending;
    {
        const std::lock_guard<std::mutex> hold(m_lock);
        for (auto it = m_presets.begin(); it != m_presets.end(); ++it) {
            if (it->token == token) {
                m_presets.erase(it);
                break;
            }
        }
        if (m_presets.empty() && m_thread.joinable()) {
            *m_stop = true;
            ending = std::move(m_thread);
        }
    }
    m_wake.notify_all();
    if (ending.joinable()) ending.join();
}

bool PinAnswerer::AnswerFor(DWORD authCase, Answer& answer) {
    const std::lock_guard<std::mutex> hold(m_lock);
    for (auto it = m_presets.rbegin(); it != m_presets.rend(); ++it) {
        if (it->authCase == authCase) {
            answer = it->answer;
            return true;
        }
    }
    return false;
}

void PinAnswerer::Give(HWND dialog, Answer answer) {
    if (answer == Answer::Cancel) {
        PressCancel(dialog);
        return;
    }
    Send(::GetDlgItem(dialog, IDC_PIN), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kTestPin));
    Send(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    // Still open: the PIN was not the test PIN after all. Nobody else would
    // answer, and the caller may wait without limit.
    if (!Closes(dialog)) PressCancel(dialog);
}

void PinAnswerer::Watch(std::shared_ptr<bool> stop) noexcept {
    // Dialogs answered and dialogs of outsiders, each looked at once.
    std::set<HWND> done;
    try {
        for (;;) {
            {
                std::unique_lock<std::mutex> hold(m_lock);
                if (m_wake.wait_for(hold, kPoll, [&stop] { return *stop; })) return;
            }
            const std::vector<HWND> dialogs = PinDialogs();
            for (HWND dialog : dialogs) {
                if (done.count(dialog) != 0) continue;
                DWORD processId = 0;
                ::GetWindowThreadProcessId(dialog, &processId);
                if (!IsThisProcessOrDescendant(processId)) {
                    done.insert(dialog);
                    continue;
                }
                const auto authCase = static_cast<DWORD>(
                    reinterpret_cast<ULONG_PTR>(::GetPropW(dialog, PinDialog::kAuthCaseProperty)));
                Answer answer = Answer::Cancel;
                if (!AnswerFor(authCase, answer)) continue; // someone else's to answer
                done.insert(dialog);
                Give(dialog, answer);
            }
            for (auto it = done.begin(); it != done.end();) {
                it = ::IsWindow(*it) ? std::next(it) : done.erase(it);
            }
        }
    } catch (...) {
        // Out of memory in a test process: the answers stop; tests then fail
        // by their own time limits rather than by a crash here.
    }
}

} // namespace peltrix::test

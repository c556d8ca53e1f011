#include "FxUser.h"

#include <shlobj.h>

#include <algorithm>

#include <utility>
#include <vector>

namespace {

constexpr DWORD kPollMs = 10;
constexpr DWORD kShowTimeoutMs = 5000;
constexpr DWORD kGraceMs = 3000;

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

std::vector<HWND> ThreadWindows(DWORD thread) {
    std::vector<HWND> windows;
    ::EnumThreadWindows(thread, &CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

} // namespace

FxUser::FxUser(std::wstring caption, Script script)
    : m_caption(std::move(caption)), m_testThread(::GetCurrentThreadId()) {
    m_thread = std::thread([this, script = std::move(script)] { Run(script); });
}

FxUser::~FxUser() {
    Join();
}

bool FxUser::Join() {
    if (m_thread.joinable()) m_thread.join();
    return m_found;
}

std::wstring FxUser::Text(HWND window) {
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

HWND FxUser::FindThreadWindow(DWORD thread, const std::wstring& caption, DWORD timeoutMs) {
    for (DWORD waited = 0; waited <= timeoutMs; waited += kPollMs) {
        for (HWND window : ThreadWindows(thread)) {
            if (::IsWindowVisible(window) && Text(window) == caption) return window;
        }
        ::Sleep(kPollMs);
    }
    return nullptr;
}

void FxUser::Type(HWND dialog, int id, const wchar_t* text) {
    ::SendMessageW(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

void FxUser::Press(HWND dialog, int id) {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_NORMAL, 1000, &answer);
}

void FxUser::Key(HWND window, UINT virtualKey) {
    const UINT scan = ::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    ::PostMessageW(window, WM_KEYDOWN, virtualKey, 1 | (static_cast<LPARAM>(scan) << 16));
    ::PostMessageW(window, WM_KEYUP, virtualKey,
                   1 | (static_cast<LPARAM>(scan) << 16) | (3u << 30));
}

bool FxUser::WaitUntilGone(HWND window, DWORD timeoutMs) {
    for (DWORD waited = 0;; waited += kPollMs) {
        if (!::IsWindow(window)) return true;
        if (waited >= timeoutMs) return false;
        ::Sleep(kPollMs);
    }
}

void FxUser::Run(const Script& script) {
    const HWND dialog = FindThreadWindow(m_testThread, m_caption, kShowTimeoutMs);
    if (!dialog) return;
    m_found = true;
    script(dialog);
    if (WaitUntilGone(dialog, kGraceMs)) return;
    m_leftOpen = true;
    while (::IsWindow(dialog)) {
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        if (WaitUntilGone(dialog, 500)) return;
    }
}

HDROP FxUser::MakeDrop(const std::vector<std::wstring>& names) {
    size_t chars = 1;
    for (const auto& name : names)
        chars += name.size() + 1;
    HGLOBAL memory =
        ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(drop + 1);
    for (const auto& name : names) {
        std::copy(name.begin(), name.end(), text);
        text += name.size() + 1;
    }
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

bool FxUser::DropIsFreed(HDROP drop) {
    return ::GlobalFlags(drop) == GMEM_INVALID_HANDLE;
}

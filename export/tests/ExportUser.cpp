#include "ExportUser.h"

#include <shlobj.h>

#include <algorithm>

namespace export_user {

namespace {

struct Search {
    DWORD process;
    DWORD thread;
    const std::wstring* caption;
    HWND found;
};

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    ::GetWindowTextW(window, text, 1024);
    return text;
}

BOOL CALLBACK FindBoxIn(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD process = 0;
    const DWORD thread = ::GetWindowThreadProcessId(window, &process);
    if (process != search->process || (search->thread && thread != search->thread)) return TRUE;
    if (!::IsWindowVisible(window) || !::GetDlgItem(window, 0xFFFF)) return TRUE;
    if (!search->caption->empty() && TextOf(window) != *search->caption) return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND FindBox(const std::wstring& caption, DWORD thread) {
    Search search{::GetCurrentProcessId(), thread, &caption, nullptr};
    ::EnumWindows(&FindBoxIn, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

Box Answer(const std::wstring& caption, int button, DWORD thread, DWORD timeoutMs) {
    Box box;
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (HWND window = FindBox(caption, thread)) {
            box.found = true;
            box.text = TextOf(::GetDlgItem(window, 0xFFFF));
            ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            for (int i = 0; i < 250 && ::IsWindow(window); ++i)
                ::Sleep(20);
            return box;
        }
        ::Sleep(20);
    }
    return box;
}

void Click(HWND dialog, int id) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMs;
    while (!done()) {
        if (::GetTickCount64() > end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return true;
}

std::wstring TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

std::string ReadAll(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(::GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty())
        ::ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<vantrel::CheckedItem> EverythingChecked(CExportStore& store,
                                                    const std::wstring& skipUrl) {
    using vantrel::CheckedItem;
    std::vector<CheckedItem> items;
    for (const auto& page : store.Pages()) {
        if (page->URL == skipUrl) continue;
        for (auto& form : page->items) {
            form->treeItem = form.get();
            items.push_back(CheckedItem{18, form.get()});
        }
    }
    items.push_back(CheckedItem{48});
    for (int type = 33; type <= 41; ++type)
        items.push_back(CheckedItem{type});
    items.push_back(CheckedItem{64});
    for (int type = 81; type <= 85; ++type)
        items.push_back(CheckedItem{type});
    for (const auto& app : store.Applications()) {
        for (const auto& caption : app->captions) {
            for (const auto& item : caption->items)
                items.push_back(CheckedItem{99, nullptr, app.get(), caption.get(), item.get()});
        }
    }
    items.push_back(CheckedItem{112});
    return items;
}

} // namespace export_user

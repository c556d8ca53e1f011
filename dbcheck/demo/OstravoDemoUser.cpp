// The user of the Ostravo demonstration (scripts/ostravo-demo.sh):
//
//   ostravo_demo_user prepare FOLDER [user]
//       writes the three named databases and the caller's own one into
//       FOLDER and damages one payload byte of "TORVA_ADMIN" (with "user":
//       of the caller's own database) in a complete record followed by
//       others, which the database reader calls corruption;
//   ostravo_demo_user admin on|off
//       names the caller as the configured administrator ("AdminUser"), or
//       takes that away again;
//   ostravo_demo_user run OUTDIR OSTRAVO_EXE
//       starts Ostravo, waits for its dialog, writes the rows it shows into
//       OUTDIR\before.txt and creates OUTDIR\before.ready, then waits for
//       OUTDIR\before.shot (the script's screenshot); ticks every damaged
//       row and presses "初期化", writes after.txt / after.ready and waits for
//       after.shot; then presses "終了" and waits for the program to end.
//
// Exit code 0 when every step was done.
#include "Database.h"
#include "StorageFormat.h"
#include "Win32Handles.h"
#include "resource.h"

#include <windows.h>

#include <sddl.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t kCaption[] = L"データベース診断ユーティリティ";
constexpr wchar_t kTorvaKey[] = L"SOFTWARE\\Kobel\\TORVA";
constexpr DWORD kShowWaitMs = 300000; // a 32-bit start under emulation takes minutes
constexpr DWORD kShotWaitMs = 120000;

std::wstring OwnSid() {
    torva::UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
    BYTE buffer[256];
    DWORD bytes = 0;
    if (!::GetTokenInformation(token.get(), TokenUser, buffer, sizeof(buffer), &bytes)) return {};
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text))
        return {};
    const std::wstring sid = text;
    ::LocalFree(text);
    return sid;
}

bool WriteDatabase(const std::wstring& folder, const std::wstring& name) {
    std::wstring identity;
    if (brisbel::Database::IdentityOf(folder, name, identity) != 0) return false;
    brisbel::Database db(folder, name, identity);
    if (db.Open() != 0) return false;
    brisbel::KeyPath key;
    if (brisbel::KeyPath::Parse(L"Demo", key) != 0 || db.CreateKey(key) != 0) return false;
    for (DWORD i = 0; i < 5; ++i) {
        if (db.SetValue(key, L"v" + std::to_wstring(i), TVRDB_TYPE_DWORD,
                        reinterpret_cast<const BYTE*>(&i), sizeof(i)) != 0) {
            return false;
        }
    }
    return true;
}

bool FlipFirstRecordByte(const std::wstring& file) {
    torva::UniqueFile handle(::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    if (!handle) return false;
    const LONG at = sizeof(brisbel::format::FileHeader) + sizeof(brisbel::format::RecordHeader) + 2;
    BYTE byte = 0;
    DWORD done = 0;
    if (::SetFilePointer(handle.get(), at, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !::ReadFile(handle.get(), &byte, 1, &done, nullptr) || done != 1) {
        return false;
    }
    byte ^= 0x01;
    return ::SetFilePointer(handle.get(), at, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ::WriteFile(handle.get(), &byte, 1, &done, nullptr) && done == 1;
}

int Prepare(const std::wstring& folder, bool userDatabase) {
    const std::wstring own = OwnSid();
    for (const wchar_t* name : {L"TORVA_SYSTEMDEFINED", L"TORVA_ADMIN", L"TORVA_GINA"})
        if (!WriteDatabase(folder, name)) return 2;
    if (own.empty() || !WriteDatabase(folder, own)) return 2;
    const std::wstring damaged = userDatabase ? own : std::wstring(L"TORVA_ADMIN");
    return FlipFirstRecordByte(folder + L"\\" + damaged + L".00000001.tvdb") ? 0 : 3;
}

int Admin(bool on) {
    torva::UniqueRegKey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kTorvaKey, 0, nullptr, 0,
                          KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS) {
        return 2;
    }
    if (!on) {
        const LSTATUS status = ::RegDeleteValueW(key.get(), L"AdminUser");
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? 0 : 2;
    }
    const std::wstring sid = OwnSid();
    return ::RegSetValueExW(key.get(), L"AdminUser", 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(sid.c_str()),
                            static_cast<DWORD>((sid.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS
               ? 0
               : 2;
}

std::wstring Text(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

struct Row {
    const wchar_t* label;
    int checkId;
    int statusId;
};
constexpr Row kRows[] = {
    {L"システム定義データ", IDC_CHECK_SYSTEMDEFINED, IDC_STATE_SYSTEMDEFINED},
    {L"管理者設定", IDC_CHECK_ADMIN, IDC_STATE_ADMIN},
    {L"Windowsパスワード情報", IDC_CHECK_GINA, IDC_STATE_GINA},
    {L"ユーザデータベース", IDC_CHECK_USERDB, IDC_STATE_USERDB},
};

bool WriteUtf8(const std::wstring& path, const std::wstring& text) {
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                            nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                          bytes, nullptr, nullptr);
    torva::UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD done = 0;
    return file &&
           ::WriteFile(file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &done, nullptr) &&
           done == utf8.size();
}

// The rows the dialog has, as "label ・・・ status [box]" lines.
std::wstring Rows(HWND dialog) {
    std::wstring text;
    for (const Row& row : kRows) {
        HWND status = ::GetDlgItem(dialog, row.statusId);
        if (!status) continue;
        text += row.label;
        text += L" ・・・ " + Text(status);
        if (::IsWindowVisible(::GetDlgItem(dialog, row.checkId))) text += L" (box shown)";
        text += L"\n";
    }
    return text;
}

void Click(HWND dialog, int id) {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_NORMAL, 60000, &answer);
}

bool WaitForFile(const std::wstring& path, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        ::Sleep(100);
    }
    return false;
}

// Shows the state to the script, then waits for its picture.
bool Step(HWND dialog, const std::wstring& out, const wchar_t* name) {
    const std::wstring stem = out + L"\\" + name;
    ::Sleep(500); // let the dialog finish drawing
    return WriteUtf8(stem + L".txt", Rows(dialog)) && WriteUtf8(stem + L".ready", L"") &&
           WaitForFile(stem + L".shot", kShotWaitMs);
}

HWND WaitForDialog(DWORD thread, DWORD timeoutMs) {
    for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
        HWND window = ::FindWindowW(nullptr, kCaption);
        if (window && ::IsWindowVisible(window) &&
            ::GetWindowThreadProcessId(window, nullptr) == thread) {
            return window;
        }
        ::Sleep(100);
    }
    return nullptr;
}

int Run(const std::wstring& out, const std::wstring& exe) {
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
        return 2;
    }
    torva::UniqueHandle process(info.hProcess);
    torva::UniqueHandle thread(info.hThread);
    HWND dialog = WaitForDialog(info.dwThreadId, kShowWaitMs);
    if (!dialog) {
        ::TerminateProcess(process.get(), 99);
        return 3;
    }
    if (!Step(dialog, out, L"before")) return 4;
    for (const Row& row : kRows) {
        HWND box = ::GetDlgItem(dialog, row.checkId);
        if (box && ::IsWindowVisible(box)) Click(dialog, row.checkId);
    }
    Click(dialog, IDC_INIT);
    if (!Step(dialog, out, L"after")) return 5;
    Click(dialog, IDCANCEL);
    if (::WaitForSingleObject(process.get(), 30000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.get(), 99);
        return 6;
    }
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring verb = argc > 1 ? argv[1] : L"";
    if (verb == L"prepare" && argc == 3) return Prepare(argv[2], false);
    if (verb == L"prepare" && argc == 4 && std::wstring(argv[3]) == L"user")
        return Prepare(argv[2], true);
    if (verb == L"admin" && argc == 3) return Admin(std::wstring(argv[2]) == L"on");
    if (verb == L"run" && argc == 4) return Run(argv[2], argv[3]);
    return 1;
}

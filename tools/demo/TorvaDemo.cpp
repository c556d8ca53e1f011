// Stores one web-form page in the user's database through Brisbel, with the
// password encrypted by Corvane, then starts a second process that has the
// user authenticated by Peltrix, reads the page back, decrypts the password
// only when the PIN was right, and prints everything that was stored. The
// writer plays the user at the keyboard meanwhile: it types the test PIN
// into the reader's PIN dialog (peltrix::test::AutoAnswer), so that the run
// needs nobody; nothing else can answer that dialog.
//
//   torva_demo            write a page, then run "torva_demo --read <key>"
//   torva_demo --read K   print the page stored under key K
#include "Brisbel.h"
#include "AutoAnswer.h"
#include "Corvane.h"
#include "Peltrix.h"
#include "Win32Handles.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Print(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string utf8(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), n,
                        nullptr, nullptr);
    fwrite(utf8.data(), 1, utf8.size(), stdout);
    fflush(stdout);
}

// Closes a Brisbel database or key handle when it goes out of scope.
class Db {
public:
    Db() = default;
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;
    ~Db() {
        if (m_db) TvrDB_CloseDB(m_db);
    }
    TVRDB_HDB* put() { return &m_db; }
    TVRDB_HDB get() const { return m_db; }

private:
    TVRDB_HDB m_db = nullptr;
};

class Key {
public:
    explicit Key(TVRDB_HDB db) : m_db(db) {}
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key() {
        if (m_key) TvrDB_CloseKey(m_db, m_key);
    }
    TVRDB_HKEY* put() { return &m_key; }
    TVRDB_HKEY get() const { return m_key; }

private:
    TVRDB_HDB m_db;
    TVRDB_HKEY m_key = nullptr;
};

bool Check(DWORD result, const wchar_t* what) {
    if (result == TVRDB_OK) return true;
    Print(std::wstring(L"error: ") + what + L" failed with " + std::to_wstring(result) + L"\n");
    return false;
}

bool SetText(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name, const std::wstring& text) {
    return Check(TvrDB_SetValue(db, key, name, TVRDB_TYPE_STRING,
                                reinterpret_cast<const BYTE*>(text.data()),
                                static_cast<DWORD>(text.size() * sizeof(wchar_t))),
                 name);
}

bool SetDword(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name, DWORD value) {
    return Check(TvrDB_SetValue(db, key, name, TVRDB_TYPE_DWORD,
                                reinterpret_cast<const BYTE*>(&value), sizeof value),
                 name);
}

std::wstring PageKeyName(int number) {
    wchar_t name[64];
    swprintf(name, 64, L"%ls\\%ls%03d", L"WEBFORMDATA", L"PAGE", number);
    return name;
}

int WritePage(std::wstring& pageKey) {
    Db db;
    if (!Check(TvrDB_OpenDB(db.put()), L"TvrDB_OpenDB")) return 1;

    // The first free page number, as the add-in numbers new pages.
    int number = 1;
    for (;; ++number) {
        Key probe(db.get());
        if (TvrDB_OpenKey(db.get(), PageKeyName(number).c_str(), probe.put()) ==
            TVRDB_E_KEY_NOT_FOUND)
            break;
    }
    pageKey = PageKeyName(number);

    Key page(db.get());
    if (!Check(TvrDB_CreateKey(db.get(), pageKey.c_str(), page.put()), L"TvrDB_CreateKey"))
        return 1;
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[32];
    swprintf(stamp, 32, L"%04u/%02u/%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond);
    if (!SetText(db.get(), page.get(), L"URL", L"file:///C:/demo/login.html") ||
        !SetText(db.get(), page.get(), L"TITLE", L"デモのログイン") ||
        !SetText(db.get(), page.get(), L"UPDATEDATE", stamp) ||
        !SetDword(db.get(), page.get(), L"CHANGEFLG", 0))
        return 1;

    Key item(db.get());
    if (!Check(TvrDB_CreateKey(db.get(), (pageKey + L"\\ITEM001").c_str(), item.put()),
               L"TvrDB_CreateKey"))
        return 1;
    if (!SetText(db.get(), item.get(), L"NAME", L"taro") ||
        !SetText(db.get(), item.get(), L"FORMNAME", L"login") ||
        !SetDword(db.get(), item.get(), L"AUTOINPUT", 1) ||
        !SetDword(db.get(), item.get(), L"AUTOSEND", 0) ||
        !SetDword(db.get(), item.get(), L"INDEX", 0))
        return 1;

    Key user(db.get());
    if (!Check(TvrDB_CreateKey(db.get(), (pageKey + L"\\ITEM001\\CTRL001").c_str(), user.put()),
               L"TvrDB_CreateKey"))
        return 1;
    if (!SetDword(db.get(), user.get(), L"TYPE", 0) ||
        !SetText(db.get(), user.get(), L"NAME", L"userid") ||
        !SetText(db.get(), user.get(), L"VALUE", L"taro.yamada"))
        return 1;

    // A password field's value is the only one stored encrypted.
    const std::wstring password = L"s3cret-パスワード";
    const DWORD plainBytes = static_cast<DWORD>(password.size() * sizeof(wchar_t));
    std::vector<BYTE> cipher(4 * plainBytes + 64);
    DWORD cipherBytes = 0;
    DWORD rc = TvrCT_Encrypt(reinterpret_cast<const BYTE*>(password.data()), plainBytes,
                             cipher.data(), static_cast<DWORD>(cipher.size()), &cipherBytes);
    if (rc != TVRCT_OK) {
        Print(L"error: TvrCT_Encrypt failed with " + std::to_wstring(rc) + L"\n");
        return 1;
    }
    Key pswd(db.get());
    if (!Check(TvrDB_CreateKey(db.get(), (pageKey + L"\\ITEM001\\CTRL002").c_str(), pswd.put()),
               L"TvrDB_CreateKey"))
        return 1;
    if (!SetDword(db.get(), pswd.get(), L"TYPE", 1) ||
        !SetText(db.get(), pswd.get(), L"NAME", L"password") ||
        !Check(TvrDB_SetValue(db.get(), pswd.get(), L"VALUE", TVRDB_TYPE_BINARY, cipher.data(),
                              cipherBytes),
               L"VALUE"))
        return 1;
    Print(L"[writer] stored " + pageKey + L" (password encrypted: " + std::to_wstring(plainBytes) +
          L" bytes -> " + std::to_wstring(cipherBytes) + L" bytes)\n");
    return 0;
}

std::wstring DescribeValue(const std::wstring& keyPath, const std::wstring& name, DWORD type,
                           const std::vector<BYTE>& data, bool authenticated) {
    if (type == TVRDB_TYPE_DWORD && data.size() == 4) {
        DWORD v;
        memcpy(&v, data.data(), 4);
        return std::to_wstring(static_cast<long>(v));
    }
    if (type == TVRDB_TYPE_STRING)
        return L"\"" +
               std::wstring(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2) + L"\"";
    // Binary: a password field's encrypted value.
    std::wstring text = L"<" + std::to_wstring(data.size()) + L" bytes encrypted>";
    if (name == L"VALUE" && keyPath.find(L"CTRL") != std::wstring::npos && !authenticated) {
        return text + L" (not decrypted: the user was not authenticated)";
    }
    if (name == L"VALUE" && keyPath.find(L"CTRL") != std::wstring::npos) {
        std::vector<BYTE> plain(data.size() + 2, 0);
        DWORD plainBytes = 0;
        DWORD rc = TvrCT_Decrypt(data.data(), static_cast<DWORD>(data.size()), plain.data(),
                                 static_cast<DWORD>(data.size()), &plainBytes);
        if (rc != TVRCT_OK) return text + L" (decryption failed: " + std::to_wstring(rc) + L")";
        text += L" decrypted: \"" +
                std::wstring(reinterpret_cast<const wchar_t*>(plain.data()), plainBytes / 2) +
                L"\"";
    }
    return text;
}

bool PrintTree(TVRDB_HDB db, const std::wstring& path, int depth, bool authenticated) {
    Key key(db);
    if (!Check(TvrDB_OpenKey(db, path.c_str(), key.put()), L"TvrDB_OpenKey")) return false;
    const std::wstring indent(depth * 2, L' ');
    Print(indent + path + L"\n");
    for (DWORD i = 0;; ++i) {
        wchar_t name[TVRDB_MAX_NAME + 1];
        DWORD nameLength = TVRDB_MAX_NAME + 1, type = 0, size = 0;
        DWORD rc = TvrDB_EnumValue(db, key.get(), i, name, &nameLength, &type, nullptr, &size);
        if (rc == TVRDB_E_NO_MORE_ITEMS) break;
        if (!Check(rc, L"TvrDB_EnumValue")) return false;
        std::vector<BYTE> data(size);
        DWORD queried = size;
        if (!Check(TvrDB_QueryValue(db, key.get(), name, &type, data.data(), &queried),
                   L"TvrDB_QueryValue"))
            return false;
        Print(indent + L"  " + name + L" = " +
              DescribeValue(path, name, type, data, authenticated) + L"\n");
    }
    DWORD length = 0; // carried from call to call, as the product's callers do
    for (DWORD i = 0;; ++i) {
        wchar_t sub[TVRDB_MAX_NAME + 1] = {};
        DWORD rc = TvrDB_EnumKey(db, key.get(), i, sub, &length);
        if (rc == TVRDB_E_NO_MORE_ITEMS) break;
        if (!Check(rc, L"TvrDB_EnumKey")) return false;
        if (!PrintTree(db, sub, depth + 1, authenticated)) return false;
    }
    return true;
}

int ReadPage(const std::wstring& pageKey) {
    Print(L"[reader, process " + std::to_wstring(GetCurrentProcessId()) + L"] " + pageKey + L":\n");
    const DWORD auth = TvrAuth_AuthenticateUser(AUTHCASE_EXPORT);
    Print(L"[reader] Peltrix asked for the PIN in its dialog: " +
          std::wstring(auth == TVRAUTH_OK ? L"authenticated" : L"refused, result ") +
          (auth == TVRAUTH_OK ? L"" : std::to_wstring(auth)) + L"\n");
    Db db;
    if (!Check(TvrDB_OpenDB(db.put()), L"TvrDB_OpenDB")) return 1;
    return PrintTree(db.get(), pageKey, 1, auth == TVRAUTH_OK) && auth == TVRAUTH_OK ? 0 : 1;
}

int RunReader(const std::wstring& pageKey) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --read \"" + pageKey + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // Live before the reader starts, so its dialog is answered whenever it shows.
    const peltrix::test::AutoAnswer user(AUTHCASE_EXPORT, peltrix::test::AutoAnswer::kAllow);
    Print(user.Applied() ? L"[writer] will type the test PIN into the reader's PIN dialog\n"
                         : L"[writer] another PIN than the test PIN is set: the reader's dialog "
                           L"will be cancelled\n");
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &pi)) {
        Print(L"error: could not start the reader process\n");
        return 1;
    }
    torva::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.get(), &code);
    return static_cast<int>(code);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 3 && std::wstring(argv[1]) == L"--read") return ReadPage(argv[2]);
    if (argc != 1) {
        Print(L"usage: torva_demo [--read KEY]\n");
        return 2;
    }
    std::wstring pageKey;
    if (int rc = WritePage(pageKey)) return rc;
    int rc = RunReader(pageKey);
    Print(rc == 0 ? L"[writer] the second process read the page back\n"
                  : L"[writer] the reader failed\n");
    return rc;
}

#include "CExportStore.h"

#include "ResourceStrings.h"
#include "TextEscape.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <thread>

namespace {
constexpr int kOpenAttempts = 5;
constexpr DWORD kRetryPauseMs = 100;
constexpr DWORD kEnumNameChars = 512; // 1024 bytes
} // namespace

CExportStore::CExportStore(const DbApi& db, const CryptApi& crypt)
    : m_dbApi(db), m_cryptApi(crypt), m_keepData(db, crypt) {
    // The default texts come from the string cache, which the program loads
    // first thing in its start-up: Load takes them, the constructor (run
    // with the application object, before the start-up) asks for none.
    for (int32_t& value : m_policies)
        value = -1;
}

CExportStore::~CExportStore() = default;

int CExportStore::Load() {
    m_rule.ruleOptionText = GetResourceString(22075);
    m_touch.displayText = GetResourceString(22076);
    LoadAuthentication();
    TVRDB_HDB db = nullptr;
    if (m_dbApi.OpenDB(&db) != kDbOk || !db) return 0;
    LoadPolicies(db);
    LoadOptions(db);
    LoadApplicationData();
    LoadWebPages(db);
    m_dbApi.CloseDB(db);
    DecryptPasswords();
    return 1;
}

DWORD CExportStore::OpenKeyWithRetries(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key) {
    DWORD result = kDbNoHandle;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        if (attempt > 0) ::SleepEx(kRetryPauseMs, TRUE);
        *key = nullptr;
        result = m_dbApi.OpenKey(db, path.c_str(), key);
        // A key that is not there will not appear by waiting.
        if (result == kDbOk || result == kDbKeyNotFound) break;
    }
    if (result != kDbOk) *key = nullptr;
    return result;
}

bool CExportStore::ReadBytes(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name,
                             std::vector<BYTE>& bytes) {
    bytes.clear();
    if (!key) return false;
    // Most values are short: one call reads them. A longer one answers with
    // its size, and a second call reads it whole.
    constexpr DWORD kFirstTry = 256;
    bytes.assign(kFirstTry, 0);
    DWORD type = 0;
    DWORD size = kFirstTry;
    DWORD result = m_dbApi.QueryValue(db, key, name, &type, bytes.data(), &size);
    if (result == TVRDB_E_MORE_DATA && size > kFirstTry) {
        bytes.assign(size, 0);
        result = m_dbApi.QueryValue(db, key, name, &type, bytes.data(), &size);
    }
    if (result != kDbOk || size > bytes.size()) {
        bytes.clear();
        return false;
    }
    bytes.resize(size);
    return true;
}

int32_t CExportStore::ReadDword(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name) {
    std::vector<BYTE> bytes;
    if (!ReadBytes(db, key, name, bytes) || bytes.empty()) return -1;
    int32_t value = 0;
    std::memcpy(&value, bytes.data(), bytes.size() < 4 ? bytes.size() : 4);
    return value;
}

std::wstring CExportStore::ReadText(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name) {
    std::vector<BYTE> bytes;
    if (!ReadBytes(db, key, name, bytes)) return {};
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    return EscapeText(text, kEscapeMode);
}

void CExportStore::ReadPassword(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name,
                                WebControlNode& control) {
    control.VALUE.clear();
    if (!m_decryptEnabled) return;
    // The stored bytes as they are, at full size: a cipher text is never
    // passed through the text escape. A missing or empty value is an empty
    // password and is not decrypted.
    std::vector<BYTE> stored;
    if (!ReadBytes(db, key, name, stored) || stored.empty()) return;
    m_pendingPasswords.push_back({&control, std::move(stored)});
}

std::wstring CExportStore::DecryptPassword(const std::vector<BYTE>& stored, bool* unread) const {
    const DWORD size = static_cast<DWORD>(stored.size());
    SecretBytes plain(static_cast<size_t>(size) + 2, 0);
    DWORD plainLength = 0;
    if (m_cryptApi.Decrypt(stored.data(), size, plain.data(), size, &plainLength) != TVRCT_OK) {
        // Only this field is lost; the passwords after it are still read.
        if (unread) *unread = true;
        return {};
    }
    if (plainLength > size) plainLength = size;
    const auto* text = reinterpret_cast<const wchar_t*>(plain.data());
    // The password as stored: the file's escape belongs to its plain output
    // alone, a sealed field carries the stored text.
    return std::wstring(text, wcsnlen(text, plainLength / 2));
}

void CExportStore::DecryptPasswords() {
    std::atomic<size_t> next{0};
    auto work = [this, &next] {
        for (size_t i = next++; i < m_pendingPasswords.size(); i = next++) {
            PendingPassword& pending = m_pendingPasswords[i];
            pending.control->VALUE = DecryptPassword(pending.stored, &pending.control->unread);
        }
    };
    // A few passwords are decrypted on this thread: a thread costs more than
    // it saves there.
    constexpr size_t kPasswordsPerThread = 16;
    unsigned threads = std::thread::hardware_concurrency();
    const size_t useful = m_pendingPasswords.size() / kPasswordsPerThread;
    if (threads > useful) threads = static_cast<unsigned>(useful);
    if (threads < 1) threads = 1;
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (auto& thread : pool)
        thread.join();
    m_pendingPasswords.clear();
}

void CExportStore::EnumSubKeys(TVRDB_HDB db, TVRDB_HKEY key, std::vector<std::wstring>& names) {
    std::vector<wchar_t> buffer(kEnumNameChars + 1);
    for (DWORD index = 0;; ++index) {
        std::fill(buffer.begin(), buffer.end(), L'\0');
        DWORD length = 0;
        if (m_dbApi.EnumKey(db, key, index, buffer.data(), &length) != kDbOk) return;
        if (length == 0 || buffer[0] == L'\0') continue;
        names.emplace_back(buffer.data(), wcsnlen(buffer.data(), kEnumNameChars));
    }
}

void CExportStore::LoadApplicationData() {
    m_keepData.CheckDBOption();
    m_keepData.CheckDBAny();
    DBRegData reg(m_dbApi, m_cryptApi);
    reg.GetDBRegData(m_applications, TRUE);
    m_keepData.GetDBOptionInfo();
}

const WebItemNode* CExportStore::FindWebItemByTreeItem(void* treeItem, std::wstring* title,
                                                       std::wstring* url,
                                                       std::wstring* updateDate) const {
    if (!treeItem) return nullptr;
    for (const auto& page : m_pages) {
        for (const auto& item : page->items) {
            if (item->treeItem != treeItem) continue;
            if (title) *title = page->TITLE;
            if (url) *url = page->URL;
            if (updateDate) *updateDate = page->UPDATEDATE;
            return item.get();
        }
    }
    return nullptr;
}

const AuthInfoNode* CExportStore::FindAuthInfo(int32_t deviceKind) const {
    for (const auto& node : m_authInfo) {
        if (node->deviceKind == deviceKind) return node.get();
    }
    return nullptr;
}

int CExportStore::HasAuthInfo(int32_t deviceKind) const {
    return FindAuthInfo(deviceKind) ? 1 : 0;
}

std::wstring CExportStore::GetPinCacheText() const {
    const AuthInfoNode* node = FindAuthInfo(kAuthPinCache);
    if (!node || !node->present) return GetResourceString(22022);
    if (node->pinCacheTime == 0) return GetResourceString(22060);
    if (node->pinCacheTime == -1) return GetResourceString(22061);
    const uint32_t ms = static_cast<uint32_t>(node->pinCacheTime);
    wchar_t text[256];
    std::swprintf(text, 256, GetResourceString(22062), static_cast<int>(ms / 3600000u),
                  static_cast<int>((ms % 3600000u) / 60000u));
    return text;
}

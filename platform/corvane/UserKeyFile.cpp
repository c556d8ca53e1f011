#include "UserKeyFile.h"

#include <shlobj.h>
#include <wincrypt.h>

#include <cstring>
#include <utility>
#include <vector>

#include "CipherFormat.h"
#include "Corvane.h"
#include "Sha256.h"
#include "SystemRandom.h"
#include "Win32Handles.h"

namespace corvane {
namespace {

// Ties the DPAPI blob to this use: a blob that some other program protected
// for the same user does not unprotect as our key.
constexpr BYTE kEntropy[] = {'K', 'o', 'b', 'e', 'l', '.', 'C', 'o',
                             'r', 'v', 'a', 'n', 'e', '.', 'U', 'K'};
constexpr wchar_t kDescription[] = L"Corvane user key";

DATA_BLOB Blob(const BYTE* data, DWORD size) {
    DATA_BLOB blob;
    blob.pbData = const_cast<BYTE*>(data);
    blob.cbData = size;
    return blob;
}

// Owns a block that DPAPI allocated (LocalAlloc) and wipes it before freeing:
// after unprotecting it holds the key itself.
class ProtectedOutput {
public:
    ProtectedOutput() { m_blob.pbData = nullptr, m_blob.cbData = 0; }
    ProtectedOutput(const ProtectedOutput&) = delete;
    ProtectedOutput& operator=(const ProtectedOutput&) = delete;
    ~ProtectedOutput() {
        if (m_blob.pbData == nullptr) return;
        SecureZeroMemory(m_blob.pbData, m_blob.cbData);
        LocalFree(m_blob.pbData);
    }
    DATA_BLOB* put() { return &m_blob; }
    const DATA_BLOB& get() const { return m_blob; }

private:
    DATA_BLOB m_blob;
};

[[nodiscard]] bool WriteAll(HANDLE file, const BYTE* data, DWORD size) {
    DWORD written = 0;
    return WriteFile(file, data, size, &written, nullptr) && written == size;
}

} // namespace

UserKeyFile::UserKeyFile(std::wstring path) : m_path(std::move(path)) {}

DWORD UserKeyFile::DefaultPath(std::wstring& path) {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr,
                                SHGFP_TYPE_CURRENT, appData)))
        return TVRCT_E_KEY_UNAVAILABLE;
    std::wstring folder = std::wstring(appData) + L"\\Kobel\\Corvane";
    int made = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS)
        return TVRCT_E_KEY_UNAVAILABLE;
    path = folder + L"\\UserKey.bin";
    return TVRCT_OK;
}

DWORD UserKeyFile::Load(SecureBuffer& key) const {
    if (auto status = ReadExisting(key)) return *status;
    std::wstring name;
    if (DWORD s = MutexName(name)) return s;
    torva::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, name.c_str()));
    if (!mutex) return TVRCT_E_KEY_UNAVAILABLE;
    // An abandoned mutex means a creator died; the rename below keeps that
    // harmless, so the wait counts as acquired either way.
    DWORD waited = WaitForSingleObject(mutex.get(), INFINITE);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) return TVRCT_E_KEY_UNAVAILABLE;
    torva::MutexLock lock(mutex.get());
    // Another thread or process may have created it while we waited.
    if (auto status = ReadExisting(key)) return *status;
    return CreateOrAdopt(key);
}

std::optional<DWORD> UserKeyFile::ReadExisting(SecureBuffer& key) const {
    switch (Read(key)) {
    case ReadResult::Read:
        return TVRCT_OK;
    case ReadResult::Failed:
        return TVRCT_E_KEY_UNAVAILABLE;
    case ReadResult::Missing:
        break;
    }
    return std::nullopt;
}

UserKeyFile::ReadResult UserKeyFile::Read(SecureBuffer& key) const {
    torva::UniqueFile file(CreateFileW(m_path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? ReadResult::Missing : ReadResult::Failed;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) return ReadResult::Failed;
    if (size.QuadPart <= static_cast<LONGLONG>(sizeof(format::KeyFileHeader)) ||
        size.QuadPart > format::kMaxKeyFileSize)
        return ReadResult::Failed;
    std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size())
        return ReadResult::Failed;

    format::KeyFileHeader header;
    std::memcpy(&header, bytes.data(), sizeof(header));
    if (std::memcmp(header.magic, format::kKeyFileMagic, sizeof(header.magic)) != 0 ||
        header.version != format::kKeyFileVersion)
        return ReadResult::Failed;

    DATA_BLOB in = Blob(bytes.data() + sizeof(header), read - sizeof(header));
    DATA_BLOB entropy = Blob(kEntropy, sizeof(kEntropy));
    ProtectedOutput out;
    if (!CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                            out.put()))
        return ReadResult::Failed;
    if (out.get().cbData != format::kKeySize) return ReadResult::Failed;
    SecureBuffer loaded(format::kKeySize);
    std::memcpy(loaded.data(), out.get().pbData, format::kKeySize);
    key = std::move(loaded);
    return ReadResult::Read;
}

DWORD UserKeyFile::CreateOrAdopt(SecureBuffer& key) const {
    SecureBuffer fresh(format::kKeySize);
    if (DWORD s = FillRandom(fresh.data(), format::kKeySize)) return s;

    DATA_BLOB in = Blob(fresh.data(), format::kKeySize);
    DATA_BLOB entropy = Blob(kEntropy, sizeof(kEntropy));
    ProtectedOutput blob;
    if (!CryptProtectData(&in, kDescription, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                          blob.put()))
        return TVRCT_E_KEY_UNAVAILABLE;

    format::KeyFileHeader header = {};
    std::memcpy(header.magic, format::kKeyFileMagic, sizeof(header.magic));
    header.version = format::kKeyFileVersion;

    // Written in full and flushed under a name of this thread's own, then
    // renamed into place: readers see either no key file or a complete one.
    std::wstring temp = m_path + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
                        std::to_wstring(GetCurrentThreadId()) + L".tmp";
    {
        torva::UniqueFile file(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return TVRCT_E_KEY_UNAVAILABLE;
        bool written =
            WriteAll(file.get(), reinterpret_cast<const BYTE*>(&header), sizeof(header)) &&
            WriteAll(file.get(), blob.get().pbData, blob.get().cbData) &&
            FlushFileBuffers(file.get());
        if (!written) {
            file.reset();
            DeleteFileW(temp.c_str());
            return TVRCT_E_KEY_UNAVAILABLE;
        }
    }
    // No MOVEFILE_REPLACE_EXISTING: a process of another session (which the
    // session-local mutex does not reach) may have published its key first,
    // and data may already be sealed under that one.
    if (!MoveFileExW(temp.c_str(), m_path.c_str(), MOVEFILE_WRITE_THROUGH)) {
        DWORD error = GetLastError();
        DeleteFileW(temp.c_str());
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return TVRCT_E_KEY_UNAVAILABLE;
        return Read(key) == ReadResult::Read ? TVRCT_OK : TVRCT_E_KEY_UNAVAILABLE;
    }
    key = std::move(fresh);
    return TVRCT_OK;
}

DWORD UserKeyFile::MutexName(std::wstring& name) const {
    // Kernel object names cannot hold backslashes, so the mutex is named after
    // a hash of the path; upper-cased because file names ignore case.
    std::wstring upper = m_path;
    if (!upper.empty()) CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    BYTE digest[kSha256Size];
    ByteView bytes{reinterpret_cast<const BYTE*>(upper.data()),
                   static_cast<DWORD>(upper.size() * sizeof(wchar_t))};
    if (DWORD s = Sha256(bytes, digest)) return s;
    static const wchar_t hex[] = L"0123456789abcdef";
    name = L"Local\\Kobel.Corvane.UserKey.";
    for (int i = 0; i < 16; ++i) {
        name += hex[digest[i] >> 4];
        name += hex[digest[i] & 15];
    }
    return TVRCT_OK;
}

} // namespace corvane

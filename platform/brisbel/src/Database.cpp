#include "Database.h"

#include "NameFold.h"
#include "ValueRules.h"
#include "Win32Status.h"

#include <cstring>
#include <optional>

namespace brisbel {
namespace {

// A call waits this long for another process before answering TVRDB_E_BUSY.
constexpr DWORD kLockTimeoutMs = 10000;

Record MakeRecord(format::RecordKind kind, const KeyPath& path) {
    Record record;
    record.kind = kind;
    record.path = path.Text();
    return record;
}

} // namespace

// Both locks held and the store in step with the file, for one call.
class Database::Session {
public:
    Session(Database& db, bool recover) : m_local(db.m_mutex) {
        bool abandoned = false;
        m_status = db.m_lock.Acquire(kLockTimeoutMs, m_held, abandoned);
        if (m_status == TVRDB_OK) m_status = db.m_store.Sync(recover || abandoned);
    }
    DWORD Status() const noexcept { return m_status; }

private:
    std::unique_lock<std::mutex> m_local;
    std::optional<torva::MutexLock> m_held;
    DWORD m_status = TVRDB_E_STORAGE;
};

DWORD Database::IdentityOf(const std::wstring& folder, const std::wstring& name,
                           std::wstring& identity) {
    const std::wstring path = folder + L'\\' + name;
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return Win32Status::FromLastError();
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return TVRDB_E_STORAGE;
    full.resize(length);
    identity = NameFold::Fold(full);
    return TVRDB_OK;
}

Database::Database(std::wstring folder, std::wstring name, std::wstring identity)
    : m_identity(std::move(identity)), m_store(std::move(folder), std::move(name)) {}

DWORD Database::Open() {
    if (const DWORD status = m_lock.Create(m_identity)) return status;
    Session session(*this, true);
    return session.Status();
}

DWORD Database::OpenKey(const KeyPath& path) {
    Session session(*this, false);
    if (session.Status()) return session.Status();
    return m_store.Tree().Find(path) ? TVRDB_OK : TVRDB_E_KEY_NOT_FOUND;
}

DWORD Database::CreateKey(const KeyPath& path) {
    Session session(*this, false);
    if (session.Status()) return session.Status();
    if (m_store.Tree().Find(path)) return TVRDB_OK;
    return m_store.Append(MakeRecord(format::kCreateKey, path));
}

DWORD Database::DeleteKey(const KeyPath& path) {
    if (path.IsRoot()) return TVRDB_E_INVALID_ARG;
    Session session(*this, false);
    if (session.Status()) return session.Status();
    if (!m_store.Tree().Find(path)) return TVRDB_E_KEY_NOT_FOUND;
    return m_store.Append(MakeRecord(format::kDeleteKey, path));
}

DWORD Database::EnumKey(const KeyPath& path, DWORD index, wchar_t* name, DWORD* nameLength) {
    if (!name || !nameLength) return TVRDB_E_INVALID_ARG;
    Session session(*this, false);
    if (session.Status()) return session.Status();
    const KeyNode* node = m_store.Tree().Find(path);
    if (!node) return TVRDB_E_KEY_NOT_FOUND;
    if (index >= node->ChildCount()) return TVRDB_E_NO_MORE_ITEMS;

    std::wstring full = m_store.Tree().StoredPath(path);
    if (!full.empty()) full += L'\\';
    full += node->Child(index).Name();
    // Keys are created by full paths of at most TVRDB_MAX_NAME characters,
    // so this holds; the check keeps the caller's buffer safe regardless.
    if (full.size() > TVRDB_MAX_NAME) return TVRDB_E_NAME_TOO_LONG;
    std::memcpy(name, full.c_str(), (full.size() + 1) * sizeof(wchar_t));
    *nameLength = static_cast<DWORD>(full.size());
    return TVRDB_OK;
}

DWORD Database::EnumValue(const KeyPath& path, DWORD index, wchar_t* name, DWORD* nameLength,
                          DWORD* type, BYTE* data, DWORD* dataSize) {
    if (!name || !nameLength || (data && !dataSize)) return TVRDB_E_INVALID_ARG;
    Session session(*this, false);
    if (session.Status()) return session.Status();
    const KeyNode* node = m_store.Tree().Find(path);
    if (!node) return TVRDB_E_KEY_NOT_FOUND;
    if (index >= node->ValueCount()) return TVRDB_E_NO_MORE_ITEMS;

    const StoredValue& value = node->Value(index);
    const auto nameChars = static_cast<DWORD>(value.name.size());
    const auto size = static_cast<DWORD>(value.data.size());
    if (type) *type = value.type;
    if (*nameLength < nameChars + 1 || (data && *dataSize < size)) {
        *nameLength = nameChars + 1;
        if (dataSize) *dataSize = size;
        return TVRDB_E_MORE_DATA;
    }
    std::memcpy(name, value.name.c_str(), (nameChars + 1) * sizeof(wchar_t));
    *nameLength = nameChars;
    if (data && size) std::memcpy(data, value.data.data(), size);
    if (dataSize) *dataSize = size;
    return TVRDB_OK;
}

DWORD Database::QueryValue(const KeyPath& path, std::wstring_view name, DWORD* type, BYTE* data,
                           DWORD* size) {
    if (!size) return TVRDB_E_INVALID_ARG;
    if (name.size() > TVRDB_MAX_NAME) return TVRDB_E_NAME_TOO_LONG;
    const std::wstring folded = NameFold::Fold(name);
    Session session(*this, false);
    if (session.Status()) return session.Status();
    const KeyNode* node = m_store.Tree().Find(path);
    if (!node) return TVRDB_E_KEY_NOT_FOUND;
    const StoredValue* value = node->FindValue(folded);
    if (!value) return TVRDB_E_VALUE_NOT_FOUND;

    const auto stored = static_cast<DWORD>(value->data.size());
    if (type) *type = value->type;
    if (data && *size < stored) {
        *size = stored;
        return TVRDB_E_MORE_DATA;
    }
    if (data && stored) std::memcpy(data, value->data.data(), stored);
    *size = stored;
    return TVRDB_OK;
}

DWORD Database::SetValue(const KeyPath& path, std::wstring_view name, DWORD type, const BYTE* data,
                         DWORD size) {
    if (name.size() > TVRDB_MAX_NAME) return TVRDB_E_NAME_TOO_LONG;
    if (!data && size != 0) return TVRDB_E_INVALID_ARG;
    if (const DWORD status = ValueRules::Check(type, size)) return status;
    const std::wstring folded = NameFold::Fold(name);
    Session session(*this, false);
    if (session.Status()) return session.Status();
    const KeyNode* node = m_store.Tree().Find(path);
    if (!node) return TVRDB_E_KEY_NOT_FOUND;
    // Writing what is already stored would only grow the log.
    const StoredValue* old = node->FindValue(folded);
    if (old && old->type == type && old->data.size() == size &&
        (size == 0 || std::memcmp(old->data.data(), data, size) == 0)) {
        return TVRDB_OK;
    }

    Record record = MakeRecord(format::kSetValue, path);
    record.name.assign(name);
    record.type = type;
    if (size) record.data.assign(data, data + size);
    return m_store.Append(std::move(record));
}

DWORD Database::DeleteValue(const KeyPath& path, std::wstring_view name) {
    if (name.size() > TVRDB_MAX_NAME) return TVRDB_E_NAME_TOO_LONG;
    const std::wstring folded = NameFold::Fold(name);
    Session session(*this, false);
    if (session.Status()) return session.Status();
    const KeyNode* node = m_store.Tree().Find(path);
    if (!node) return TVRDB_E_KEY_NOT_FOUND;
    if (!node->FindValue(folded)) return TVRDB_E_VALUE_NOT_FOUND;
    Record record = MakeRecord(format::kDeleteValue, path);
    record.name.assign(name);
    return m_store.Append(std::move(record));
}

DWORD Database::Compact() {
    Session session(*this, false);
    if (session.Status()) return session.Status();
    return m_store.Compact();
}

DWORD Database::Generation(uint32_t& generation) {
    Session session(*this, false);
    if (session.Status()) return session.Status();
    generation = m_store.Generation();
    return TVRDB_OK;
}

} // namespace brisbel

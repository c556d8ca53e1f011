#include "OptionKeyBackup.h"

namespace {

constexpr wchar_t kMutexName[] = L"Global\\TorvaTestsOptionKey";
constexpr DWORD kMutexWaitMs = 120000;
constexpr DWORD kNothingStored = 4;
constexpr DWORD kKeyNotFound = 8;

// The database handle of one helper call, closed whatever happens.
class OpenDatabase {
public:
    explicit OpenDatabase(CExpData& store) : m_store(store) {
        if (!m_store.OpenDB(&m_db)) m_db = nullptr;
    }
    ~OpenDatabase() { m_store.CloseDB(&m_db); }
    OpenDatabase(const OpenDatabase&) = delete;
    OpenDatabase& operator=(const OpenDatabase&) = delete;
    ZentripCell* get() const noexcept { return m_db; }

private:
    CExpData& m_store;
    ZentripCell* m_db = nullptr;
};

bool DeleteOptionKey(CExpData& store, const ZentripCell* db) {
    ZentripCell* root = nullptr;
    const DWORD opened = store.OpenKey(db, L"WEBFORMDATA", &root);
    if (opened == kNothingStored || opened == kKeyNotFound) return true;
    if (opened != 0) return false;
    const DWORD deleted = store.Zentrip_DeleteKey(db, root, L"OPTION");
    store.CloseKey(db, &root);
    return deleted == 0 || deleted == kNothingStored || deleted == kKeyNotFound;
}

} // namespace

OptionKeyBackup::OptionKeyBackup() {
    m_mutex.reset(::CreateMutexW(nullptr, FALSE, kMutexName));
    if (!m_mutex) return;
    const DWORD waited = ::WaitForSingleObject(m_mutex.get(), kMutexWaitMs);
    m_locked = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    if (!m_locked) return;

    OpenDatabase db(m_store);
    if (!db.get()) return;
    ZentripCell* key = nullptr;
    const DWORD opened = m_store.OpenKey(db.get(), kOptionKeyPath, &key);
    if (opened == kNothingStored || opened == kKeyNotFound) {
        m_saved = true;
        return;
    }
    if (opened != 0) return;
    m_hadKey = true;
    for (const wchar_t* name : kOptionValueNames) {
        RawValue value;
        DWORD size = 0;
        if (m_store.Zentrip_QueryValue(db.get(), key, name, &value.type, nullptr, &size) != 0) {
            m_values.emplace_back();
            continue;
        }
        value.data.resize(size);
        if (size != 0 && m_store.Zentrip_QueryValue(db.get(), key, name, &value.type,
                                                    value.data.data(), &size) != 0) {
            m_store.CloseKey(db.get(), &key);
            return;
        }
        value.data.resize(size);
        m_values.emplace_back(std::move(value));
    }
    m_store.CloseKey(db.get(), &key);
    m_saved = true;
}

OptionKeyBackup::~OptionKeyBackup() {
    if (m_saved) Restore();
    if (m_locked) ::ReleaseMutex(m_mutex.get());
}

void OptionKeyBackup::Restore() {
    OpenDatabase db(m_store);
    if (!db.get()) return;
    if (!m_hadKey) {
        (void)DeleteOptionKey(m_store, db.get());
        return;
    }
    // Opened when it is still there, so values beside the seven stay.
    ZentripCell* key = nullptr;
    if (m_store.CreateKey(db.get(), kOptionKeyPath, &key) != 0) return;
    for (size_t i = 0; i < m_values.size(); ++i) {
        if (!m_values[i]) {
            (void)m_store.Zentrip_DeleteValue(db.get(), key, kOptionValueNames[i]);
            continue;
        }
        const RawValue& value = *m_values[i];
        (void)m_store.Zentrip_SetValue(db.get(), key, kOptionValueNames[i], value.type,
                                       value.data.data(), static_cast<DWORD>(value.data.size()));
    }
    m_store.CloseKey(db.get(), &key);
}

bool OptionKeyBackup::RemoveKey() {
    OpenDatabase db(m_store);
    return db.get() && DeleteOptionKey(m_store, db.get());
}

void OptionKeyBackup::Write(const CDataOption& record) {
    m_store.m_option = record;
    m_store.SetOptionData();
}

void OptionKeyBackup::WriteAutoInputAllowed() {
    CDataOption options;
    options.m_nStopFunc = 0;
    options.m_nStopAutoInput = 0;
    options.m_nSetAuto = 1;
    options.m_nCheckSet = 1;
    options.m_nOnlyPwd = 0;
    options.m_nNoMultiText = 0;
    options.m_nHidePwd = 1;
    Write(options);
}

int OptionKeyBackup::KeyState() {
    OpenDatabase db(m_store);
    if (!db.get()) return -1;
    ZentripCell* key = nullptr;
    const DWORD opened = m_store.OpenKey(db.get(), kOptionKeyPath, &key);
    m_store.CloseKey(db.get(), &key);
    if (opened == 0) return 1;
    return opened == kNothingStored || opened == kKeyNotFound ? 0 : -1;
}

bool OptionKeyBackup::Read(CDataOption& record) {
    CExpData store;
    if (!store.GetOptionData()) return false;
    record = store.m_option;
    return true;
}

// The authentication side of the export store's load: the library's rule,
// device secrets and PIN cache time, the Windows-logon mode, the
// touch-authentication record and the additional device information.
#include "CExportStore.h"

#include "AccountSid.h"
#include "CGetDB.h"
#include "Passphrases.h"
#include "ResourceStrings.h"
#include "WebFormLayout.h"

#define SECURITY_WIN32
#include <security.h>

#include <cstring>
#include <cwchar>

namespace {

namespace wf = torva::webform;

constexpr wchar_t kGinaDatabase[] = L"TORVA_GINA";
constexpr wchar_t kTouchInfoKey[] = L"TOUCHAUTHINFO";
constexpr wchar_t kDeviceInfoKey[] = L"ADDITIONALDEVINFO";
constexpr DWORD kLogonModeBytes = 16;
constexpr DWORD kLogonValueCapacity = 1024;
constexpr DWORD kTouchValueCapacity = 64;
constexpr DWORD kTouchTextCapacity = 200;
constexpr int32_t kBitmapTypeWithData = 256;
constexpr DWORD kDeviceNameChars = 260;
constexpr DWORD kDeviceInfoBytes = 524;
constexpr int kFingerprintSlots = 10;
constexpr int kDeviceSlots = 5;

class AuthSession {
public:
    AuthSession() { m_open = TvrAuth_OpenSecretSession(&m_session) == TVRAUTH_OK && m_session; }
    ~AuthSession() {
        if (m_open) TvrAuth_CloseSecretSession(m_session);
    }
    AuthSession(const AuthSession&) = delete;
    AuthSession& operator=(const AuthSession&) = delete;
    bool IsOpen() const noexcept { return m_open; }
    TVRAUTH_HSESSION Get() const noexcept { return m_session; }

private:
    TVRAUTH_HSESSION m_session = nullptr;
    bool m_open = false;
};

// A named database opened for one step and closed on every path.
class NamedDatabase {
public:
    NamedDatabase(const DbApi& api, const std::wstring& name) : m_api(api) {
        if (m_api.OpenDBEx(&m_db, 0, name.c_str()) != kDbOk) m_db = nullptr;
    }
    explicit NamedDatabase(const DbApi& api) : m_api(api) {
        if (m_api.OpenDB(&m_db) != kDbOk) m_db = nullptr;
    }
    ~NamedDatabase() {
        if (m_key) m_api.CloseKey(m_db, m_key);
        if (m_db) m_api.CloseDB(m_db);
    }
    NamedDatabase(const NamedDatabase&) = delete;
    NamedDatabase& operator=(const NamedDatabase&) = delete;
    TVRDB_HDB Get() const noexcept { return m_db; }
    // The one key of the step; closed with the database.
    TVRDB_HKEY* KeySlot() noexcept { return &m_key; }
    TVRDB_HKEY Key() const noexcept { return m_key; }

private:
    const DbApi& m_api;
    TVRDB_HDB m_db = nullptr;
    TVRDB_HKEY m_key = nullptr;
};

std::wstring SamCompatibleUserName() {
    ULONG length = 0;
    ::GetUserNameExW(NameSamCompatible, nullptr, &length);
    if (length == 0) return {};
    std::vector<wchar_t> name(length + 1);
    if (!::GetUserNameExW(NameSamCompatible, name.data(), &length)) return {};
    return std::wstring(name.data(), wcsnlen(name.data(), name.size()));
}

int32_t ToInt32(const BYTE* data, DWORD length) {
    int32_t value = 0;
    std::memcpy(&value, data, length < 4 ? length : 4);
    return value;
}

} // namespace

bool CExportStore::PassDecrypt(const SecretText& passphrase, const std::vector<BYTE>& input,
                               BYTE* output, DWORD capacity, DWORD* length) {
    *length = 0;
    if (input.empty()) return false;
    const DWORD result = m_cryptApi.PassDecrypt(
        passphrase.data(), static_cast<DWORD>(passphrase.size()), input.data(),
        static_cast<DWORD>(input.size()), output, capacity, length);
    if (result != TVRCT_OK || *length > capacity) {
        *length = 0;
        return false;
    }
    return true;
}

void CExportStore::LoadAuthentication() {
    AuthSession session;
    if (session.IsOpen()) {
        DWORD size = 0;
        if (TvrAuth_GetAuthRule(session.Get(), nullptr, &size) == TVRAUTH_OK && size != 0) {
            std::vector<BYTE> rule(size, 0);
            if (TvrAuth_GetAuthRule(session.Get(), rule.data(), &size) == TVRAUTH_OK) {
                rule.resize(size < rule.size() ? size : rule.size());
                m_rule.bytes = std::move(rule);
                m_rule.present = 1;
            }
        }
        LoadLogonMode();
        LoadRuleOptionText();
        LoadTouchAuthentication();
        LoadDeviceSecrets(session.Get(), kAuthFingerprint, kFingerprintSlots, nullptr);
        LoadDeviceSecrets(session.Get(), kAuthFelica, kDeviceSlots, L"FC");
        LoadDeviceSecrets(session.Get(), kAuthUsb, kDeviceSlots, L"USB");
        LoadDeviceSecrets(session.Get(), kAuthSd, kDeviceSlots, L"SD");
        DWORD cacheTime = 0;
        if (TvrAuth_GetPINCacheTime(session.Get(), &cacheTime) == TVRAUTH_OK) {
            auto node = std::make_unique<AuthInfoNode>();
            node->deviceKind = kAuthPinCache;
            node->pinCacheTime = static_cast<int32_t>(cacheTime);
            node->present = 1;
            m_authInfo.push_back(std::move(node));
        }
    }
}

void CExportStore::LoadLogonMode() {
    const std::wstring user = SamCompatibleUserName();
    if (user.empty()) return;
    NamedDatabase gina(m_dbApi, kGinaDatabase);
    if (!gina.Get() || OpenKeyWithRetries(gina.Get(), user, gina.KeySlot()) != kDbOk) return;
    std::vector<BYTE> sealed;
    if (!ReadBytes(gina.Get(), gina.Key(), L"LogonMode", sealed) || sealed.empty() ||
        sealed.size() > kLogonValueCapacity) {
        return;
    }
    const std::wstring domain = account_sid::DomainPart(account_sid::FirstLocalAccountSid());
    if (domain.empty()) return;
    SecretBytes plain(kLogonModeBytes, 0);
    DWORD length = 0;
    if (!PassDecrypt(MachinePassphrase(domain), sealed, plain.data(), kLogonModeBytes, &length) ||
        length < 8) {
        return;
    }
    if (ToInt32(plain.data(), 4) == 0) m_rule.logonMode = ToInt32(plain.data() + 4, 4);
}

void CExportStore::LoadRuleOptionText() {
    m_rule.ruleOptionText = GetResourceString(22075);
    if (m_rule.logonMode == 0) return;
    CGetDB lists(m_dbApi);
    lists.LoadRuleOptions();
    lists.LoadRuleOptionValues();
    lists.LoadRules();
    const std::wstring ruleName =
        lists.FindRuleByValue(m_rule.bytes.data(), static_cast<int>(m_rule.bytes.size()));
    const CAuthDefRuleOption* options = lists.RuleOptions();
    const CAuthDefRuleOptionValue* values = lists.RuleOptionValues();
    if (!options || !values) return;
    bool found = false;
    for (int i = 0; i < options->Count() && !found; ++i)
        found = ruleName == (*options)[i].name;
    if (!found) return;
    for (int i = 0; i < values->Count(); ++i) {
        if ((*values)[i].value == m_rule.logonMode) {
            m_rule.ruleOptionText = (*values)[i].name;
            return;
        }
    }
}

void CExportStore::LoadTouchAuthentication() {
    {
        NamedDatabase lists(m_dbApi, L"TORVA_SYSTEMDEFINED");
        std::vector<BYTE> text;
        if (lists.Get() &&
            OpenKeyWithRetries(lists.Get(), L"DEFINED_TOUCHAUTHINFO", lists.KeySlot()) == kDbOk &&
            ReadBytes(lists.Get(), lists.Key(), L"StringValue", text) && !text.empty() &&
            text.size() <= kTouchTextCapacity) {
            const auto* chars = reinterpret_cast<const wchar_t*>(text.data());
            const std::wstring display(chars, wcsnlen(chars, text.size() / 2));
            if (!display.empty()) m_touch.displayText = display;
        }
    }

    const std::wstring sid = account_sid::CurrentUserSidText();
    const std::wstring domain = account_sid::DomainPart(account_sid::FirstLocalAccountSid());
    if (sid.empty() || domain.empty()) return;
    NamedDatabase touch(m_dbApi, sid + L"-TouchAuth");
    if (!touch.Get() || OpenKeyWithRetries(touch.Get(), kTouchInfoKey, touch.KeySlot()) != kDbOk) {
        return;
    }
    const SecretText passphrase = MachinePassphrase(domain);

    // The three numbers may be missing (they then stay 0); one that is there
    // must open.
    int32_t* numbers[] = {&m_touch.authType, &m_touch.bitmapType, &m_touch.maskColor};
    const wchar_t* names[] = {L"AuthType", L"BitmapType", L"MaskColor"};
    for (int i = 0; i < 3; ++i) {
        std::vector<BYTE> sealed;
        if (!ReadBytes(touch.Get(), touch.Key(), names[i], sealed) || sealed.empty()) continue;
        if (sealed.size() > kTouchValueCapacity) return;
        BYTE plain[4] = {};
        DWORD length = 0;
        if (!PassDecrypt(passphrase, sealed, plain, sizeof plain, &length)) return;
        *numbers[i] = ToInt32(plain, length);
    }

    std::vector<BYTE> sealed;
    if (!ReadBytes(touch.Get(), touch.Key(), L"PassCode", sealed) || sealed.empty()) return;
    SecretBytes passCode(static_cast<size_t>(m_touch.passCodeCount) * 8, 0);
    DWORD length = 0;
    if (!PassDecrypt(passphrase, sealed, passCode.data(), static_cast<DWORD>(passCode.size()),
                     &length) ||
        length == 0) {
        return;
    }

    if (m_touch.bitmapType == kBitmapTypeWithData) {
        std::vector<BYTE> sealedBitmap;
        if (!ReadBytes(touch.Get(), touch.Key(), L"BitmapData", sealedBitmap) ||
            sealedBitmap.empty()) {
            return;
        }
        DWORD needed = 0;
        if (m_cryptApi.PassDecrypt(passphrase.data(), static_cast<DWORD>(passphrase.size()),
                                   sealedBitmap.data(), static_cast<DWORD>(sealedBitmap.size()),
                                   nullptr, 0, &needed) != TVRCT_OK) {
            return;
        }
        std::vector<BYTE> bitmap(needed, 0);
        DWORD bitmapLength = 0;
        if (needed &&
            !PassDecrypt(passphrase, sealedBitmap, bitmap.data(), needed, &bitmapLength)) {
            return;
        }
        bitmap.resize(bitmapLength);
        m_touch.bitmap = std::move(bitmap);
        m_touch.bitmapLength = static_cast<int32_t>(bitmapLength);
    }
    m_touch.passCode = std::move(passCode);
    m_touch.present = 1;
}

void CExportStore::LoadDeviceSecrets(TVRAUTH_HSESSION session, int32_t kind, int slots,
                                     const wchar_t* prefix) {
    std::unique_ptr<AuthInfoNode> node;
    for (int slot = 1; slot <= slots; ++slot) {
        DWORD size = 0;
        if (TvrAuth_GetAuthSecret(session, static_cast<DWORD>(kind), static_cast<DWORD>(slot),
                                  nullptr, &size) != TVRAUTH_OK ||
            size == 0) {
            continue;
        }
        if (!node) {
            node = std::make_unique<AuthInfoNode>();
            node->deviceKind = kind;
            node->present = 1;
            node->slots.resize(static_cast<size_t>(slots));
        }
        AuthSlot& entry = node->slots[static_cast<size_t>(slot - 1)];
        SecretBytes secret(size, 0);
        if (TvrAuth_GetAuthSecret(session, static_cast<DWORD>(kind), static_cast<DWORD>(slot),
                                  secret.data(), &size) != TVRAUTH_OK) {
            continue;
        }
        entry.slot = slot;
        entry.length = static_cast<int32_t>(size < secret.size() ? size : secret.size());
        entry.secret = std::move(secret);
        if (prefix) LoadDeviceInformation(prefix, slot - 1, entry);
    }
    if (node) m_authInfo.push_back(std::move(node));
}

void CExportStore::LoadDeviceInformation(const wchar_t* prefix, int number, AuthSlot& slot) {
    NamedDatabase user(m_dbApi);
    if (!user.Get()) return;
    if (OpenKeyWithRetries(user.Get(), kDeviceInfoKey, user.KeySlot()) != kDbOk) return;
    m_dbApi.CloseKey(user.Get(), user.Key());
    *user.KeySlot() = nullptr;
    const std::wstring path =
        std::wstring(kDeviceInfoKey) + L"\\" + prefix + std::to_wstring(number);
    if (OpenKeyWithRetries(user.Get(), path, user.KeySlot()) != kDbOk) return;

    std::vector<wchar_t> name(kDeviceNameChars + 1, L'\0');
    std::vector<BYTE> data(kDeviceInfoBytes, 0);
    DWORD nameLength = kDeviceNameChars;
    DWORD size = kDeviceInfoBytes;
    DWORD type = 0;
    if (m_dbApi.EnumValue(user.Get(), user.Key(), 0, name.data(), &nameLength, &type, data.data(),
                          &size) != kDbOk) {
        return;
    }
    slot.deviceName.assign(name.data(), wcsnlen(name.data(), kDeviceNameChars));
    data.resize(size < kDeviceInfoBytes ? size : kDeviceInfoBytes);
    SecretBytes plain(kDeviceInfoBytes + 2, 0);
    DWORD length = 0;
    if (!PassDecrypt(DevicePassphrase(), data, plain.data(), kDeviceInfoBytes, &length)) return;
    const auto* text = reinterpret_cast<const wchar_t*>(plain.data());
    slot.deviceInfo.assign(text, wcsnlen(text, length / 2));
}

void CExportStore::LoadPolicies(TVRDB_HDB db) {
    TVRDB_HKEY key = nullptr;
    if (OpenKeyWithRetries(db, L"POLICY", &key) != kDbOk) return;
    const std::wstring sid = account_sid::CurrentUserSidText();
    if (!sid.empty()) {
        const SecretText passphrase = UserPassphrase(sid);
        for (int i = 0; i < kPolicyCount; ++i) {
            std::vector<BYTE> sealed;
            if (!ReadBytes(db, key, kPolicyValueNames[i], sealed) || sealed.empty()) continue;
            BYTE plain[4] = {};
            DWORD length = 0;
            if (PassDecrypt(passphrase, sealed, plain, sizeof plain, &length) && length > 0) {
                m_policies[i] = ToInt32(plain, length);
            }
        }
    }
    m_dbApi.CloseKey(db, key);
}

void CExportStore::LoadOptions(TVRDB_HDB db) {
    TVRDB_HKEY key = nullptr;
    if (OpenKeyWithRetries(db, wf::kOptionKey, &key) != kDbOk) return;
    const int32_t stopFunc = ReadDword(db, key, wf::kStopFunc.name);
    if (stopFunc != -1) {
        m_options.STOPFUNC = stopFunc;
        m_options.STOPAUTOINPUT = ReadDword(db, key, wf::kStopAutoInput.name);
        m_options.SETAUTO = ReadDword(db, key, wf::kSetAuto.name);
        m_options.CHECKSET = ReadDword(db, key, wf::kCheckSet.name);
        m_options.ONLYPWD = ReadDword(db, key, wf::kOnlyPwd.name);
        m_options.NOMULTITEXT = ReadDword(db, key, wf::kNoMultiText.name);
        m_options.HIDEPWD = ReadDword(db, key, wf::kHidePwd.name);
        m_options.present = 1;
    }
    m_dbApi.CloseKey(db, key);
}

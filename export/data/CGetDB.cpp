#include "CGetDB.h"

#include "PolicyText.h"
#include "ResourceStrings.h"

#include <cstring>

namespace {

constexpr size_t kMediaLimit = 10;
constexpr size_t kDeviceLimit = 10;
constexpr size_t kListLimit = 30;
constexpr DWORD kNameCapacity = 100;
constexpr DWORD kPolicyNameCapacity = 128;
constexpr DWORD kKindDataCapacity = 20;
constexpr DWORD kNumberDataCapacity = 4;
constexpr DWORD kRuleDataCapacity = 50;
constexpr DWORD kPolicyDataCapacity = 512;

int32_t FirstFourBytes(const BYTE* data, DWORD size) {
    // The buffer was zeroed: a value shorter than four bytes reads as its own
    // bytes followed by zeros, never as what an earlier value left behind.
    int32_t value = 0;
    std::memcpy(&value, data, size < 4 ? size : 4);
    return value;
}

} // namespace

CGetDB::CGetDB(const DbApi& api) : m_api(api) {
    const DWORD length = ::GetModuleFileNameW(nullptr, m_programFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        m_programFolder[0] = L'\0';
    } else if (wchar_t* slash = std::wcsrchr(m_programFolder, L'\\')) {
        *slash = L'\0';
    }
}

CGetDB::~CGetDB() {
    m_devices.reset();
    m_policies.reset();
    m_rules.reset();
    m_media.reset();
    m_ruleOptions.reset();
    m_ruleOptionValues.reset();
    if (m_key) m_api.CloseKey(m_db, m_key);
    if (m_db) m_api.CloseDB(m_db);
}

template <typename Row, typename Build>
bool CGetDB::ReadList(const wchar_t* key, DWORD nameCapacity, DWORD dataCapacity, size_t limit,
                      Build build, std::vector<Row>& rows) {
    if (m_api.OpenDBEx(&m_db, 0, kSystemDefinedDatabase) != kDbOk) {
        m_db = nullptr;
        return false;
    }
    bool complete = false;
    if (m_api.OpenKey(m_db, key, &m_key) == kDbOk) {
        std::vector<wchar_t> name(nameCapacity + 1);
        std::vector<BYTE> data(dataCapacity);
        complete = true;
        for (DWORD index = 0; rows.size() < limit; ++index) {
            std::fill(name.begin(), name.end(), L'\0');
            std::fill(data.begin(), data.end(), 0);
            DWORD nameLength = nameCapacity;
            DWORD size = dataCapacity;
            DWORD type = 0;
            const DWORD status = m_api.EnumValue(m_db, m_key, index, name.data(), &nameLength,
                                                 &type, data.data(), &size);
            if (status == kDbNoMoreItems) break;
            if (status != kDbOk) {
                complete = false;
                break;
            }
            if (nameLength > nameCapacity) nameLength = nameCapacity;
            if (size > dataCapacity) size = dataCapacity;
            Row row;
            std::memset(&row, 0, sizeof row);
            build(RawValue{name.data(), nameLength, data.data(), size, static_cast<int>(index)},
                  row);
            rows.push_back(row);
        }
        m_api.CloseKey(m_db, m_key);
        m_key = nullptr;
    }
    m_api.CloseDB(m_db);
    m_db = nullptr;
    return complete;
}

void CGetDB::LoadMedia() {
    std::vector<DefinedMediaRow> rows;
    auto build = [](const RawValue& v, DefinedMediaRow& row) {
        CopyFixedText(row.name, kListNameChars, v.name, v.nameLength);
        row.kind = v.size > 0 ? v.data[0] : 0;
    };
    if (ReadList(L"DEFINED_MEDIA", kNameCapacity, kKindDataCapacity, kMediaLimit, build, rows) &&
        !rows.empty()) {
        m_media = std::make_unique<CDefinedMedia>(std::move(rows));
    }
}

void CGetDB::LoadDevices() {
    std::vector<AuthDeviceRow> rows;
    auto build = [](const RawValue& v, AuthDeviceRow& row) {
        CopyFixedText(row.name, kListNameChars, v.name, v.nameLength);
        row.kind = v.size > 0 ? v.data[0] : 0;
        row.deviceIndex = (row.kind >= 2 && row.kind <= 6) ? row.kind - 2 : 0;
    };
    if (ReadList(L"DEFINED_DEVICE", kNameCapacity, kKindDataCapacity, kDeviceLimit, build, rows) &&
        !rows.empty()) {
        m_devices = std::make_unique<CAuthDevice>(std::move(rows));
    }
}

void CGetDB::LoadPolicies() {
    std::vector<AuthPolicyRow> rows;
    auto build = [](const RawValue& v, AuthPolicyRow& row) {
        CopyFixedText(row.valueName, kPolicyValueNameChars, v.name, v.nameLength);
        ParsePolicyText(v.data, v.size, v.position, row);
    };
    if (ReadList(L"DEFINED_POLICY", kPolicyNameCapacity, kPolicyDataCapacity, kListLimit, build,
                 rows) &&
        !rows.empty()) {
        m_policies = std::make_unique<CAuthPolicy>(std::move(rows));
    }
}

void CGetDB::LoadRules() {
    std::vector<AuthRuleRow> rows;
    auto build = [](const RawValue& v, AuthRuleRow& row) {
        CopyFixedText(row.name, kListNameChars, v.name, v.nameLength);
        std::memcpy(row.data, v.data, v.size);
        row.dataLength = static_cast<int32_t>(v.size);
    };
    if (ReadList(L"DEFINED_RULE", kNameCapacity, kRuleDataCapacity, kListLimit, build, rows) &&
        !rows.empty()) {
        m_rules = std::make_unique<CAuthRule>(std::move(rows));
    }
}

void CGetDB::LoadRuleOptions() {
    std::vector<RuleOptionRow> rows;
    auto build = [](const RawValue& v, RuleOptionRow& row) {
        CopyFixedText(row.name, kListNameChars, v.name, v.nameLength);
        row.value = FirstFourBytes(v.data, v.size);
    };
    if (ReadList(L"DEFINED_RULEOPTION", kNameCapacity, kNumberDataCapacity, kListLimit, build,
                 rows) &&
        !rows.empty()) {
        m_ruleOptions = std::make_unique<CAuthDefRuleOption>(std::move(rows));
    }
}

void CGetDB::LoadRuleOptionValues() {
    std::vector<RuleOptionRow> rows;
    auto build = [](const RawValue& v, RuleOptionRow& row) {
        CopyFixedText(row.name, kListNameChars, v.name, v.nameLength);
        row.value = FirstFourBytes(v.data, v.size);
    };
    if (ReadList(L"DEFINED_RULEOPTIONVALUE", kNameCapacity, kNumberDataCapacity, kListLimit, build,
                 rows) &&
        !rows.empty()) {
        m_ruleOptionValues = std::make_unique<CAuthDefRuleOptionValue>(std::move(rows));
    }
}

const AuthPolicyRow* CGetDB::FindPolicy(int policyId) const {
    static const AuthPolicyRow empty = {};
    if (!m_policies) return &empty;
    for (int i = 0; i < m_policies->Count(); ++i) {
        if ((*m_policies)[i].policyId == policyId) return &(*m_policies)[i];
    }
    return nullptr;
}

std::wstring CGetDB::GetPolicyName(int policyId) const {
    if (!m_policies) return std::wstring();
    for (int i = 0; i < m_policies->Count(); ++i) {
        if ((*m_policies)[i].policyId == policyId) return (*m_policies)[i].displayName;
    }
    return std::wstring();
}

const AuthDeviceRow* CGetDB::FindDeviceByIndex(int deviceIndex) const {
    if (!m_devices) return nullptr;
    for (int i = 0; i < m_devices->Count(); ++i) {
        if ((*m_devices)[i].deviceIndex == deviceIndex) return &(*m_devices)[i];
    }
    return nullptr;
}

std::wstring CGetDB::FindRuleByValue(const BYTE* data, int length) const {
    if (m_rules && data && length >= 0) {
        for (int i = 0; i < m_rules->Count(); ++i) {
            const AuthRuleRow& row = (*m_rules)[i];
            if (row.dataLength == length && std::memcmp(row.data, data, length) == 0) {
                return row.name;
            }
        }
    }
    return GetResourceString(22075);
}

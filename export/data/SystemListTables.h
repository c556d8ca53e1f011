// The tables of the system-defined lists of "TORVA_SYSTEMDEFINED". Every row
// is zero-initialised before it is filled and every text field is terminated
// inside its fixed size (longer names are cut).
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

constexpr size_t kListNameChars = 100;
constexpr size_t kPolicyValueNameChars = 128;
constexpr size_t kPolicyTextChars = 256;
constexpr size_t kRuleDataBytes = 100;

struct DefinedMediaRow {
    wchar_t name[kListNameChars];
    uint8_t kind; // 2 TPM, 3 fingerprint, 4 FeliCa card, 5 USB memory, 6 SD memory card
};

struct AuthDeviceRow {
    wchar_t name[kListNameChars];
    uint8_t kind;
    int32_t deviceIndex; // kind - 2 for kinds 2 to 6, else 0
};

struct AuthPolicyRow {
    int32_t policyId;
    wchar_t valueName[kPolicyValueNameChars];
    wchar_t displayName[kPolicyTextChars];
    wchar_t policyKey[kPolicyTextChars];
};

struct AuthRuleRow {
    wchar_t name[kListNameChars];
    BYTE data[kRuleDataBytes];
    int32_t dataLength;
};

struct RuleOptionRow {
    wchar_t name[kListNameChars];
    int32_t value;
};

template <typename Row> class SystemListTable {
public:
    explicit SystemListTable(std::vector<Row> rows) : m_rows(std::move(rows)) {}
    virtual ~SystemListTable() = default;

    int Count() const noexcept { return static_cast<int>(m_rows.size()); }
    const Row* Rows() const noexcept { return m_rows.data(); }
    const Row& operator[](int i) const { return m_rows[static_cast<size_t>(i)]; }

private:
    std::vector<Row> m_rows;
};

class CDefinedMedia : public SystemListTable<DefinedMediaRow> {
    using SystemListTable::SystemListTable;
};
class CAuthDevice : public SystemListTable<AuthDeviceRow> {
    using SystemListTable::SystemListTable;
};
class CAuthPolicy : public SystemListTable<AuthPolicyRow> {
    using SystemListTable::SystemListTable;
};
class CAuthRule : public SystemListTable<AuthRuleRow> {
    using SystemListTable::SystemListTable;
};
class CAuthDefRuleOption : public SystemListTable<RuleOptionRow> {
    using SystemListTable::SystemListTable;
};
class CAuthDefRuleOptionValue : public SystemListTable<RuleOptionRow> {
    using SystemListTable::SystemListTable;
};

// Copies at most capacity - 1 characters of text[0, length) and terminates.
void CopyFixedText(wchar_t* field, size_t capacity, const wchar_t* text, size_t length);

// Reads the system-defined lists of the database "TORVA_SYSTEMDEFINED" on
// demand into small tables looked up by id, kind or value. Nothing is written.
// Every failure is silent: a list that cannot be read leaves its table as it
// was (absent, or the one loaded before).
#pragma once

#include "DbApi.h"
#include "SystemListTables.h"

#include <memory>
#include <string>
#include <vector>

class CGetDB {
public:
    explicit CGetDB(const DbApi& api = LibraryDbApi());
    virtual ~CGetDB();
    CGetDB(const CGetDB&) = delete;
    CGetDB& operator=(const CGetDB&) = delete;

    // Each replaces its table when the whole list was read with at least one row.
    void LoadMedia();
    void LoadDevices();
    void LoadPolicies();
    void LoadRules();
    void LoadRuleOptions();
    void LoadRuleOptionValues();

    // The first row with that id; null when no row has it; an empty row when
    // the policy list was never loaded.
    const AuthPolicyRow* FindPolicy(int policyId) const;
    // The display name of the first policy row with that id; empty when no
    // row has it or the policy list is not loaded.
    std::wstring GetPolicyName(int policyId) const;
    // The first device row with that device index; null when no row has it
    // or the device list is not loaded.
    const AuthDeviceRow* FindDeviceByIndex(int deviceIndex) const;
    // The name of the first rule whose data are exactly these bytes; "なし"
    // (text 22075) when none.
    std::wstring FindRuleByValue(const BYTE* data, int length) const;

    int MediaCount() const { return m_media ? m_media->Count() : 0; }
    const DefinedMediaRow* MediaRows() const { return m_media ? m_media->Rows() : nullptr; }

    const CDefinedMedia* Media() const { return m_media.get(); }
    const CAuthDevice* Devices() const { return m_devices.get(); }
    const CAuthPolicy* Policies() const { return m_policies.get(); }
    const CAuthRule* Rules() const { return m_rules.get(); }
    const CAuthDefRuleOption* RuleOptions() const { return m_ruleOptions.get(); }
    const CAuthDefRuleOptionValue* RuleOptionValues() const { return m_ruleOptionValues.get(); }

private:
    struct RawValue {
        const wchar_t* name;
        size_t nameLength;
        const BYTE* data;
        DWORD size;
        int position;
    };
    // Reads every value of key (at most limit), each with the given name and
    // data capacities; false when the list could not be read to its end.
    template <typename Row, typename Build>
    bool ReadList(const wchar_t* key, DWORD nameCapacity, DWORD dataCapacity, size_t limit,
                  Build build, std::vector<Row>& rows);

    const DbApi& m_api;
    wchar_t m_programFolder[MAX_PATH] = {};
    TVRDB_HDB m_db = nullptr;
    TVRDB_HKEY m_key = nullptr;
    std::unique_ptr<CAuthDevice> m_devices;
    std::unique_ptr<CAuthPolicy> m_policies;
    std::unique_ptr<CAuthRule> m_rules;
    std::unique_ptr<CDefinedMedia> m_media;
    std::unique_ptr<CAuthDefRuleOption> m_ruleOptions;
    std::unique_ptr<CAuthDefRuleOptionValue> m_ruleOptionValues;
};

// Names of the database and its list keys.
constexpr wchar_t kSystemDefinedDatabase[] = L"TORVA_SYSTEMDEFINED";

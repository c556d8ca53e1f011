// The seven web-form options, stored in the database beside the pages.
#include "CExpData.h"
#include "TraceScope.h"

#include "WebFormLayout.h"

#include <cstdint>
#include <iterator>

namespace {

namespace wf = torva::webform;
using wf::kOptionKey;

constexpr DWORD kNothingStored = 4;
constexpr DWORD kKeyNotFound = 8;

struct OptionValue {
    wf::WebFormOption stored; // its name and the value taken when it is not stored
    std::int32_t CDataOption::*field;
};

constexpr OptionValue kOptionValues[] = {
    {wf::kStopFunc, &CDataOption::m_nStopFunc},
    {wf::kStopAutoInput, &CDataOption::m_nStopAutoInput},
    {wf::kSetAuto, &CDataOption::m_nSetAuto},
    {wf::kCheckSet, &CDataOption::m_nCheckSet},
    {wf::kOnlyPwd, &CDataOption::m_nOnlyPwd},
    {wf::kNoMultiText, &CDataOption::m_nNoMultiText},
    {wf::kHidePwd, &CDataOption::m_nHidePwd},
};

// Read and written in the layout's order.
constexpr bool InLayoutOrder() {
    if (std::size(kOptionValues) != std::size(wf::kOptions)) return false;
    for (std::size_t i = 0; i < std::size(kOptionValues); ++i) {
        if (kOptionValues[i].stored.name != wf::kOptions[i].name) return false;
    }
    return true;
}
static_assert(InLayoutOrder(), "every option, in the layout's order");

} // namespace

BOOL CExpData::GetOptionData() {
    TORVA_TRACE_SCOPE(L"CExpData::GetOptionData");
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    ZentripCell* key = nullptr;
    const DWORD opened = OpenKey(db, kOptionKey, &key);
    if (opened == kNothingStored || opened == kKeyNotFound) {
        // A fresh database: every option has its default, so capture is on.
        for (const OptionValue& option : kOptionValues)
            m_option.*option.field = option.stored.missing;
        CloseDB(&db);
        TORVA_RETURN_BOOL(TRUE);
    }
    if (opened != 0) {
        CloseDB(&db);
        TORVA_RETURN_BOOL(FALSE);
    }
    for (const OptionValue& option : kOptionValues) {
        const std::int32_t value = GetDwordValue(db, key, option.stored.name);
        m_option.*option.field = value == -1 ? option.stored.missing : value;
    }
    CloseKey(db, &key);
    CloseDB(&db);
    TORVA_RETURN_BOOL(TRUE);
}

void CExpData::SetOptionData() {
    TORVA_TRACE_SCOPE(L"CExpData::SetOptionData");
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_VOID();
    ZentripCell* key = nullptr;
    const bool created = OpenKey(db, kOptionKey, &key) != 0;
    if (created && CreateKey(db, kOptionKey, &key) != 0) {
        CloseDB(&db);
        TORVA_RETURN_VOID();
    }
    for (const OptionValue& option : kOptionValues) {
        const DWORD value = static_cast<DWORD>(m_option.*option.field);
        if (created) {
            (void)CreateValue(db, key, option.stored.name, value);
        } else {
            SetDwordValue(db, key, option.stored.name, value);
        }
    }
    CloseKey(db, &key);
    CloseDB(&db);
}

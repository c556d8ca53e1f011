// The seven web-form options under "WEBFORMDATA\OPTION".
#include "CExpData.h"
#include "TraceScope.h"

#include <cstdint>

namespace {

constexpr const wchar_t* kOptionKey = L"WEBFORMDATA\\OPTION";
constexpr DWORD kNothingStored = 4;
constexpr DWORD kKeyNotFound = 8;

struct OptionValue {
    const wchar_t* name;
    std::int32_t CDataOption::*field;
    std::int32_t missing; // taken when the value is not stored
};

// In the order in which they are read and written.
constexpr OptionValue kOptionValues[] = {
    {L"STOPFUNC", &CDataOption::m_nStopFunc, 0},
    {L"STOPAUTOINPUT", &CDataOption::m_nStopAutoInput, 0},
    {L"SETAUTO", &CDataOption::m_nSetAuto, 1},
    {L"CHECKSET", &CDataOption::m_nCheckSet, 1},
    {L"ONLYPWD", &CDataOption::m_nOnlyPwd, 0},
    {L"NOMULTITEXT", &CDataOption::m_nNoMultiText, 0},
    {L"HIDEPWD", &CDataOption::m_nHidePwd, 1},
};

} // namespace

BOOL CExpData::GetOptionData() {
    TORVA_TRACE_SCOPE(L"CExpData::GetOptionData");
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    ZentripCell* key = nullptr;
    const DWORD opened = OpenKey(db, kOptionKey, &key);
    if (opened == kNothingStored || opened == kKeyNotFound) {
        // A fresh database: every option has its default, so capture is on.
        for (const OptionValue& option : kOptionValues) m_option.*option.field = option.missing;
        CloseDB(&db);
        TORVA_RETURN_BOOL(TRUE);
    }
    if (opened != 0) {
        CloseDB(&db);
        TORVA_RETURN_BOOL(FALSE);
    }
    for (const OptionValue& option : kOptionValues) {
        const std::int32_t value = GetDwordValue(db, key, option.name);
        m_option.*option.field = value == -1 ? option.missing : value;
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
            (void)CreateValue(db, key, option.name, value);
        } else {
            SetDwordValue(db, key, option.name, value);
        }
    }
    CloseKey(db, &key);
    CloseDB(&db);
}

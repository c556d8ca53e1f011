#include "DBAccess.h"

#include "KeyNameHash.h"

BOOL DBOption::GetOption(CKeepDataOption& option) {
    TVRDB_HDB db = nullptr;
    if (OpenDB(&db) != kDbOk) return FALSE;
    TVRDB_HKEY key = nullptr;
    if (OpenKey(db, kAppDataOptionKey, &key) == kDbOk) {
        option.STOPAUTOFUNC = GetDwordValue(db, key, L"STOPAUTOFUNC");
        option.STOPAUTOINPUT = GetDwordValue(db, key, L"STOPAUTOINPUT");
        option.STOPASSIST = GetDwordValue(db, key, L"STOPASSIST");
        option.HIDEPWD = GetDwordValue(db, key, L"HIDEPWD");
        CloseKey(db, &key);
    }
    CloseDB(&db);
    return TRUE;
}

void DBOption::SetOption(const CKeepDataOption& option) {
    TVRDB_HDB db = nullptr;
    if (OpenDB(&db) != kDbOk) return;
    TVRDB_HKEY key = nullptr;
    if (OpenKeyEx(db, kAppDataOptionKey, &key) == kDbOk) {
        SetDwordValue(db, key, L"STOPAUTOFUNC", option.STOPAUTOFUNC);
        SetDwordValue(db, key, L"STOPAUTOINPUT", option.STOPAUTOINPUT);
        SetDwordValue(db, key, L"STOPASSIST", option.STOPASSIST);
        SetDwordValue(db, key, L"HIDEPWD", option.HIDEPWD);
        CloseKey(db, &key);
    }
    CloseDB(&db);
}

void CKeepData::GetDBOptionInfo() {
    DBOption option(*m_dbApi, *m_cryptApi);
    m_lastResult = option.GetOption(m_option);
}

int32_t CKeepData::IsCheckedOption(int dwType) const {
    switch (dwType) {
    case KEEP_OPT_STOPAUTOFUNC:
        return m_option.STOPAUTOFUNC;
    case KEEP_OPT_STOPAUTOINPUT:
        return m_option.STOPAUTOINPUT;
    case KEEP_OPT_STOPASSIST:
        return m_option.STOPASSIST;
    case KEEP_OPT_HIDEPWD:
        return m_option.HIDEPWD;
    default:
        return -1;
    }
}

void CKeepData::CheckDBOption() {
    DBOption option(*m_dbApi, *m_cryptApi);
    TVRDB_HDB db = nullptr;
    if (option.OpenDB(&db) != kDbOk) return;
    TVRDB_HKEY key = nullptr;
    const int32_t opened = option.OpenKey(db, kAppDataOptionKey, &key);
    if (opened == kDbOk) option.CloseKey(db, &key);
    option.CloseDB(&db);
    // Only a key the database reports as absent gets the defaults; a busy or
    // failing database must not have stored options overwritten.
    if (opened != static_cast<int32_t>(kDbKeyNotFound)) return;
    option.SetOption(CKeepDataOption());
}

void CKeepData::CheckDBAny() {
    DBRegData reg(*m_dbApi, *m_cryptApi);
    if (reg.AnyInitPresence() != KeyPresence::Missing) return;
    CWindowData data;
    data.applicationName = kAnyApplicationName;
    data.caption = kAnyApplicationCaption;
    data.item.NAME = kAnyItemName;
    for (int32_t type : {1, 2, 5}) {
        data.item.controls.push_back(std::make_unique<CDataCtrl>(type, 0, std::wstring(), 0));
    }
    reg.SetRegItem(data);
}

#include "DBAccess.h"

#include "KeyNameHash.h"

namespace {

struct EntryKeys {
    std::wstring application;
    std::wstring caption;
    std::wstring item;
};

EntryKeys KeysOf(const CWindowData& data, const CryptApi& crypt) {
    EntryKeys keys;
    keys.application = ApplicationKeyPath(data.GetAplHash(crypt));
    keys.caption = CaptionKeyPath(keys.application, data.GetCaptionHash(crypt));
    keys.item = ItemKeyPath(keys.caption, data.GetItemHash(crypt));
    return keys;
}

constexpr int32_t kDefaultShape[] = {1, 2, 5};

} // namespace

BOOL DBRegData::GetDBRegData(CDataAplList& list, BOOL bGetPass) {
    list.clear();
    TVRDB_HDB db = nullptr;
    if (OpenDB(&db) != kDbOk) return FALSE;
    ReadKeyTree(
        db, kAppDataRegKey, [](TVRDB_HKEY) {},
        [&](const std::wstring& name) { GetDBApl(db, name, list, bGetPass); });
    CloseDB(&db);
    return TRUE;
}

BOOL DBRegData::GetDBApl(TVRDB_HDB db, const std::wstring& sAplKey, CDataAplList& list,
                         BOOL bGetPass) {
    auto apl = std::make_unique<CDataApl>();
    if (!ReadKeyTree(
            db, sAplKey,
            [&](TVRDB_HKEY key) { apl->APLNAME = GetStringValue(db, key, L"APLNAME"); },
            [&](const std::wstring& name) { GetDBCaption(db, name, *apl, bGetPass); }))
        return FALSE;
    list.push_back(std::move(apl));
    return TRUE;
}

BOOL DBRegData::GetDBCaption(TVRDB_HDB db, const std::wstring& sCaptionKey, CDataApl& apl,
                             BOOL bGetPass) {
    auto caption = std::make_unique<CDataCaption>();
    if (!ReadKeyTree(
            db, sCaptionKey,
            [&](TVRDB_HKEY key) { caption->CAPTION = GetStringValue(db, key, L"CAPTION"); },
            [&](const std::wstring& name) { GetDBItem(db, name, *caption, bGetPass); }))
        return FALSE;
    apl.captions.push_back(std::move(caption));
    return TRUE;
}

BOOL DBRegData::GetDBItem(TVRDB_HDB db, const std::wstring& sItemKey, CDataCaption& caption,
                          BOOL bGetPass) {
    auto item = std::make_unique<CDataItem>();
    const auto readItem = [&](TVRDB_HKEY key) {
        item->NAME = GetStringValue(db, key, L"NAME");
        item->AUTOINPUT = GetDwordValue(db, key, L"AUTOINPUT");
        item->AUTOCLICK = GetDwordValue(db, key, L"AUTOCLICK");
        item->CLICKPOS = GetDwordValue(db, key, L"CLICKPOS");
    };
    if (!ReadKeyTree(db, sItemKey, readItem,
                     [&](const std::wstring& name) { GetDBCtrl(db, name, *item, bGetPass); }))
        return FALSE;
    if (caption.CAPTION == kAnyApplicationCaption) RunAnyItemCheck(*item);
    caption.items.push_back(std::move(item));
    return TRUE;
}

BOOL DBRegData::GetDBCtrl(TVRDB_HDB db, const std::wstring& sCtrlKey, CDataItem& item,
                          BOOL bGetPass) {
    TVRDB_HKEY key = nullptr;
    if (OpenKey(db, sCtrlKey, &key) != kDbOk) return FALSE;
    auto control = std::make_unique<CDataCtrl>();
    control->TYPE = GetDwordValue(db, key, L"TYPE");
    control->ID = GetDwordValue(db, key, L"ID");
    if (bGetPass) {
        control->CAPTION = control->TYPE == 2
                               ? GetStringValueCrypt(db, key, L"CAPTION", &control->unread)
                               : GetStringValue(db, key, L"CAPTION");
    }
    control->FLAG = GetDwordValue(db, key, L"FLAG");
    CloseKey(db, &key);
    item.controls.push_back(std::move(control));
    return TRUE;
}

BOOL DBRegData::SetRegItem(const CWindowData& data) {
    const EntryKeys keys = KeysOf(data, m_cryptApi);
    TVRDB_HDB db = nullptr;
    if (OpenDB(&db) != kDbOk) return FALSE;
    BOOL result = FALSE;
    TVRDB_HKEY key = nullptr;
    const int32_t opened = OpenKey(db, keys.item, &key);
    if (opened == kDbOk) {
        AddDBItem(db, key, data.item, keys.item);
        CloseKey(db, &key);
        result = TRUE;
    } else if (opened == static_cast<int32_t>(kDbKeyNotFound)) {
        if (CreateKey(db, keys.application, &key) == kDbOk) {
            AddDBApl(db, key, data.applicationName);
            CloseKey(db, &key);
        }
        if (CreateKey(db, keys.caption, &key) == kDbOk) {
            AddDBCaption(db, key, data.caption);
            CloseKey(db, &key);
        }
        if (OpenKeyEx(db, keys.item, &key) == kDbOk) {
            AddDBItem(db, key, data.item, keys.item);
            CloseKey(db, &key);
            result = TRUE;
        }
    }
    CloseDB(&db);
    return result;
}

BOOL DBRegData::AddDBApl(TVRDB_HDB db, TVRDB_HKEY key, const std::wstring& applicationName) {
    SetStringValue(db, key, L"APLNAME", applicationName);
    return TRUE;
}

BOOL DBRegData::AddDBCaption(TVRDB_HDB db, TVRDB_HKEY key, const std::wstring& caption) {
    SetStringValue(db, key, L"CAPTION", caption);
    return TRUE;
}

BOOL DBRegData::AddDBItem(TVRDB_HDB db, TVRDB_HKEY key, const CDataItem& item,
                          const std::wstring& itemKey) {
    SetStringValue(db, key, L"NAME", item.NAME);
    SetDwordValue(db, key, L"AUTOINPUT", item.AUTOINPUT);
    SetDwordValue(db, key, L"AUTOCLICK", item.AUTOCLICK);
    SetDwordValue(db, key, L"CLICKPOS", item.CLICKPOS);
    int counter = 0;
    for (const auto& control : item.controls) {
        TVRDB_HKEY controlKey = nullptr;
        if (OpenKeyEx(db, ControlKeyPath(itemKey, counter), &controlKey) != kDbOk) continue;
        AddDBCtrl(db, controlKey, *control);
        CloseKey(db, &controlKey);
        ++counter;
    }
    return TRUE;
}

BOOL DBRegData::AddDBCtrl(TVRDB_HDB db, TVRDB_HKEY key, const CDataCtrl& control) {
    SetDwordValue(db, key, L"TYPE", control.TYPE);
    SetDwordValue(db, key, L"ID", control.ID);
    if (control.TYPE == 2) {
        SetStringValueCrypt(db, key, L"CAPTION", control.CAPTION);
    } else {
        SetStringValue(db, key, L"CAPTION", control.CAPTION);
    }
    SetDwordValue(db, key, L"FLAG", control.FLAG);
    return TRUE;
}

KeyPresence DBRegData::AnyInitPresence() {
    CWindowData data;
    data.applicationName = kAnyApplicationName;
    data.caption = kAnyApplicationCaption;
    const EntryKeys keys = KeysOf(data, m_cryptApi);
    TVRDB_HDB db = nullptr;
    if (OpenDB(&db) != kDbOk) return KeyPresence::Unknown;
    TVRDB_HKEY key = nullptr;
    const int32_t opened = OpenKey(db, keys.caption, &key);
    KeyPresence presence = KeyPresence::Unknown;
    if (opened == kDbOk) {
        CloseKey(db, &key);
        presence = KeyPresence::Present;
    } else if (opened == static_cast<int32_t>(kDbKeyNotFound)) {
        presence = KeyPresence::Missing;
    }
    CloseDB(&db);
    return presence;
}

BOOL DBRegData::IsAnyInit() {
    return AnyInitPresence() == KeyPresence::Present ? TRUE : FALSE;
}

BOOL DBRegData::CheckAnyItem(const CDataItem& item) {
    if (item.controls.size() != 3) return FALSE;
    for (size_t i = 0; i < 3; ++i) {
        if (item.controls[i]->TYPE != kDefaultShape[i]) return FALSE;
    }
    return TRUE;
}

void DBRegData::RestoreAnyItem(CDataItem& item) {
    item.controls.clear();
    for (int32_t type : kDefaultShape) {
        item.controls.push_back(std::make_unique<CDataCtrl>(type, 0, std::wstring(), 0));
    }
}

void DBRegData::RunAnyItemCheck(CDataItem& item) {
    if (item.NAME != kAnyItemName || CheckAnyItem(item)) return;
    for (const auto& control : item.controls) {
        if (!control->CAPTION.empty()) return;
    }
    RestoreAnyItem(item);
}

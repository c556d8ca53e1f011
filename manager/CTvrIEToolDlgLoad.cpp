// Loading the whole web-form tree and the options. A key that does not open
// ends the load of the siblings after it (they stay with empty fields); the
// load goes on with the next level up.
#include "CTvrIEToolDlg.h"
#include "CTvrIEToolDlgHandles.h"
#include "TraceScope.h"

#include <cwchar>

namespace {
const wchar_t kRoot[] = L"WEBFORMDATA";
const wchar_t kOptionKey[] = L"WEBFORMDATA\\OPTION";
// The most choices read for one control, whatever DATANUM says.
constexpr std::int32_t kMaxChoices = 4096;

std::wstring Numbered(const wchar_t* stem, int i) {
    wchar_t name[32];
    std::swprintf(name, 32, L"%ls%d", stem, i);
    return name;
}
} // namespace

BOOL CTvrIEToolDlg::GetWebFormData() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::GetWebFormData");
    TVRDB_HDB db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    DlgDbScope dbScope(*this, db);
    {
        TVRDB_HKEY root = nullptr;
        const DWORD opened = OpenKey(db, kRoot, &root);
        DlgKeyScope closer(*this, db, root);
        // Nothing stored yet, whichever of the two answers says so.
        if (opened == TVRDB_E_NO_MORE_ITEMS || opened == TVRDB_E_KEY_NOT_FOUND) {
            TORVA_RETURN_BOOL(TRUE);
        }
        if (opened != TVRDB_OK) TORVA_RETURN_BOOL(FALSE);
        for (const std::wstring& name : EnumSubKeys(db, root)) {
            if (name == kOptionKey) continue;
            m_pages.push_back(std::make_unique<CDataWebForm>());
            m_pages.back()->m_strKey = name;
        }
    }
    for (auto& page : m_pages) {
        {
            TVRDB_HKEY key = nullptr;
            if (OpenKey(db, page->m_strKey, &key) != TVRDB_OK) break;
            DlgKeyScope closer(*this, db, key);
            page->m_strUrl = GetStringValue(db, key, L"URL");
            page->m_strTitle = GetStringValue(db, key, L"TITLE");
            page->m_strUpdateDate = GetStringValue(db, key, L"UPDATEDATE");
            page->m_nChangeFlg = GetDwordValue(db, key, L"CHANGEFLG");
            page->m_nLoadedChangeFlg = page->m_nChangeFlg;
            page->m_nEditState = kPageNormal;
            for (const std::wstring& name : EnumSubKeys(db, key))
                page->AddItem().m_strKey = name;
        }
        LoadPage(db, *page);
    }
    TORVA_RETURN_BOOL(TRUE);
}

void CTvrIEToolDlg::LoadPage(TVRDB_HDB db, CDataWebForm& page) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::LoadPage");
    for (auto& item : page.m_items) {
        if (!LoadItem(db, *item)) break;
    }
}

bool CTvrIEToolDlg::LoadItem(TVRDB_HDB db, CDataWebItem& item) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::LoadItem");
    {
        TVRDB_HKEY key = nullptr;
        if (OpenKey(db, item.m_strKey, &key) != TVRDB_OK) TORVA_RETURN_BOOL(false);
        DlgKeyScope closer(*this, db, key);
        item.m_strName = GetStringValue(db, key, L"NAME");
        item.m_nState = item.m_strName.empty() ? kItemUnnamed : kItemNormal;
        item.m_strFormName = GetStringValue(db, key, L"FORMNAME");
        item.m_nAutoInput = GetDwordValue(db, key, L"AUTOINPUT");
        item.m_nAutoSend = GetDwordValue(db, key, L"AUTOSEND");
        item.m_nIndex = GetDwordValue(db, key, L"INDEX");
        for (const std::wstring& name : EnumSubKeys(db, key)) {
            CDataWebCtrl& ctrl = item.AddCtrl();
            ctrl.m_strKey = name;
            ctrl.m_nType = -1;
        }
    }
    for (auto& ctrl : item.m_ctrls) {
        if (!LoadCtrl(db, *ctrl)) break;
    }
    TORVA_RETURN_BOOL(true);
}

bool CTvrIEToolDlg::LoadCtrl(TVRDB_HDB db, CDataWebCtrl& ctrl) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::LoadCtrl");
    TVRDB_HKEY key = nullptr;
    if (OpenKey(db, ctrl.m_strKey, &key) != TVRDB_OK) TORVA_RETURN_BOOL(false);
    DlgKeyScope closer(*this, db, key);
    ctrl.m_nType = GetDwordValue(db, key, L"TYPE");
    ctrl.m_strName = GetStringValue(db, key, L"NAME");
    switch (ctrl.m_nType) {
    case D_WEB_CTRL_TEXT:
        (void)ctrl.CreateValue();
        ctrl.TextValue()->m_strValue = GetStringValue(db, key, L"VALUE");
        ctrl.TextValue()->m_nDataLen = GetDwordValue(db, key, L"DATALEN");
        break;
    case D_WEB_CTRL_PSWD: {
        (void)ctrl.CreateValue();
        CDataWebTextValue& text = *ctrl.TextValue();
        // The decryption closes the key: every other value is read first.
        text.m_nDataLen = GetDwordValue(db, key, L"DATALEN");
        bool clear = true;
        text.m_strValue = GetStringValue_Decord(db, &key, L"VALUE", &clear);
        text.m_nNotDecrypted = clear ? 0 : 1;
        break;
    }
    case D_WEB_CTRL_RADIO:
    case D_WEB_CTRL_CHECK:
    case D_WEB_CTRL_SELECT: {
        const std::int32_t multiple = GetDwordValue(db, key, L"MULTIPLE");
        CloseKey(db, &key);
        (void)ctrl.CreateValue();
        ctrl.SelValue()->m_nMultiple = multiple;
        LoadChoices(db, ctrl);
        break;
    }
    case D_WEB_CTRL_MULTI:
        (void)ctrl.CreateValue();
        ctrl.MultiValue()->m_strText = GetStringValue(db, key, L"TEXT");
        ctrl.MultiValue()->m_nRows = GetDwordValue(db, key, L"ROWS");
        ctrl.MultiValue()->m_nCols = GetDwordValue(db, key, L"COLS");
        break;
    case D_WEB_CTRL_SUBMIT:
    case D_WEB_CTRL_IMAGE:
        (void)ctrl.CreateValue();
        ctrl.ButtonValue()->m_strValue = GetStringValue(db, key, L"VALUE");
        ctrl.ButtonValue()->m_nSelected = GetDwordValue(db, key, L"SELECT") == 1;
        break;
    default:
        break; // no value record
    }
    TORVA_RETURN_BOOL(true);
}

void CTvrIEToolDlg::LoadChoices(TVRDB_HDB db, CDataWebCtrl& ctrl) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::LoadChoices");
    wchar_t path[TVRDB_MAX_NAME + 16];
    std::swprintf(path, sizeof(path) / sizeof(path[0]), L"%ls\\Element", ctrl.m_strKey.c_str());
    TVRDB_HKEY key = nullptr;
    if (OpenKey(db, path, &key) != TVRDB_OK) {
        // No choice list stored: the control has no choice record at all.
        ctrl.DeleteValue();
        TORVA_RETURN_VOID();
    }
    DlgKeyScope closer(*this, db, key);
    CDataWebSelCtrl& choices = *ctrl.SelValue();
    // A damaged count must not run the load for ever: no page holds more
    // choices than this.
    const std::int32_t stored = GetDwordValue(db, key, L"DATANUM");
    const std::int32_t count = stored < kMaxChoices ? stored : kMaxChoices;
    for (std::int32_t i = 1; i <= count; ++i) {
        CDataWebSelElement& choice = choices.Add();
        choice.m_strValue = GetStringValue(db, key, Numbered(L"VALUE", i).c_str());
        choice.m_strText = GetStringValue(db, key, Numbered(L"TEXT", i).c_str());
        choice.m_nSelect = GetDwordValue(db, key, Numbered(L"SELECT", i).c_str()) == 1;
    }
}

BOOL CTvrIEToolDlg::GetOptionData() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::GetOptionData");
    TVRDB_HDB db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    DlgDbScope dbScope(*this, db);
    TVRDB_HKEY key = nullptr;
    const DWORD opened = OpenKey(db, kOptionKey, &key);
    DlgKeyScope closer(*this, db, key);
    if (opened == TVRDB_E_NO_MORE_ITEMS || opened == TVRDB_E_KEY_NOT_FOUND) TORVA_RETURN_BOOL(TRUE);
    if (opened != TVRDB_OK) TORVA_RETURN_BOOL(FALSE);
    auto read = [&](const wchar_t* name, std::int32_t missing) {
        const std::int32_t value = GetDwordValue(db, key, name);
        return value == -1 ? missing : value;
    };
    m_option.m_nStopFunc = read(L"STOPFUNC", 0);
    m_option.m_nStopAutoInput = read(L"STOPAUTOINPUT", 0);
    m_option.m_nSetAuto = read(L"SETAUTO", 1);
    m_option.m_nCheckSet = read(L"CHECKSET", 1);
    m_option.m_nOnlyPwd = read(L"ONLYPWD", 0);
    m_option.m_nNoMultiText = read(L"NOMULTITEXT", 0);
    m_option.m_nHidePwd = read(L"HIDEPWD", 1);
    TORVA_RETURN_BOOL(TRUE);
}

// Loading the whole web-form tree and the options. A key that does not open
// ends the load of the siblings after it (they stay with empty fields); the
// load goes on with the next level up.
#include "CTvrIEToolDlg.h"
#include "CTvrIEToolDlgHandles.h"
#include "TraceScope.h"
#include "WebFormLayout.h"

namespace {
namespace wf = torva::webform;
// The most choices read for one control, whatever DATANUM says.
constexpr std::int32_t kMaxChoices = 4096;
} // namespace

BOOL CTvrIEToolDlg::GetWebFormData() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::GetWebFormData");
    TVRDB_HDB db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    DlgDbScope dbScope(*this, db);
    {
        TVRDB_HKEY root = nullptr;
        const DWORD opened = OpenKey(db, wf::kRootKey, &root);
        DlgKeyScope closer(*this, db, root);
        // Nothing stored yet, whichever of the two answers says so.
        if (opened == TVRDB_E_NO_MORE_ITEMS || opened == TVRDB_E_KEY_NOT_FOUND) {
            TORVA_RETURN_BOOL(TRUE);
        }
        if (opened != TVRDB_OK) TORVA_RETURN_BOOL(FALSE);
        for (const std::wstring& name : EnumSubKeys(db, root)) {
            if (name == wf::kOptionKey) continue;
            m_pages.push_back(std::make_unique<CDataWebForm>());
            m_pages.back()->m_strKey = name;
        }
    }
    for (auto& page : m_pages) {
        {
            TVRDB_HKEY key = nullptr;
            if (OpenKey(db, page->m_strKey, &key) != TVRDB_OK) break;
            DlgKeyScope closer(*this, db, key);
            page->m_strUrl = GetStringValue(db, key, wf::kPageUrl);
            page->m_strTitle = GetStringValue(db, key, wf::kPageTitle);
            page->m_strUpdateDate = GetStringValue(db, key, wf::kPageUpdateDate);
            page->m_nChangeFlg = GetDwordValue(db, key, wf::kPageChangeFlg);
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
        item.m_strName = GetStringValue(db, key, wf::kItemName);
        item.m_nState = item.m_strName.empty() ? kItemUnnamed : kItemNormal;
        item.m_strFormName = GetStringValue(db, key, wf::kItemFormName);
        item.m_nAutoInput = GetDwordValue(db, key, wf::kItemAutoInput);
        item.m_nAutoSend = GetDwordValue(db, key, wf::kItemAutoSend);
        item.m_nIndex = GetDwordValue(db, key, wf::kItemIndex);
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
    ctrl.m_nType = GetDwordValue(db, key, wf::kCtrlType);
    ctrl.m_strName = GetStringValue(db, key, wf::kCtrlName);
    switch (ctrl.m_nType) {
    case D_WEB_CTRL_TEXT:
        (void)ctrl.CreateValue();
        ctrl.TextValue()->m_strValue = GetStringValue(db, key, wf::kCtrlValue);
        ctrl.TextValue()->m_nDataLen = GetDwordValue(db, key, wf::kCtrlDataLen);
        break;
    case D_WEB_CTRL_PSWD: {
        (void)ctrl.CreateValue();
        CDataWebTextValue& text = *ctrl.TextValue();
        // The decryption closes the key: every other value is read first.
        text.m_nDataLen = GetDwordValue(db, key, wf::kCtrlDataLen);
        bool clear = true;
        text.m_strValue = GetStringValue_Decord(db, &key, wf::kCtrlValue, &clear);
        text.m_nNotDecrypted = clear ? 0 : 1;
        break;
    }
    case D_WEB_CTRL_RADIO:
    case D_WEB_CTRL_CHECK:
    case D_WEB_CTRL_SELECT: {
        const std::int32_t multiple = GetDwordValue(db, key, wf::kCtrlMultiple);
        CloseKey(db, &key);
        (void)ctrl.CreateValue();
        ctrl.SelValue()->m_nMultiple = multiple;
        LoadChoices(db, ctrl);
        break;
    }
    case D_WEB_CTRL_MULTI:
        (void)ctrl.CreateValue();
        ctrl.MultiValue()->m_strText = GetStringValue(db, key, wf::kCtrlText);
        ctrl.MultiValue()->m_nRows = GetDwordValue(db, key, wf::kCtrlRows);
        ctrl.MultiValue()->m_nCols = GetDwordValue(db, key, wf::kCtrlCols);
        break;
    case D_WEB_CTRL_SUBMIT:
    case D_WEB_CTRL_IMAGE:
        (void)ctrl.CreateValue();
        ctrl.ButtonValue()->m_strValue = GetStringValue(db, key, wf::kCtrlValue);
        ctrl.ButtonValue()->m_nSelected = GetDwordValue(db, key, wf::kCtrlSelect) == 1;
        break;
    default:
        break; // no value record
    }
    TORVA_RETURN_BOOL(true);
}

void CTvrIEToolDlg::LoadChoices(TVRDB_HDB db, CDataWebCtrl& ctrl) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::LoadChoices");
    const std::wstring path = wf::SubKeyPath(ctrl.m_strKey, wf::kElementKeyAsRead);
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
    const std::int32_t stored = GetDwordValue(db, key, wf::kElementDataNum);
    const std::int32_t count = stored < kMaxChoices ? stored : kMaxChoices;
    for (std::int32_t i = 1; i <= count; ++i) {
        CDataWebSelElement& choice = choices.Add();
        choice.m_strValue =
            GetStringValue(db, key, wf::NumberedValueName(wf::kElementValueStem, i).c_str());
        choice.m_strText =
            GetStringValue(db, key, wf::NumberedValueName(wf::kElementTextStem, i).c_str());
        choice.m_nSelect =
            GetDwordValue(db, key, wf::NumberedValueName(wf::kElementSelectStem, i).c_str()) == 1;
    }
}

BOOL CTvrIEToolDlg::GetOptionData() {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::GetOptionData");
    TVRDB_HDB db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    DlgDbScope dbScope(*this, db);
    TVRDB_HKEY key = nullptr;
    const DWORD opened = OpenKey(db, wf::kOptionKey, &key);
    DlgKeyScope closer(*this, db, key);
    if (opened == TVRDB_E_NO_MORE_ITEMS || opened == TVRDB_E_KEY_NOT_FOUND) TORVA_RETURN_BOOL(TRUE);
    if (opened != TVRDB_OK) TORVA_RETURN_BOOL(FALSE);
    auto read = [&](const wf::WebFormOption& option) {
        const std::int32_t value = GetDwordValue(db, key, option.name);
        return value == -1 ? option.missing : value;
    };
    m_option.m_nStopFunc = read(wf::kStopFunc);
    m_option.m_nStopAutoInput = read(wf::kStopAutoInput);
    m_option.m_nSetAuto = read(wf::kSetAuto);
    m_option.m_nCheckSet = read(wf::kCheckSet);
    m_option.m_nOnlyPwd = read(wf::kOnlyPwd);
    m_option.m_nNoMultiText = read(wf::kNoMultiText);
    m_option.m_nHidePwd = read(wf::kHidePwd);
    TORVA_RETURN_BOOL(TRUE);
}

#include "BenchEntry.h"

#include "LoginEntry.h"
#include "PageSource.h"
#include "ProgramFolder.h"

namespace bench {

std::wstring PagePath(const std::wstring& name) {
    return torva::ProgramFolder() + L"bench-pages\\" + name;
}

StoredLogin::StoredLogin(CExpData& store, const std::wstring& path) : m_store(store) {
    m_page.m_strUrl = torva::browser::CanonicalUrl(path);
    for (int guard = 0; guard < 16; ++guard) {
        std::unique_ptr<CDataWebForm> stale(m_store.GetWebPageData(m_page.m_strUrl, 0));
        if (!stale) break;
        m_store.DeleteWebPageData(stale.get());
    }
    m_page.m_strTitle = L"Login";
    m_page.m_strUpdateDate = L"2026/12/09 04:00:00";
    m_page.m_nChangeFlg = 0;
    CDataWebItem& item = m_page.AddItem();
    MakeLoginEntry(item, L"bench");
    // user, pw, plan, keep, pref, memo, go, cancel, img
    item.m_ctrls[0]->TextValue()->m_strValue = kUser;
    item.m_ctrls[1]->TextValue()->m_strValue = kPassword;
    item.m_ctrls[5]->MultiValue()->m_strText = kMemo;
    if (m_store.SetWebPageData(&m_page, nullptr) != 0) m_page.m_strKey.clear();
}

StoredLogin::~StoredLogin() {
    if (Stored()) m_store.DeleteWebPageData(&m_page);
}

} // namespace bench

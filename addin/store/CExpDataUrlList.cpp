// The process-wide URL list of CExpData, touched only under the URL-list lock.
#include "CExpData.h"
#include "TraceScope.h"

#include "RelayState.h"
#include "Trace.h"
#include "UrlList.h"
#include "WebFormLayout.h"
#include "Win32Handles.h"

#include "EventWait.h"

#include <map>
#include <vector>

namespace {

namespace wf = torva::webform;

constexpr DWORD kUrlLockWait = 30000;
constexpr DWORD kEnumNameChars = 512;

// Holds the URL-list lock for its life; not held when the lock could not be had.
class UrlListLock {
public:
    UrlListLock() {
        const std::wstring& name = RelayState::Instance().UrlListLockName();
        if (name.empty()) return;
        m_lock.reset(::OpenEventW(EVENT_ALL_ACCESS, FALSE, name.c_str()));
        if (!m_lock) return;
        // An auto-reset event: the successful wait is the take.
        if (!torva::relay::WaitNamedEvent(name.c_str(), kUrlLockWait)) m_lock.reset();
    }
    ~UrlListLock() {
        if (m_lock) ::SetEvent(m_lock.get());
    }
    UrlListLock(const UrlListLock&) = delete;
    UrlListLock& operator=(const UrlListLock&) = delete;
    bool IsHeld() const noexcept { return static_cast<bool>(m_lock); }

private:
    torva::UniqueHandle m_lock;
};

} // namespace

BOOL CExpData::SetURLData(int operation, const std::wstring& url, const std::wstring& pageKey) {
    TORVA_TRACE_SCOPE(L"CExpData::SetURLData");
    const UrlListLock lock;
    if (!lock.IsHeld()) TORVA_RETURN_BOOL(FALSE);
    UrlList& list = UrlList::Instance();
    switch (operation) {
    case URL_DELETEALL:
        list.Clear();
        TORVA_RETURN_BOOL(TRUE);
    case URL_ADD:
        if (url.empty() || pageKey.empty()) TORVA_RETURN_BOOL(FALSE);
        list.Add(url, pageKey);
        TORVA_RETURN_BOOL(TRUE);
    case URL_DELETE:
        TORVA_RETURN_BOOL(!url.empty() && list.RemoveUrl(url) ? TRUE : FALSE);
    case URL_RENEW:
        break;
    default:
        TORVA_RETURN_BOOL(FALSE);
    }

    list.Clear();
    ZentripCell* db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_BOOL(FALSE);
    ZentripCell* root = nullptr;
    if (OpenKey(db, wf::kRootKey, &root) != 0) {
        CloseDB(&db);
        TORVA_RETURN_BOOL(FALSE);
    }
    struct Page {
        std::wstring url;
        std::wstring key;
        std::wstring updateDate;
    };
    std::vector<Page> pages;
    std::map<std::wstring, int> pagesOfUrl;
    wchar_t name[kEnumNameChars];
    DWORD length = 0;
    for (DWORD index = 0; Zentrip_EnumKey(db, root, index, name, kEnumNameChars, &length) == 0;
         ++index) {
        if (length == 0) continue;
        ZentripCell* page = nullptr;
        if (OpenKey(db, name, &page) != 0) continue;
        std::wstring pageUrl = GetStringValue(db, page, wf::kPageUrl);
        CloseKey(db, &page);
        // Sub keys without a URL, such as the option key, are no pages.
        if (pageUrl.empty()) continue;
        ++pagesOfUrl[pageUrl];
        pages.push_back(Page{std::move(pageUrl), name, {}});
    }
    CloseKey(db, &root);
    // Only pages that share their URL need their dates: the newest of them
    // must stand first, whatever their numbers.
    for (Page& page : pages) {
        if (pagesOfUrl[page.url] < 2) continue;
        ZentripCell* key = nullptr;
        if (OpenKey(db, page.key.c_str(), &key) != 0) continue;
        page.updateDate = GetStringValue(db, key, wf::kPageUpdateDate);
        CloseKey(db, &key);
    }
    CloseDB(&db);
    for (Page& page : pages) {
        list.Add(std::move(page.url), std::move(page.key), std::move(page.updateDate));
    }
    TORVA_RETURN_BOOL(TRUE);
}

std::wstring CExpData::SearchSubKeyFromURL(const std::wstring& url) {
    TORVA_TRACE_SCOPE(L"CExpData::SearchSubKeyFromURL");
    std::wstring pageKey;
    (void)FindPageKey(url, pageKey);
    TORVA_TRACE_DETAIL(pageKey.empty() ? L"* sRet is empty *" : L"* return sRet success. *");
    return pageKey;
}

bool CExpData::FindPageKey(const std::wstring& url, std::wstring& pageKey) {
    pageKey.clear();
    const UrlListLock lock;
    if (!lock.IsHeld()) return false;
    pageKey = UrlList::Instance().Find(url);
    return true;
}

std::wstring CExpData::GetSubKey(const std::wstring& path) {
    TORVA_TRACE_SCOPE(L"CExpData::GetSubKey");
    const size_t slash = path.find_last_of(L'\\');
    std::wstring subKey = slash == std::wstring::npos ? path : path.substr(slash + 1);
    TORVA_TRACE_DETAIL(subKey.empty() ? L"* sSubKey is Empty *" : L"* return sSubKey success. *");
    return subKey;
}

void CExpData::UrlListAddPage(const CDataWebForm& page) {
    TORVA_TRACE_SCOPE(L"CExpData::UrlListAddPage");
    const UrlListLock lock;
    if (lock.IsHeld() && !page.m_strUrl.empty() && !page.m_strKey.empty()) {
        UrlList::Instance().Add(page.m_strUrl, page.m_strKey, page.m_strUpdateDate);
    }
}

void CExpData::UrlListRemovePage(const std::wstring& pageKey) {
    TORVA_TRACE_SCOPE(L"CExpData::UrlListRemovePage");
    const UrlListLock lock;
    if (lock.IsHeld()) (void)UrlList::Instance().RemovePage(pageKey);
}

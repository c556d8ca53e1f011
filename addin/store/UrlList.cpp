#include "UrlList.h"

#include <algorithm>

UrlList& UrlList::Instance() {
    static UrlList list;
    return list;
}

void UrlList::Add(std::wstring url, std::wstring pageKey, std::wstring updateDate) {
    // The date's fixed-width form sorts as text.
    const auto ahead = std::find_if(m_pairs.begin(), m_pairs.end(), [&](const Pair& pair) {
        return pair.url == url && pair.updateDate < updateDate;
    });
    m_pairs.insert(ahead, Pair{std::move(url), std::move(pageKey), std::move(updateDate)});
}

bool UrlList::RemoveUrl(const std::wstring& url) {
    const auto found = std::find_if(m_pairs.begin(), m_pairs.end(),
                                    [&](const Pair& pair) { return pair.url == url; });
    if (found == m_pairs.end()) return false;
    m_pairs.erase(found);
    return true;
}

size_t UrlList::RemovePage(const std::wstring& pageKey) {
    const size_t before = m_pairs.size();
    m_pairs.erase(std::remove_if(m_pairs.begin(), m_pairs.end(),
                                 [&](const Pair& pair) { return pair.pageKey == pageKey; }),
                  m_pairs.end());
    return before - m_pairs.size();
}

std::wstring UrlList::Find(const std::wstring& url) const {
    for (const auto& pair : m_pairs) {
        if (pair.url == url) return pair.pageKey;
    }
    return {};
}

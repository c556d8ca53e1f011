// The process-wide list that maps stored page URLs to their page keys.
// Callers hold the URL-list lock (CExpData::SetURLData and
// CExpData::SearchSubKeyFromURL take it) around every use.
#pragma once

#include <string>
#include <utility>
#include <vector>

class UrlList {
public:
    static UrlList& Instance();

    void Clear() noexcept { m_pairs.clear(); }
    void Add(std::wstring url, std::wstring pageKey);
    // Removes the first pair of exactly this URL (case counts).
    bool RemoveUrl(const std::wstring& url);
    // Removes every pair of this page key; returns how many went.
    size_t RemovePage(const std::wstring& pageKey);
    // The page key of the first pair of exactly this URL, or empty.
    std::wstring Find(const std::wstring& url) const;
    const std::vector<std::pair<std::wstring, std::wstring>>& Pairs() const { return m_pairs; }

private:
    UrlList() = default;
    std::vector<std::pair<std::wstring, std::wstring>> m_pairs;
};

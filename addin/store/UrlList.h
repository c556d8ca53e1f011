// The process-wide list that maps stored page URLs to their page keys.
// Callers hold the URL-list lock (CExpData::SetURLData and
// CExpData::SearchSubKeyFromURL take it) around every use.
//
// Several pages may be stored for one URL (one left over by a delete that
// stopped part way, and the page stored after it): among them the page
// registered last, by its update date, stands first and is the one found.
#pragma once

#include <string>
#include <vector>

class UrlList {
public:
    static UrlList& Instance();

    void Clear() noexcept { m_pairs.clear(); }
    // Appends the pair, or puts it ahead of the pairs of the same URL whose
    // pages were registered before updateDate ("%Y/%m/%d %H:%M:%S"; empty:
    // not known, and never ahead of another).
    void Add(std::wstring url, std::wstring pageKey, std::wstring updateDate = {});
    // Removes the first pair of exactly this URL (case counts).
    bool RemoveUrl(const std::wstring& url);
    // Removes every pair of this page key; returns how many went.
    size_t RemovePage(const std::wstring& pageKey);
    // The page key of the first pair of exactly this URL, or empty.
    std::wstring Find(const std::wstring& url) const;

private:
    struct Pair {
        std::wstring url;
        std::wstring pageKey;
        std::wstring updateDate;
    };
    UrlList() = default;
    std::vector<Pair> m_pairs;
};

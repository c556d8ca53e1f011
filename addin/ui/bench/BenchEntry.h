// The stored entry both benchmarks fill in: every kind of control of the
// login page's form "login", with plain ASCII values so that a browser
// script can wait for them.
#pragma once

#include "CExpData.h"

#include <memory>
#include <string>

namespace bench {

inline constexpr wchar_t kUser[] = L"bench.user";
inline constexpr wchar_t kPassword[] = L"bench-pass-1";
inline constexpr wchar_t kMemo[] = L"bench memo";

// The pages folder beside the program ("bench-pages\").
std::wstring PagePath(const std::wstring& name);

// Stores one automatic entry for the page at path (and removes what an
// earlier, interrupted run left for it); deletes it when it goes.
class StoredLogin {
public:
    StoredLogin(CExpData& store, const std::wstring& path);
    ~StoredLogin();
    StoredLogin(const StoredLogin&) = delete;
    StoredLogin& operator=(const StoredLogin&) = delete;
    bool Stored() const noexcept { return !m_page.m_strKey.empty(); }

private:
    CExpData& m_store;
    CDataWebForm m_page;
};

} // namespace bench

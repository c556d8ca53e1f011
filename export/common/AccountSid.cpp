#include "AccountSid.h"

#include "Win32Handles.h"

#include <lm.h>
#include <sddl.h>

#include <cwchar>
#include <vector>

namespace {

struct NetBufferTraits {
    static void* Invalid() { return nullptr; }
    static bool IsValid(void* p) { return p != nullptr; }
    static void Close(void* p) { ::NetApiBufferFree(p); }
};
using UniqueNetBuffer = torva::UniqueResource<void*, NetBufferTraits>;

bool OpenUserToken(torva::UniqueHandle& token) {
    if (::OpenThreadToken(::GetCurrentThread(), TOKEN_QUERY, TRUE, token.put())) return true;
    if (::GetLastError() != ERROR_NO_TOKEN) return false;
    return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put()) != FALSE;
}

std::wstring SidToText(PSID sid) {
    LPWSTR text = nullptr;
    if (!::ConvertSidToStringSidW(sid, &text)) return {};
    torva::UniqueLocalMem owner(text);
    return std::wstring(text);
}

} // namespace

int GetCurrentUserSid(LPWSTR* sid) {
    if (!sid) return 0;
    *sid = nullptr;
    torva::UniqueHandle token;
    if (!OpenUserToken(token)) return 0;
    DWORD size = 0;
    if (::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size) ||
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) {
        return 0;
    }
    std::vector<BYTE> info(size);
    if (!::GetTokenInformation(token.get(), TokenUser, info.data(), size, &size)) return 0;
    const std::wstring text = SidToText(reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid);
    if (text.empty()) return 0;
    auto* copy = static_cast<LPWSTR>(::LocalAlloc(LPTR, (text.size() + 2) * sizeof(wchar_t)));
    if (!copy) return 0;
    wmemcpy(copy, text.c_str(), text.size());
    *sid = copy;
    return 1;
}

namespace account_sid {

BOOL QueryFirstLocalAccount(std::wstring* firstName) {
    return QueryFirstLocalAccountWith(&::NetUserEnum, firstName);
}

BOOL QueryFirstLocalAccountWith(UserEnumFunction enumerate, std::wstring* firstName) {
    LPBYTE buffer = nullptr;
    DWORD read = 0;
    DWORD total = 0;
    const NET_API_STATUS status =
        enumerate(nullptr, 0, 0, &buffer, MAX_PREFERRED_LENGTH, &read, &total, nullptr);
    // The buffer is the system's whatever the status: free it on every path.
    UniqueNetBuffer owner(buffer);
    if (status != NERR_Success || !buffer || read == 0) return FALSE;
    const auto* first = reinterpret_cast<const USER_INFO_0*>(buffer);
    if (!first->usri0_name) return FALSE;
    *firstName = first->usri0_name;
    return TRUE;
}

std::wstring CurrentUserSidText() {
    LPWSTR sid = nullptr;
    if (!GetCurrentUserSid(&sid)) return {};
    torva::UniqueLocalMem owner(sid);
    return std::wstring(sid);
}

std::wstring AccountSidText(const std::wstring& accountName) {
    DWORD sidSize = 0;
    DWORD domainLength = 0;
    SID_NAME_USE use;
    ::LookupAccountNameW(nullptr, accountName.c_str(), nullptr, &sidSize, nullptr, &domainLength,
                         &use);
    if (sidSize == 0) return {};
    std::vector<BYTE> sid(sidSize + 1);
    std::vector<wchar_t> domain(domainLength + 1);
    DWORD domainCapacity = domainLength + 1;
    if (!::LookupAccountNameW(nullptr, accountName.c_str(), sid.data(), &sidSize, domain.data(),
                              &domainCapacity, &use)) {
        return {};
    }
    return SidToText(sid.data());
}

std::wstring FirstLocalAccountSid(FirstAccountQuery query) {
    std::wstring name;
    if (!query || !query(&name)) return {};
    return AccountSidText(name);
}

std::wstring DomainPart(const std::wstring& sidText) {
    const size_t dash = sidText.rfind(L'-');
    if (dash == std::wstring::npos) return {};
    return sidText.substr(0, dash);
}

} // namespace account_sid

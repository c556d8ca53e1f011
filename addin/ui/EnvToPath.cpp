#include "EnvToPath.h"

#include <cwchar>
#include <vector>

namespace {

// A chain of variables naming each other resolves well within this.
constexpr int kMaxRounds = 32;

bool ProcessEnvironment(const std::wstring& name, std::wstring& value, void*) {
    if (name.empty()) return false;
    std::vector<wchar_t> buffer(256);
    for (;;) {
        ::SetLastError(ERROR_SUCCESS);
        const DWORD length = ::GetEnvironmentVariableW(name.c_str(), buffer.data(),
                                                       static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            if (::GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
            value.clear();
            return true;
        }
        if (length < buffer.size()) {
            value.assign(buffer.data(), length);
            return true;
        }
        if (length > 32767) return false;
        buffer.resize(length);
    }
}

void ReplaceAll(std::wstring& text, const std::wstring& from, const std::wstring& to) {
    std::size_t at = 0;
    while ((at = text.find(from, at)) != std::wstring::npos) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

} // namespace

bool ExpandEnvReferences(const std::wstring& text, std::size_t maxChars, EnvLookupFn lookup,
                         void* context, std::wstring& out) {
    std::wstring result = text;
    for (int round = 0;; ++round) {
        const std::size_t open = result.find(L'%');
        const std::size_t close =
            open == std::wstring::npos ? std::wstring::npos : result.find(L'%', open + 1);
        if (close == std::wstring::npos) break;
        if (round == kMaxRounds) return false;
        const std::wstring name = result.substr(open + 1, close - open - 1);
        std::wstring value;
        if (!lookup || !lookup(name, value, context)) value.clear();
        ReplaceAll(result, L"%" + name + L"%", value);
        if (result.size() > maxChars) return false;
    }
    if (result.size() > maxChars) return false;
    out = result;
    return true;
}

bool EnvToPath(wchar_t* path, std::size_t capacity) {
    if (!path || capacity == 0) return false;
    const std::size_t length = ::wcsnlen(path, capacity);
    if (length == capacity) return false; // no terminator: not a string
    std::wstring expanded;
    if (!ExpandEnvReferences(std::wstring(path, length), capacity - 1, &ProcessEnvironment, nullptr,
                             expanded))
        return false;
    std::wmemcpy(path, expanded.c_str(), expanded.size() + 1);
    return true;
}

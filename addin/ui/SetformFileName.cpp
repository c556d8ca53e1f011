#include "SetformFileName.h"

#include <cstdint>

namespace {

const wchar_t kPrefix[] = L"setform";
const wchar_t kSuffix[] = L".html";

} // namespace

std::wstring SetformFileName(HWND window) {
    // Window handles carry 32 significant bits and are sign-extended: the
    // low 32 bits as a signed number are the handle.
    const auto number =
        static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(window)));
    return kPrefix + std::to_wstring(number) + kSuffix;
}

HWND WindowOfSetformName(const std::wstring& name) {
    const std::wstring prefix = kPrefix;
    const std::wstring suffix = kSuffix;
    if (name.size() <= prefix.size() + suffix.size()) return nullptr;
    if (name.compare(0, prefix.size(), prefix) != 0) return nullptr;
    if (name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return nullptr;
    std::wstring digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    const bool negative = !digits.empty() && digits[0] == L'-';
    if (negative) digits.erase(0, 1);
    if (digits.empty() || digits.size() > 10) return nullptr;
    int64_t value = 0;
    for (const wchar_t c : digits) {
        if (c < L'0' || c > L'9') return nullptr;
        value = value * 10 + (c - L'0');
    }
    if (negative) value = -value;
    // Only what the writer can write: a signed 32-bit number.
    if (value < INT32_MIN || value > INT32_MAX) return nullptr;
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<int32_t>(value)));
}

#include "ResourceModule.h"

namespace peltrix {

HMODULE ResourceModule() {
    // The address of this function lies in whichever module the code was
    // linked into; the reference count is left alone because the module is
    // alive for as long as this code runs.
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCWSTR>(&ResourceModule), &module)) {
        return nullptr;
    }
    return module;
}

std::wstring LoadResourceString(UINT id) {
    // With a zero length LoadString gives a read-only pointer into the
    // resource itself, which is not null-terminated.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(ResourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) return {};
    return std::wstring(text, static_cast<std::size_t>(length));
}

} // namespace peltrix

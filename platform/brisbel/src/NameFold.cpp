#include "NameFold.h"

#include <windows.h>

namespace brisbel {

std::wstring NameFold::Fold(std::wstring_view name) {
    std::wstring folded(name);
    bool ascii = true;
    for (wchar_t& c : folded) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - (L'a' - L'A'));
        else if (c >= 0x80)
            ascii = false;
    }
    if (ascii || folded.empty()) return folded;

    // The invariant locale keeps the order of names the same whatever the
    // user's locale, so a database written under one reads the same under another.
    const int length = static_cast<int>(folded.size());
    if (::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, name.data(), length, folded.data(),
                        length, nullptr, nullptr, 0) != length) {
        ::CharUpperBuffW(folded.data(), static_cast<DWORD>(length));
    }
    return folded;
}

} // namespace brisbel

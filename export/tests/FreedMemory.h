// Test helper: whether a text lies anywhere in the process's writable
// private memory, live or freed (heap blocks, stacks). The text is held
// masked, so that looking for it never puts it in memory itself.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string_view>
#include <vector>

class MaskedText {
public:
    // The UTF-16 bytes of the pieces, joined.
    explicit MaskedText(std::initializer_list<std::wstring_view> pieces);
    bool FoundInMemory() const;

private:
    static constexpr BYTE kMask = 0x5A;
    std::vector<BYTE> m_masked;
};

// Owns one BSTR: an out-parameter of a COM call, or a string handed in.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

class ScopedBstr {
public:
    ScopedBstr() noexcept = default;
    // A copy of text; null when it could not be allocated.
    explicit ScopedBstr(const std::wstring& text) noexcept
        : m_bstr(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ~ScopedBstr() { ::SysFreeString(m_bstr); }

    // For an out-parameter: frees what is held first.
    BSTR* Out() noexcept {
        ::SysFreeString(std::exchange(m_bstr, nullptr));
        return &m_bstr;
    }
    BSTR Get() const noexcept { return m_bstr; }
    // The text, embedded NULs included; empty for a null BSTR.
    std::wstring Text() const {
        return m_bstr ? std::wstring(m_bstr, ::SysStringLen(m_bstr)) : std::wstring();
    }

private:
    BSTR m_bstr = nullptr;
};

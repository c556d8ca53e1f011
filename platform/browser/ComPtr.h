// Owners for the COM references and BSTRs the browser layer holds. Every
// AddRef the layer takes is undone by one of these; nothing calls Release or
// SysFreeString by hand.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace torva::browser {

template <typename T> class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference on p.
    explicit ComPtr(T* p) noexcept : m_p(p) {
        if (m_p) m_p->AddRef();
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.m_p) {}
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(const ComPtr& other) noexcept {
        ComPtr(other).swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).swap(*this);
        return *this;
    }
    ~ComPtr() { reset(); }

    // Adopts a reference the caller already owns (a creating call's result).
    static ComPtr Adopt(T* p) noexcept {
        ComPtr r;
        r.m_p = p;
        return r;
    }

    T* get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }
    void reset() noexcept {
        if (T* p = std::exchange(m_p, nullptr)) p->Release();
    }
    void swap(ComPtr& other) noexcept { std::swap(m_p, other.m_p); }
    // For out-parameters; releases what was held first.
    T** put() noexcept {
        reset();
        return &m_p;
    }
    // Hands the reference to an out-parameter of a COM method.
    T* detach() noexcept { return std::exchange(m_p, nullptr); }

    template <typename U> [[nodiscard]] ComPtr<U> As(REFIID iid) const noexcept {
        ComPtr<U> r;
        if (m_p) m_p->QueryInterface(iid, reinterpret_cast<void**>(r.put()));
        return r;
    }

private:
    T* m_p = nullptr;
};

template <typename T> bool operator==(const ComPtr<T>& a, const ComPtr<T>& b) noexcept {
    return a.get() == b.get();
}
template <typename T> bool operator!=(const ComPtr<T>& a, const ComPtr<T>& b) noexcept {
    return a.get() != b.get();
}

// A BSTR owned by one holder.
class UniqueBstr {
public:
    UniqueBstr() noexcept = default;
    explicit UniqueBstr(const std::wstring& s)
        : m_s(SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    UniqueBstr(UniqueBstr&& o) noexcept : m_s(std::exchange(o.m_s, nullptr)) {}
    UniqueBstr& operator=(UniqueBstr&& o) noexcept {
        if (this != &o) {
            SysFreeString(m_s);
            m_s = std::exchange(o.m_s, nullptr);
        }
        return *this;
    }
    ~UniqueBstr() { SysFreeString(m_s); }

    BSTR get() const noexcept { return m_s; }
    BSTR* put() noexcept {
        SysFreeString(m_s);
        m_s = nullptr;
        return &m_s;
    }
    BSTR detach() noexcept { return std::exchange(m_s, nullptr); }
    std::wstring str() const { return m_s ? std::wstring(m_s, SysStringLen(m_s)) : std::wstring(); }

private:
    BSTR m_s = nullptr;
};

// Fills a BSTR out-parameter; E_POINTER for a null one, E_OUTOFMEMORY when
// the string cannot be had.
[[nodiscard]] inline HRESULT ReturnBstr(const std::wstring& s, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

inline std::wstring FromBstr(BSTR s) {
    return s ? std::wstring(s, SysStringLen(s)) : std::wstring();
}

} // namespace torva::browser

#pragma once
#include <objbase.h>
#include <utility>

// Owns one reference to a COM interface.
template <class T> class CComPtr {
public:
    CComPtr() = default;
    CComPtr(T* p) noexcept : p(p) { // takes a new reference
        if (p) p->AddRef();
    }
    CComPtr(const CComPtr& other) noexcept : CComPtr(other.p) {}
    CComPtr(CComPtr&& other) noexcept : p(std::exchange(other.p, nullptr)) {}
    CComPtr& operator=(CComPtr other) noexcept {
        std::swap(p, other.p);
        return *this;
    }
    ~CComPtr() { Release(); }

    T* operator->() const noexcept { return p; }
    operator T*() const noexcept { return p; }
    // For out-parameters: releases what is held first.
    T** operator&() noexcept {
        Release();
        return &p;
    }
    void Release() noexcept {
        if (T* old = std::exchange(p, nullptr)) old->Release();
    }
    // Hands the reference over to the caller.
    [[nodiscard]] T* Detach() noexcept { return std::exchange(p, nullptr); }

    T* p = nullptr;
};

// Sets a store's crypt-usable flag for a scope and puts the old value back,
// so that a load with or without decryption leaves the owner's setting as it
// found it.
#pragma once

#include "CExpData.h"

#include <cstdint>

class CryptFlagScope {
public:
    CryptFlagScope(CExpData& store, std::int32_t value) noexcept
        : m_store(store), m_saved(store.m_nCryptUsable) {
        store.m_nCryptUsable = value;
    }
    ~CryptFlagScope() { m_store.m_nCryptUsable = m_saved; }
    CryptFlagScope(const CryptFlagScope&) = delete;
    CryptFlagScope& operator=(const CryptFlagScope&) = delete;

private:
    CExpData& m_store;
    std::int32_t m_saved;
};

#include "PinHasher.h"

#include "BCryptHandles.h"
#include "Peltrix.h"

#include <vector>

namespace peltrix {
namespace {

// Wipes the PIN's bytes however the function is left.
class WipedBytes {
public:
    explicit WipedBytes(std::size_t size) : m_bytes(size) {}
    WipedBytes(const WipedBytes&) = delete;
    WipedBytes& operator=(const WipedBytes&) = delete;
    ~WipedBytes() {
        if (!m_bytes.empty()) SecureZeroMemory(m_bytes.data(), m_bytes.size());
    }
    std::vector<char>& bytes() { return m_bytes; }

private:
    std::vector<char> m_bytes;
};

} // namespace

DWORD PinHasher::MakeSalt(std::uint8_t (&salt)[kSaltBytes]) {
    const NTSTATUS status =
        ::BCryptGenRandom(nullptr, salt, kSaltBytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    return BCRYPT_SUCCESS(status) ? TVRAUTH_OK : TVRAUTH_E_INTERNAL;
}

DWORD PinHasher::Derive(const std::wstring& pin, const std::uint8_t (&salt)[kSaltBytes],
                        std::uint32_t iterations, std::uint8_t (&hash)[kHashBytes]) {
    // UTF-8 so that the hash does not depend on the ANSI code page.
    const int needed = ::WideCharToMultiByte(CP_UTF8, 0, pin.data(), static_cast<int>(pin.size()),
                                             nullptr, 0, nullptr, nullptr);
    if (needed < 0 || (needed == 0 && !pin.empty())) return TVRAUTH_E_INVALID_ARG;
    WipedBytes utf8(static_cast<std::size_t>(needed) + 1);
    if (needed > 0 &&
        ::WideCharToMultiByte(CP_UTF8, 0, pin.data(), static_cast<int>(pin.size()),
                              utf8.bytes().data(), needed, nullptr, nullptr) != needed) {
        return TVRAUTH_E_INVALID_ARG;
    }

    torva::UniqueBCryptAlg hmac;
    if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(hmac.put(), BCRYPT_SHA256_ALGORITHM, nullptr,
                                                      BCRYPT_ALG_HANDLE_HMAC_FLAG))) {
        return TVRAUTH_E_INTERNAL;
    }
    const NTSTATUS status = ::BCryptDeriveKeyPBKDF2(
        hmac.get(), reinterpret_cast<PUCHAR>(utf8.bytes().data()), static_cast<ULONG>(needed),
        const_cast<PUCHAR>(salt), kSaltBytes, iterations, hash, kHashBytes, 0);
    return BCRYPT_SUCCESS(status) ? TVRAUTH_OK : TVRAUTH_E_INTERNAL;
}

bool PinHasher::ConstantTimeEqual(const std::uint8_t* a, const std::uint8_t* b, std::size_t size) {
    volatile std::uint8_t difference = 0;
    for (std::size_t i = 0; i < size; ++i)
        difference = difference | (a[i] ^ b[i]);
    return difference == 0;
}

} // namespace peltrix

// Through the DLL's exports, with the calling user's real key file.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "Corvane.h"

namespace {

using Bytes = std::vector<BYTE>;

std::string Hex(const BYTE* bytes, DWORD size) {
    std::string text;
    char digit[3];
    for (DWORD i = 0; i < size; ++i) {
        std::snprintf(digit, sizeof(digit), "%02x", bytes[i]);
        text += digit;
    }
    return text;
}

std::string Sha256Hex(const std::string& text) {
    DWORD length = 0;
    EXPECT_EQ(TVRCT_OK, TvrCT_HashData(TVRCT_HASH_SHA256, nullptr, 0, nullptr, 0, &length));
    Bytes digest(length);
    EXPECT_EQ(TVRCT_OK,
              TvrCT_HashData(TVRCT_HASH_SHA256, reinterpret_cast<const BYTE*>(text.data()),
                             static_cast<DWORD>(text.size()), digest.data(),
                             static_cast<DWORD>(digest.size()), &length));
    return Hex(digest.data(), length);
}

TEST(HashData, NullOutputAnswersTheDigestLength) {
    DWORD length = 0;
    BYTE ignored = 0;
    EXPECT_EQ(TVRCT_OK, TvrCT_HashData(2, &ignored, 0, nullptr, 0, &length));
    EXPECT_EQ(32u, length);
}

TEST(HashData, Sha256KnownAnswers) {
    EXPECT_EQ("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855", Sha256Hex(""));
    EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", Sha256Hex("abc"));
    EXPECT_EQ("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1",
              Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"));
}

TEST(HashData, OtherAlgorithmsAndSmallBuffersAreRefused) {
    BYTE digest[32];
    DWORD length = 0;
    EXPECT_EQ(TVRCT_E_BAD_ALGORITHM, TvrCT_HashData(1, nullptr, 0, digest, 32, &length));
    EXPECT_EQ(TVRCT_E_MORE_DATA, TvrCT_HashData(2, nullptr, 0, digest, 31, &length));
    EXPECT_EQ(32u, length);
    EXPECT_EQ(TVRCT_E_INVALID_ARG, TvrCT_HashData(2, nullptr, 5, digest, 32, &length));
    EXPECT_EQ(TVRCT_E_INVALID_ARG, TvrCT_HashData(2, nullptr, 0, digest, 32, nullptr));
}

TEST(UserEncryption, RoundTripsWithTheCallersMargins) {
    const std::wstring password = L"\u30d1\u30b9\u30ef\u30fc\u30c9-42";
    const BYTE* plain = reinterpret_cast<const BYTE*>(password.c_str());
    const DWORD n = static_cast<DWORD>((password.size() + 1) * sizeof(wchar_t));
    // One caller offers only 2n + 64, and decrypts into as much as it got.
    Bytes sealed(2 * n + 64);
    DWORD sealedLength = 0;
    ASSERT_EQ(TVRCT_OK, TvrCT_Encrypt(plain, n, sealed.data(), static_cast<DWORD>(sealed.size()),
                                      &sealedLength));
    Bytes opened(sealedLength);
    DWORD openedLength = 0;
    ASSERT_EQ(TVRCT_OK, TvrCT_Decrypt(sealed.data(), sealedLength, opened.data(), sealedLength,
                                      &openedLength));
    ASSERT_EQ(n, openedLength);
    EXPECT_EQ(password, std::wstring(reinterpret_cast<const wchar_t*>(opened.data())));
}

TEST(UserEncryption, EmptyInputIsAccepted) {
    BYTE sealed[64];
    DWORD sealedLength = 0;
    ASSERT_EQ(TVRCT_OK, TvrCT_Encrypt(nullptr, 0, sealed, sizeof(sealed), &sealedLength));
    DWORD openedLength = 77;
    EXPECT_EQ(TVRCT_OK, TvrCT_Decrypt(sealed, sealedLength, nullptr, 0, &openedLength));
    EXPECT_EQ(0u, openedLength);
}

TEST(UserEncryption, BadArgumentsAreRefused) {
    BYTE buffer[64];
    DWORD length = 0;
    EXPECT_EQ(TVRCT_E_INVALID_ARG, TvrCT_Encrypt(nullptr, 3, buffer, sizeof(buffer), &length));
    EXPECT_EQ(TVRCT_E_INVALID_ARG, TvrCT_Encrypt(buffer, 3, nullptr, 10, &length));
    EXPECT_EQ(TVRCT_E_INVALID_ARG, TvrCT_Decrypt(buffer, 3, buffer, sizeof(buffer), nullptr));
}

TEST(PassEncryption, RoundTripsAtTheDefaultStrength) {
    const wchar_t passphrase[] = L"export-\u79d8\u5bc6";
    const DWORD chars = static_cast<DWORD>(wcslen(passphrase));
    const std::string body(1000, 'e');
    const DWORD n = static_cast<DWORD>(body.size());
    Bytes sealed(n + n / 2 + 512);
    DWORD sealedLength = 0;
    ASSERT_EQ(TVRCT_OK,
              TvrCT_PassEncrypt(passphrase, chars, reinterpret_cast<const BYTE*>(body.data()), n,
                                sealed.data(), static_cast<DWORD>(sealed.size()), &sealedLength));
    DWORD needed = 0;
    ASSERT_EQ(TVRCT_OK, TvrCT_PassDecrypt(passphrase, chars, sealed.data(), sealedLength, nullptr,
                                          0, &needed));
    EXPECT_EQ(n, needed);
    Bytes opened(needed);
    DWORD openedLength = 0;
    ASSERT_EQ(TVRCT_OK, TvrCT_PassDecrypt(passphrase, chars, sealed.data(), sealedLength,
                                          opened.data(), needed, &openedLength));
    EXPECT_EQ(body, std::string(opened.begin(), opened.begin() + openedLength));

    EXPECT_EQ(TVRCT_E_AUTH_FAILED,
              TvrCT_PassDecrypt(passphrase, chars - 1, sealed.data(), sealedLength, opened.data(),
                                needed, &openedLength));
}

TEST(PassEncryption, ShortInputAnswersAnErrorToALengthQuery) {
    BYTE tiny[10] = {};
    DWORD needed = 0;
    EXPECT_EQ(TVRCT_E_AUTH_FAILED,
              TvrCT_PassDecrypt(L"x", 1, tiny, sizeof(tiny), nullptr, 0, &needed));
    EXPECT_EQ(TVRCT_E_INVALID_ARG, TvrCT_PassEncrypt(nullptr, 4, tiny, 1, tiny, 10, &needed));
}

} // namespace

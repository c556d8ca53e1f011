#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "CipherCalls.h"
#include "CipherFormat.h"
#include "PassphraseCipher.h"

using corvane::OutputSlot;
using corvane::PassphraseCipher;
namespace format = corvane::format;

namespace {

// Few rounds keep the tests fast; the format is the same at any count.
constexpr DWORD kTestIterations = 1000;

PassphraseCipher CipherFor(const std::wstring& passphrase) {
    return PassphraseCipher(passphrase.c_str(), static_cast<DWORD>(passphrase.size()),
                            kTestIterations);
}

Bytes Seal(const std::wstring& passphrase, const Bytes& plain) {
    PassphraseCipher cipher = CipherFor(passphrase);
    Bytes sealed;
    EXPECT_EQ(
        TVRCT_OK,
        QueryThenCall([&](OutputSlot& slot) { return cipher.Encrypt(View(plain), slot); }, sealed));
    return sealed;
}

GuardedCall Open(const std::wstring& passphrase, const Bytes& sealed) {
    PassphraseCipher cipher = CipherFor(passphrase);
    return CallWithGuard([&](OutputSlot& slot) { return cipher.Decrypt(View(sealed), slot); },
                         static_cast<DWORD>(sealed.size()));
}

const std::wstring kPassphrase = L"\u5bc6\u8a9e correct horse";

TEST(PassphraseCipher, RoundTripsEmptyShortAndLongData) {
    for (size_t size : {0u, 1u, 4096u, 70001u}) {
        Bytes plain(size);
        for (size_t i = 0; i < size; ++i)
            plain[i] = static_cast<BYTE>(i ^ (i >> 8));
        Bytes sealed = Seal(kPassphrase, plain);
        EXPECT_EQ(size + format::kPassOverhead, sealed.size());
        GuardedCall opened = Open(kPassphrase, sealed);
        ASSERT_EQ(TVRCT_OK, opened.result) << size;
        EXPECT_EQ(plain, opened.output) << size;
    }
}

TEST(PassphraseCipher, RecordsItsIterationCountAndAFreshSalt) {
    Bytes plain = BytesOf("export file body");
    Bytes first = Seal(kPassphrase, plain);
    Bytes second = Seal(kPassphrase, plain);
    format::PassHeader a, b;
    std::memcpy(&a, first.data(), sizeof(a));
    std::memcpy(&b, second.data(), sizeof(b));
    EXPECT_EQ(format::kPassVersion, a.version);
    EXPECT_EQ(kTestIterations, a.iterations);
    EXPECT_NE(0, std::memcmp(a.salt, b.salt, format::kSaltSize));
    EXPECT_NE(0, std::memcmp(a.nonce, b.nonce, format::kNonceSize));
}

TEST(PassphraseCipher, DecryptUsesTheRecordedIterationCount) {
    Bytes plain = BytesOf("sealed with a different count");
    PassphraseCipher writer(kPassphrase.c_str(), static_cast<DWORD>(kPassphrase.size()), 1234);
    Bytes sealed;
    ASSERT_EQ(
        TVRCT_OK,
        QueryThenCall([&](OutputSlot& slot) { return writer.Encrypt(View(plain), slot); }, sealed));
    GuardedCall opened = Open(kPassphrase, sealed);
    ASSERT_EQ(TVRCT_OK, opened.result);
    EXPECT_EQ(plain, opened.output);
}

TEST(PassphraseCipher, WrongPassphraseFailsAndWritesNothing) {
    Bytes sealed = Seal(kPassphrase, BytesOf("secret"));
    for (const std::wstring& wrong :
         {std::wstring(L"\u5bc6\u8a9e correct hors"), std::wstring(L"\u5bc6\u8a9e Correct horse"),
          std::wstring()}) {
        GuardedCall opened = Open(wrong, sealed);
        EXPECT_EQ(TVRCT_E_AUTH_FAILED, opened.result);
        EXPECT_TRUE(opened.untouched);
    }
}

TEST(PassphraseCipher, EmptyPassphraseStillRoundTrips) {
    Bytes plain = BytesOf("no passphrase");
    GuardedCall opened = Open(std::wstring(), Seal(std::wstring(), plain));
    ASSERT_EQ(TVRCT_OK, opened.result);
    EXPECT_EQ(plain, opened.output);
}

// Version, iteration count, salt, nonce, body and tag.
TEST(PassphraseCipher, AnyChangedRegionFails) {
    Bytes sealed = Seal(kPassphrase, BytesOf("tamper with me"));
    const size_t regions[] = {0,
                              offsetof(format::PassHeader, iterations),
                              offsetof(format::PassHeader, salt),
                              offsetof(format::PassHeader, salt) + format::kSaltSize - 1,
                              offsetof(format::PassHeader, nonce),
                              sizeof(format::PassHeader),
                              sealed.size() - format::kTagSize,
                              sealed.size() - 1};
    for (size_t at : regions) {
        Bytes tampered = sealed;
        tampered[at] ^= 0x01;
        GuardedCall opened = Open(kPassphrase, tampered);
        EXPECT_EQ(TVRCT_E_AUTH_FAILED, opened.result) << at;
        EXPECT_TRUE(opened.untouched) << at;
    }
}

TEST(PassphraseCipher, ForgedHugeIterationCountIsRefusedAtOnce) {
    Bytes sealed = Seal(kPassphrase, BytesOf("x"));
    DWORD huge = 0xFFFFFFFF;
    std::memcpy(sealed.data() + offsetof(format::PassHeader, iterations), &huge, sizeof(huge));
    DWORD started = GetTickCount();
    GuardedCall opened = Open(kPassphrase, sealed);
    EXPECT_EQ(TVRCT_E_AUTH_FAILED, opened.result);
    EXPECT_LT(GetTickCount() - started, 5000u);
}

TEST(PassphraseCipher, TruncatedDataFails) {
    Bytes sealed = Seal(kPassphrase, BytesOf("truncate"));
    for (size_t keep :
         {size_t(0), size_t(10), size_t(format::kPassOverhead - 1), sealed.size() - 1}) {
        Bytes truncated(sealed.begin(), sealed.begin() + keep);
        EXPECT_EQ(TVRCT_E_AUTH_FAILED, Open(kPassphrase, truncated).result) << keep;
    }
}

TEST(PassphraseCipher, LengthQueryAnswersThePlainLength) {
    Bytes sealed = Seal(kPassphrase, Bytes(300, 0x42));
    PassphraseCipher cipher = CipherFor(L"not even the right one");
    DWORD length = 0;
    OutputSlot query(nullptr, 0, &length);
    EXPECT_EQ(TVRCT_OK, cipher.Decrypt(View(sealed), query));
    EXPECT_EQ(300u, length);
}

} // namespace

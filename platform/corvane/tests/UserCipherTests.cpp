#include <gtest/gtest.h>

#include <cstring>

#include "AesGcm.h"
#include "CipherCalls.h"
#include "CipherFormat.h"
#include "SealedMessage.h"
#include "SecureBuffer.h"
#include "TempFolder.h"
#include "UserCipher.h"

using corvane::AesGcm;
using corvane::OutputSlot;
using corvane::UserCipher;
using corvane::UserKeyFile;
namespace format = corvane::format;

namespace {

class UserCipherTest : public ::testing::Test {
protected:
    UserCipher Cipher() const { return UserCipher(UserKeyFile(m_folder.File(L"UserKey.bin"))); }

    Bytes Seal(const Bytes& plain) const {
        Bytes sealed;
        UserCipher cipher = Cipher();
        EXPECT_EQ(TVRCT_OK,
                  QueryThenCall([&](OutputSlot& slot) { return cipher.Encrypt(View(plain), slot); },
                                sealed));
        return sealed;
    }
    // Decrypts into a guarded buffer as large as the sealed data.
    GuardedCall Open(const Bytes& sealed) const {
        UserCipher cipher = Cipher();
        return CallWithGuard([&](OutputSlot& slot) { return cipher.Decrypt(View(sealed), slot); },
                             static_cast<DWORD>(sealed.size()));
    }

    // The first layout, as earlier versions wrote it under the same key file:
    // version 1, nonce, ciphertext, tag; the version byte as associated data.
    Bytes SealFirstLayout(const Bytes& plain) const {
        corvane::SecureBuffer key;
        EXPECT_EQ(TVRCT_OK, UserKeyFile(m_folder.File(L"UserKey.bin")).Load(key));
        AesGcm aes;
        EXPECT_EQ(TVRCT_OK, AesGcm::Create(key.data(), aes));
        format::UserHeaderV1 header{};
        header.version = 1;
        for (DWORD i = 0; i < format::kNonceSize; ++i)
            header.nonce[i] = static_cast<BYTE>(0x40 + i);
        const DWORD size = static_cast<DWORD>(sizeof(header) + plain.size() + format::kTagSize);
        Bytes sealed(size);
        DWORD length = 0;
        OutputSlot slot(sealed.data(), size, &length);
        EXPECT_FALSE(slot.Reserve(size).has_value());
        corvane::ByteView headerBytes{reinterpret_cast<const BYTE*>(&header), sizeof(header)};
        EXPECT_EQ(TVRCT_OK,
                  corvane::SealMessage(aes, headerBytes, header.nonce,
                                       corvane::ByteView{&header.version, 1}, View(plain), slot));
        EXPECT_EQ(size, length);
        return sealed;
    }

    TempFolder m_folder;
};

Bytes Pattern(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<BYTE>(i * 7 + 3);
    return bytes;
}

TEST_F(UserCipherTest, RoundTripsMessagesOfEverySize) {
    for (size_t size : {0u, 1u, 15u, 16u, 17u, 1000u, 100000u}) {
        Bytes plain = Pattern(size);
        Bytes sealed = Seal(plain);
        EXPECT_EQ(size + format::kUserOverhead, sealed.size());
        GuardedCall opened = Open(sealed);
        ASSERT_EQ(TVRCT_OK, opened.result) << size;
        EXPECT_EQ(plain, opened.output) << size;
    }
}

TEST_F(UserCipherTest, RoundTripsUtf16TextReadUpToItsNul) {
    const wchar_t password[] = L"p\u00e4ss\u30ef\u30fc\u30c9";
    Bytes plain(reinterpret_cast<const BYTE*>(password),
                reinterpret_cast<const BYTE*>(password) + sizeof(password));
    GuardedCall opened = Open(Seal(plain));
    ASSERT_EQ(TVRCT_OK, opened.result);
    EXPECT_STREQ(password, reinterpret_cast<const wchar_t*>(opened.output.data()));
}

TEST_F(UserCipherTest, SameTextSealsDifferentlyEachTime) {
    Bytes plain = BytesOf("the same secret");
    Bytes first = Seal(plain);
    Bytes second = Seal(plain);
    EXPECT_NE(first, second);
    EXPECT_NE(0, std::memcmp(first.data() + 1, second.data() + 1, format::kNonceSize));
}

TEST_F(UserCipherTest, TwiceTheInputPlus64IsAlwaysEnough) {
    UserCipher cipher = Cipher();
    for (DWORD size : {0u, 1u, 2u, 30u, 64u, 500u}) {
        Bytes plain = Pattern(size);
        GuardedCall sealed = CallWithGuard(
            [&](OutputSlot& slot) { return cipher.Encrypt(View(plain), slot); }, 2 * size + 64);
        EXPECT_EQ(TVRCT_OK, sealed.result) << size;
        EXPECT_TRUE(sealed.untouched) << size;
    }
}

TEST_F(UserCipherTest, OneByteShortAnswersMoreDataAndWritesNothing) {
    Bytes plain = Pattern(40);
    UserCipher cipher = Cipher();
    const DWORD needed = 40 + format::kUserOverhead;
    GuardedCall sealed = CallWithGuard(
        [&](OutputSlot& slot) { return cipher.Encrypt(View(plain), slot); }, needed - 1);
    EXPECT_EQ(TVRCT_E_MORE_DATA, sealed.result);
    EXPECT_EQ(needed, sealed.length);
    EXPECT_TRUE(sealed.untouched);

    Bytes whole = Seal(plain);
    GuardedCall opened =
        CallWithGuard([&](OutputSlot& slot) { return cipher.Decrypt(View(whole), slot); }, 39);
    EXPECT_EQ(TVRCT_E_MORE_DATA, opened.result);
    EXPECT_EQ(40u, opened.length);
    EXPECT_TRUE(opened.untouched);
}

TEST_F(UserCipherTest, LengthQueryNeedsNoKeyFile) {
    UserCipher cipher = Cipher();
    Bytes plain = Pattern(10);
    DWORD length = 0;
    OutputSlot query(nullptr, 0, &length);
    EXPECT_EQ(TVRCT_OK, cipher.Encrypt(View(plain), query));
    EXPECT_EQ(10 + format::kUserOverhead, length);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(m_folder.File(L"UserKey.bin").c_str()));
}

// Each region of the sealed data: the version byte, the nonce, the body, the tag.
TEST_F(UserCipherTest, AnyFlippedByteFailsAndWritesNothing) {
    Bytes sealed = Seal(Pattern(20));
    const size_t regions[] = {0,
                              1,
                              format::kNonceSize,
                              sizeof(format::UserHeader),
                              sizeof(format::UserHeader) + 19,
                              sealed.size() - format::kTagSize,
                              sealed.size() - 1};
    for (size_t at : regions) {
        Bytes tampered = sealed;
        tampered[at] ^= 0x01;
        GuardedCall opened = Open(tampered);
        EXPECT_EQ(TVRCT_E_AUTH_FAILED, opened.result) << at;
        EXPECT_EQ(0u, opened.length) << at;
        EXPECT_TRUE(opened.untouched) << at;
    }
}

TEST_F(UserCipherTest, EvenInputSealsToAnEvenLength) {
    for (size_t size : {0u, 2u, 14u, 64u, 1000u}) {
        EXPECT_EQ(0u, Seal(Pattern(size)).size() % 2) << size;
    }
}

TEST_F(UserCipherTest, DataOfTheFirstLayoutStillOpens) {
    for (size_t size : {0u, 1u, 16u, 100u}) {
        const Bytes plain = Pattern(size);
        const Bytes sealed = SealFirstLayout(plain);
        ASSERT_EQ(size + format::kUserOverheadV1, sealed.size());
        UserCipher cipher = Cipher();
        DWORD needed = 0;
        OutputSlot query(nullptr, 0, &needed);
        EXPECT_EQ(TVRCT_OK, cipher.Decrypt(View(sealed), query)) << size;
        EXPECT_EQ(size, needed);
        GuardedCall opened = Open(sealed);
        ASSERT_EQ(TVRCT_OK, opened.result) << size;
        EXPECT_EQ(plain, opened.output) << size;

        // Still authenticated: a changed byte anywhere, or the data relabelled
        // as the current layout, fails.
        for (size_t at : {size_t(0), size_t(1), sealed.size() - 1}) {
            Bytes tampered = sealed;
            tampered[at] ^= at == 0 ? 0x03 : 0x01; // version 1 becomes 2
            GuardedCall refused = Open(tampered);
            EXPECT_EQ(TVRCT_E_AUTH_FAILED, refused.result) << size << " at " << at;
            EXPECT_TRUE(refused.untouched);
        }
    }
}

TEST_F(UserCipherTest, TruncatedDataFails) {
    Bytes sealed = Seal(Pattern(20));
    for (size_t cut : {size_t(1), size_t(format::kTagSize), sealed.size() - 1, sealed.size()}) {
        Bytes truncated(sealed.begin(), sealed.end() - cut);
        GuardedCall opened = Open(truncated);
        EXPECT_EQ(TVRCT_E_AUTH_FAILED, opened.result) << cut;
        EXPECT_TRUE(opened.untouched) << cut;
    }
}

TEST_F(UserCipherTest, EmptyMessageIsCheckedEvenByALengthQuery) {
    Bytes sealed = Seal(Bytes());
    UserCipher cipher = Cipher();
    DWORD length = 99;
    OutputSlot query(nullptr, 0, &length);
    EXPECT_EQ(TVRCT_OK, cipher.Decrypt(View(sealed), query));
    EXPECT_EQ(0u, length);

    sealed.back() ^= 0x80;
    OutputSlot again(nullptr, 0, &length);
    EXPECT_EQ(TVRCT_E_AUTH_FAILED, cipher.Decrypt(View(sealed), again));
}

TEST_F(UserCipherTest, DataOfAnotherKeyFails) {
    Bytes sealed = Seal(Pattern(20));
    TempFolder other;
    UserCipher foreign{UserKeyFile(other.File(L"UserKey.bin"))};
    GuardedCall opened =
        CallWithGuard([&](OutputSlot& slot) { return foreign.Decrypt(View(sealed), slot); }, 100);
    EXPECT_EQ(TVRCT_E_AUTH_FAILED, opened.result);
    EXPECT_TRUE(opened.untouched);
}

TEST_F(UserCipherTest, KeyFileSurvivesToALaterCipher) {
    Bytes plain = BytesOf("kept across objects");
    Bytes sealed = Seal(plain);
    UserCipher later{UserKeyFile(m_folder.File(L"UserKey.bin"))};
    Bytes opened;
    ASSERT_EQ(
        TVRCT_OK,
        QueryThenCall([&](OutputSlot& slot) { return later.Decrypt(View(sealed), slot); }, opened));
    EXPECT_EQ(plain, opened);
}

} // namespace

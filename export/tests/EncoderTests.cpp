#include "Passphrases.h"
#include "SecretFieldEncoder.h"
#include "TextEscape.h"

#include "FreedMemory.h"
#include "TestBase64.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const SecretText kNoPassphrase;
const std::wstring kPassphrase = L"エクスポート鍵 2026";

std::string Plain(const void* data, DWORD length, int kind) {
    std::string out;
    EXPECT_EQ(EncodeSecretFieldTo(static_cast<const BYTE*>(data), length, kind, kNoPassphrase, out),
              EncodeStatus::Ok);
    return out;
}

std::string Sealed(const void* data, DWORD length, int kind) {
    std::string out;
    EXPECT_EQ(EncodeSecretFieldTo(static_cast<const BYTE*>(data), length, kind,
                                  SecretText(kPassphrase), out),
              EncodeStatus::Ok);
    return out;
}

DWORD TVRCT_CALL RefusingPassEncrypt(LPCWSTR, DWORD, const BYTE*, DWORD, BYTE*, DWORD, DWORD*) {
    return TVRCT_E_PROVIDER;
}

CryptApi RefusingCrypt() {
    CryptApi api = LibraryCryptApi();
    api.PassEncrypt = &RefusingPassEncrypt;
    return api;
}

} // namespace

TEST(Base64, EncodesTheStandardVectors) {
    EXPECT_EQ(Base64String(reinterpret_cast<const BYTE*>("abc"), 3), "YWJj");
    EXPECT_EQ(Base64String(reinterpret_cast<const BYTE*>("ab"), 2), "YWI=");
    EXPECT_EQ(Base64String(reinterpret_cast<const BYTE*>("a"), 1), "YQ==");
    EXPECT_EQ(Base64String(reinterpret_cast<const BYTE*>("foobar"), 6), "Zm9vYmFy");
    EXPECT_EQ(Base64String(nullptr, 0), "");
    const BYTE high[] = {0xFF, 0xFE, 0xFD};
    EXPECT_EQ(Base64String(high, 3), "//79");
}

TEST(FieldChecksum, FoldsTheWordSumToANegativeByteComplement) {
    EXPECT_EQ(FieldChecksum("YWJj", 4), -164);
    EXPECT_EQ(FieldChecksum("", 0), -1);
    for (const char* text : {"Zm9vYmFy", "////////", "AAAA", "YQ=="}) {
        const int32_t sum = FieldChecksum(text, static_cast<DWORD>(std::strlen(text)));
        EXPECT_LE(sum, -1);
        EXPECT_GE(sum, -256);
    }
}

TEST(EncodeSecretField, PlainFormsByKind) {
    const BYTE bytes[] = {0x01, 0xAB};
    EXPECT_EQ(Plain(bytes, 2, kFieldHex), "01ab");
    EXPECT_EQ(Plain(bytes, 2, kFieldBase64), "Aas=");
    EXPECT_EQ(Plain(bytes, 2, 9), "Aas="); // unknown kinds: base64
    EXPECT_EQ(Plain("5\0", 2, kFieldRaw), "5");
    const int32_t number = -42;
    EXPECT_EQ(Plain(&number, 4, kFieldNumber), "-42");
    const std::wstring text = L"日本語";
    EXPECT_EQ(Plain(text.c_str(), static_cast<DWORD>(text.size() * 2), kFieldText),
              "\x93\xfa\x96\x7b\x8c\xea");
    EXPECT_EQ(Plain(text.c_str(), static_cast<DWORD>(text.size() * 2), kFieldAnsiText),
              "\x93\xfa\x96\x7b\x8c\xea");
    // Unsealed, a text is escaped as every text field of the file; sealed,
    // it is kept as given.
    const std::wstring awkward = L"a\"b\r\nc,d\re";
    const DWORD awkwardLength = static_cast<DWORD>(awkward.size() * 2);
    EXPECT_EQ(Plain(awkward.c_str(), awkwardLength, kFieldText), "a\\\"b\\\\nc,de");
    EXPECT_EQ(Plain(awkward.c_str(), awkwardLength, kFieldAnsiText), "a\\\"b\\\\nc,de");
    const OpenedField sealed =
        OpenSealedField(Sealed(awkward.c_str(), awkwardLength, kFieldAnsiText), kPassphrase);
    ASSERT_TRUE(sealed.ok);
    std::vector<BYTE> expected(awkwardLength, 0);
    std::memcpy(expected.data(), "a\"b\r\nc,d\re", awkward.size());
    EXPECT_EQ(sealed.clear, expected);
}

TEST(EncodeSecretField, TextKindsReadNoFurtherThanTheLength) {
    const wchar_t text[] = L"abcdef";
    EXPECT_EQ(Plain(text, 4, kFieldText), "ab");
    EXPECT_EQ(Plain(text, 6, kFieldAnsiText), "abc");
    EXPECT_EQ(Plain(text, 0, kFieldText), "");
    const wchar_t early[] = L"ab\0cd";
    EXPECT_EQ(Plain(early, 10, kFieldText), "ab");
}

TEST(EncodeSecretField, ACharacterOutsideTheCodePageFails) {
    const std::wstring text = L"a\U0001F600";
    std::string out = "kept";
    EXPECT_EQ(EncodeSecretFieldTo(reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>(text.size() * 2), kFieldText, kNoPassphrase,
                                  out),
              EncodeStatus::Unconvertible);
    EXPECT_EQ(out, "kept");
    EXPECT_EQ(EncodeSecretFieldTo(reinterpret_cast<const BYTE*>(text.c_str()),
                                  static_cast<DWORD>(text.size() * 2), kFieldAnsiText,
                                  SecretText(kPassphrase), out),
              EncodeStatus::Unconvertible);
}

TEST(EncodeSecretField, EveryOutputIsCheckedAgainstItsCapacity) {
    const BYTE bytes[] = {1, 2, 3, 4};
    char output[9];
    std::memset(output, 'x', sizeof output);
    EXPECT_TRUE(EncodeSecretField(bytes, 4, output, 9, kFieldHex, kNoPassphrase));
    EXPECT_STREQ(output, "01020304");
    std::memset(output, 'x', sizeof output);
    EXPECT_FALSE(EncodeSecretField(bytes, 4, output, 8, kFieldHex, kNoPassphrase));
    EXPECT_EQ(output[0], '\0');
    char small[16];
    EXPECT_FALSE(
        EncodeSecretField(bytes, 4, small, sizeof small, kFieldHex, SecretText(kPassphrase)));
    EXPECT_EQ(small[0], '\0');
    EXPECT_FALSE(EncodeSecretField(bytes, 4, nullptr, 0, kFieldHex, kNoPassphrase));
}

TEST(EncodeSecretField, AFailedEncryptionIsReportedWithAnEmptyOutput) {
    const CryptApi refusing = RefusingCrypt();
    const BYTE bytes[] = {1, 2, 3};
    std::string out;
    EXPECT_EQ(EncodeSecretFieldTo(bytes, 3, kFieldHex, SecretText(kPassphrase), out, refusing),
              EncodeStatus::EncryptFailed);
    EXPECT_EQ(out, "");
    char output[4096];
    EXPECT_FALSE(EncodeSecretField(bytes, 3, output, sizeof output, kFieldHex,
                                   SecretText(kPassphrase), refusing));
    EXPECT_EQ(output[0], '\0');
}

TEST(EncodeSecretField, SealedFieldsRoundTripThroughTheFrame) {
    const BYTE bytes[] = {0x00, 0x01, 0xAB, 0xFF, 0x10};
    const std::string field = Sealed(bytes, 5, kFieldHex);
    const OpenedField opened = OpenSealedField(field, kPassphrase);
    ASSERT_TRUE(opened.ok) << opened.frame;
    EXPECT_EQ(opened.frame.rfind("<TVRPASSHEADER><", 0), 0u);
    EXPECT_LT(opened.checksum, 0);
    EXPECT_EQ(opened.checksum,
              FieldChecksum(opened.inner.data(), static_cast<DWORD>(opened.inner.size())));
    EXPECT_EQ(opened.clear, std::vector<BYTE>(bytes, bytes + 5));
    // A fresh nonce every time: two seals of the same data differ.
    EXPECT_NE(Sealed(bytes, 5, kFieldHex), field);
}

TEST(EncodeSecretField, KindFiveSealsTheAnsiTextOfACopy) {
    std::wstring text = L"パス\"ワード";
    const std::wstring before = text;
    const DWORD length = static_cast<DWORD>(text.size() * 2);
    const OpenedField opened =
        OpenSealedField(Sealed(text.data(), length, kFieldAnsiText), kPassphrase);
    ASSERT_TRUE(opened.ok);
    EXPECT_EQ(text, before); // the caller's data are left as they were
    ASSERT_EQ(opened.clear.size(), length);
    const std::string ansi = "\x83\x70\x83\x58\"\x83\x8f\x81\x5b\x83\x68";
    EXPECT_EQ(std::string(opened.clear.begin(), opened.clear.begin() + ansi.size()), ansi);
    for (size_t i = ansi.size(); i < opened.clear.size(); ++i)
        EXPECT_EQ(opened.clear[i], 0);
}

TEST(EncodeSecretField, KindFourTakesTheNumberItPointsAt) {
    const int32_t number = 1234567;
    EXPECT_EQ(Plain(&number, 4, kFieldNumber), "1234567");
    const OpenedField opened = OpenSealedField(Sealed(&number, 4, kFieldNumber), kPassphrase);
    ASSERT_TRUE(opened.ok);
    ASSERT_EQ(opened.clear.size(), 4u);
    int32_t back = 0;
    std::memcpy(&back, opened.clear.data(), 4);
    EXPECT_EQ(back, number);
}

TEST(SecretText, WipesWhatItHeld) {
    // The buffer's memory is zeroed before it is released.
    SecretBytes bytes(64, 0xAB);
    BYTE* data = bytes.data();
    bytes.Clear();
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(data[i], 0) << i;
}

TEST(SecretText, ClearCopiesAreWipedBeforeTheirMemoryIsFreed) {
    // The escape of a text with many quotes makes its result in one block:
    // once the caller has wiped it, no part of it is left anywhere.
    std::wstring secret = L"s3\"cr\"et\"pa\"ss\"wo\"rd\"in\"qu\"ot\"es\"!!";
    const MaskedText escapedPart({L"pa\\\"ss", L"\\\"wo\\\"rd\\\"in\\\""});
    std::wstring escaped = EscapeText(secret, kEscapeMode);
    ASSERT_TRUE(escapedPart.FoundInMemory());
    ::SecureZeroMemory(escaped.data(), escaped.size() * sizeof(wchar_t));
    EXPECT_FALSE(escapedPart.FoundInMemory());
    // The same text written unsealed: the encoder's copies are wiped too.
    std::string field =
        Plain(secret.c_str(), static_cast<DWORD>(secret.size() * 2), kFieldAnsiText);
    ::SecureZeroMemory(field.data(), field.size());
    EXPECT_FALSE(escapedPart.FoundInMemory());
    ::SecureZeroMemory(secret.data(), secret.size() * sizeof(wchar_t));

    // A passphrase is never left partly joined in freed memory.
    const MaskedText devicePassphrase({L"Info#2026", L"0401"});
    {
        const SecretText passphrase = DevicePassphrase();
        ASSERT_TRUE(devicePassphrase.FoundInMemory());
    }
    EXPECT_FALSE(devicePassphrase.FoundInMemory());
}

TEST(TextEscape, LineBreaksAndQuotes) {
    EXPECT_EQ(EscapeText(L"a\r\nb", kEscapeMode), L"a\\\\nb");
    EXPECT_EQ(EscapeText(L"a\nb", kEscapeMode), L"a\\\\nb");
    EXPECT_EQ(EscapeText(L"a\rb\r", kEscapeMode), L"ab");
    EXPECT_EQ(EscapeText(L"say \"hi\"", kEscapeMode), L"say \\\"hi\\\"");
    EXPECT_EQ(EscapeText(L"a\\\\nb \\\"q\\\"", kUnescapeMode), L"a\r\nb \"q\"");
    EXPECT_EQ(EscapeText(L"a\r\nb", 0), L"a\r\nb");
    const std::wstring text = L"一\r\n二\"三\"";
    EXPECT_EQ(EscapeText(EscapeText(text, kEscapeMode), kUnescapeMode), text);
}

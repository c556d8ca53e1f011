// The message the reader parses, checked byte by byte against its fixed
// layout rather than against the structures that build it.
#include "MailslotMessage.h"
#include "WireBytes.h"

#include <gtest/gtest.h>

namespace torva::garrulon::testing {
namespace {

TEST(MessageLayout, FieldsSitAtTheirFixedOffsets) {
    const wchar_t name[kNameRoomChars] = L"Audit";
    LogRecord record{};
    record.localTime = {2026, 12, 2, 8, 23, 45, 7, 654};
    record.tickCount = 0xA1B2C3D4;
    for (std::size_t i = 0; i < kRecordDataBytes; ++i)
        record.data[i] = static_cast<std::uint8_t>(0xC0 + i);

    const Bytes bytes = BytesOf(ComposeMessage(name, record, 0x00ABCDEF));
    ASSERT_EQ(bytes.size(), 114u);
    const std::uint32_t header[] = {20, 0x00ABCDEF, 0, 0x00010001, 0, 114};
    for (std::size_t i = 0; i < 6; ++i)
        EXPECT_EQ(U32At(bytes, 4 * i), header[i]) << "field " << i;
    const wchar_t* expectedName = L"Audit";
    for (std::size_t i = 0; i < 21; ++i)
        EXPECT_EQ(U16At(bytes, 24 + 2 * i),
                  i < 5 ? static_cast<std::uint32_t>(expectedName[i]) : 0u);
    const std::uint32_t time[] = {2026, 12, 2, 8, 23, 45, 7, 654};
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(U16At(bytes, 66 + 2 * i), time[i]) << "time " << i;
    EXPECT_EQ(U32At(bytes, 82), 0xA1B2C3D4u);
    EXPECT_EQ(U32At(bytes, 86), 0u);
    for (std::size_t i = 0; i < kRecordDataBytes; ++i)
        EXPECT_EQ(bytes[90 + i], 0xC0 + i) << "data " << i;
}

TEST(MessageLayout, NameFieldAlwaysKeepsItsTerminator) {
    wchar_t name[kNameRoomChars];
    for (auto& c : name)
        c = L'X';
    const LogRecord record{};
    const Bytes bytes = BytesOf(ComposeMessage(name, record, 1));
    EXPECT_EQ(U16At(bytes, 62), static_cast<std::uint32_t>(L'X'));
    EXPECT_EQ(U16At(bytes, 64), 0u);
    EXPECT_EQ(Slice(bytes, 66, 48), Bytes(48, 0));
}

} // namespace
} // namespace torva::garrulon::testing

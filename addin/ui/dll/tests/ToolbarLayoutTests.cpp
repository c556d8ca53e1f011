#include <ToolbarLayout.h>

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>

using namespace toolbar_layout;

namespace {

const GUID kBand = {0xB26980BD, 0xC1E7, 0x4153, {0x82, 0xC3, 0xFB, 0x2C, 0xEC, 0x27, 0x65, 0x7A}};
const GUID kOtherA = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x01}};
const GUID kOtherB = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x02}};

void PutSlot(Layout& layout, std::size_t slot, const GUID& id) {
    std::memcpy(&layout[kSlotsOffset + slot * kSlotSize], &id, sizeof id);
}

bool SameGuid(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// The browser's five own bands and two other extension toolbars (ids 6 and
// 7 in slots 0 and 1); the last record does not start a row.
Layout LayoutWithTwoExtensions() {
    Layout layout{};
    layout[0] = 17;
    layout[4] = 84;
    layout[12] = 36;
    layout[16] = 0x1F;
    layout[kMaskOffset] = 0x03;
    layout[kHeightOffset] = 80;
    const Record records[] = {{1, 0x06A0, 4000}, {5, 0x0462, 38}, {2, 0x06A1, 4000},
                              {4, 0x00A1, 4000}, {3, 0x02A0, 0},  {6, 0x00A1, 300},
                              {7, 0x00A0, 200}};
    for (std::size_t i = 0; i < 7; ++i)
        WriteRecord(layout, i, records[i]);
    PutSlot(layout, 0, kOtherA);
    PutSlot(layout, 1, kOtherB);
    return layout;
}

void ExpectRecord(const Layout& layout, std::size_t index, std::uint32_t id, std::uint32_t style,
                  std::uint32_t width) {
    const Record record = ReadRecord(layout, index);
    EXPECT_EQ(record.id, id) << "record " << index;
    EXPECT_EQ(record.style, style) << "record " << index;
    EXPECT_EQ(record.width, width) << "record " << index;
}

} // namespace

TEST(ToolbarLayout, DefaultLayoutHoldsTheBrowsersBandsAndOursLast) {
    const Layout layout = DefaultLayout(kBand);
    EXPECT_EQ(layout.size(), 564u);
    EXPECT_EQ(layout[0], 17);
    EXPECT_EQ(layout[4], 84);
    EXPECT_EQ(layout[8], 0);
    EXPECT_EQ(layout[12], 36);
    EXPECT_EQ(layout[16], 0x1F);
    EXPECT_EQ(layout[17], 0);
    EXPECT_EQ(ReadMask(layout), 0x0001);
    EXPECT_EQ(layout[kHeightOffset], 80);
    ExpectRecord(layout, 0, 1, 0x06A0, 4000);
    ExpectRecord(layout, 1, 5, 0x0462, 38);
    ExpectRecord(layout, 2, 2, 0x06A1, 4000);
    ExpectRecord(layout, 3, 4, 0x00A1, 4000);
    ExpectRecord(layout, 4, 3, 0x02A0, 0);
    ExpectRecord(layout, 5, 6, 0x04A0, 0);
    EXPECT_EQ(FirstFreeRecord(layout), 6u);
    for (std::size_t i = 6; i < kRecordCount; ++i)
        EXPECT_TRUE(IsFreeRecord(layout, i));
    EXPECT_EQ(FindSlot(layout, kBand), 0u);
    for (std::size_t slot = 1; slot < kSlotCount; ++slot)
        EXPECT_TRUE(SameGuid(ReadSlot(layout, slot), GUID{}));
    // Nothing else: bytes 1-3, 5-7, 9-11, 13-15, 21-23 are zero.
    for (std::size_t offset : {1, 2, 3, 5, 6, 7, 9, 10, 11, 13, 14, 15, 21, 22, 23})
        EXPECT_EQ(layout[offset], 0) << offset;
}

TEST(ToolbarLayout, AddingMovesTheOtherExtensionsUpByOne) {
    Layout layout = LayoutWithTwoExtensions();
    ASSERT_EQ(AddBand(layout, kBand, false), AddResult::Added);
    EXPECT_EQ(ReadMask(layout), 0x0007);
    ExpectRecord(layout, 4, 3, 0x02A0, 0);
    ExpectRecord(layout, 5, 7, 0x00A1, 300);
    ExpectRecord(layout, 6, 8, 0x00A0, 200);
    ExpectRecord(layout, 7, 6, 0x04A0, 0);
    EXPECT_TRUE(IsFreeRecord(layout, 8));
    EXPECT_TRUE(SameGuid(ReadSlot(layout, 0), kBand));
    EXPECT_TRUE(SameGuid(ReadSlot(layout, 1), kOtherA));
    EXPECT_TRUE(SameGuid(ReadSlot(layout, 2), kOtherB));
}

TEST(ToolbarLayout, MaskTopBitMovesIntoTheSecondByte) {
    Layout layout = LayoutWithTwoExtensions();
    layout[kMaskOffset] = 0x83;
    ASSERT_EQ(AddBand(layout, kBand, false), AddResult::Added);
    EXPECT_EQ(layout[kMaskOffset], 0x07);
    EXPECT_EQ(layout[kMaskOffset + 1], 0x01);
}

TEST(ToolbarLayout, FirstToolbarOfTheMachineStartsTheSlotTableAfresh) {
    Layout layout = LayoutWithTwoExtensions();
    layout[kMaskOffset] = 0x5A;
    ASSERT_EQ(AddBand(layout, kBand, true), AddResult::Added);
    EXPECT_EQ(layout[kMaskOffset], 1);
    EXPECT_TRUE(SameGuid(ReadSlot(layout, 0), kBand));
    for (std::size_t slot = 1; slot < kSlotCount; ++slot)
        EXPECT_TRUE(SameGuid(ReadSlot(layout, slot), GUID{}));
    // The records keep their ids: the first free one takes ours.
    ExpectRecord(layout, 5, 6, 0x00A1, 300);
    ExpectRecord(layout, 7, 6, 0x04A0, 0);
}

TEST(ToolbarLayout, RowStartingBandBeforeOursKeepsTheFullWidth) {
    Layout layout = LayoutWithTwoExtensions();
    WriteRecord(layout, 6, Record{7, 0x00A1, 0x00050123});
    ASSERT_EQ(AddBand(layout, kBand, false), AddResult::Added);
    // Only the low two bytes of the width are written.
    ExpectRecord(layout, 6, 8, 0x00A1, 0x00050000 | 4000);

    Layout plain = LayoutWithTwoExtensions();
    ASSERT_EQ(AddBand(plain, kBand, false), AddResult::Added);
    ExpectRecord(plain, 6, 8, 0x00A0, 200);
}

TEST(ToolbarLayout, FirstRecordFreeLeavesTheHeaderAlone) {
    Layout layout{};
    layout[16] = 0x1F; // bit 0 set where a record's style would be tested
    layout[kHeightOffset] = 80;
    const Layout before = layout;
    ASSERT_EQ(AddBand(layout, kBand, true), AddResult::Added);
    for (std::size_t offset = 0; offset < kMaskOffset; ++offset)
        EXPECT_EQ(layout[offset], before[offset]) << offset;
    for (std::size_t offset = kHeightOffset; offset < kRecordsOffset; ++offset)
        EXPECT_EQ(layout[offset], before[offset]) << offset;
    ExpectRecord(layout, 0, 6, 0x04A0, 0);
}

TEST(ToolbarLayout, FullLayoutIsLeftUnchanged) {
    Layout layout = LayoutWithTwoExtensions();
    for (std::size_t i = 7; i < kRecordCount; ++i)
        WriteRecord(layout, i, Record{3, 0x00A0, 10});
    const Layout before = layout;
    EXPECT_EQ(AddBand(layout, kBand, false), AddResult::NoFreeRecord);
    EXPECT_EQ(layout, before);
}

TEST(ToolbarLayout, LayoutThatHoldsOurBandIsLeftUnchanged) {
    Layout layout = LayoutWithTwoExtensions();
    PutSlot(layout, 2, kBand);
    const Layout before = layout;
    EXPECT_EQ(AddBand(layout, kBand, false), AddResult::AlreadyPresent);
    EXPECT_EQ(layout, before);

    Layout fresh = DefaultLayout(kBand);
    const Layout freshBefore = fresh;
    EXPECT_EQ(AddBand(fresh, kBand, false), AddResult::AlreadyPresent);
    EXPECT_EQ(fresh, freshBefore);
}

TEST(ToolbarLayout, RemovingUndoesAdding) {
    const Layout original = LayoutWithTwoExtensions();
    Layout layout = original;
    ASSERT_EQ(AddBand(layout, kBand, false), AddResult::Added);
    ASSERT_EQ(RemoveBand(layout, kBand), RemoveResult::Removed);
    EXPECT_EQ(layout, original);
}

TEST(ToolbarLayout, RemovingFromTheDefaultLayoutLeavesTheBrowsersBands) {
    Layout layout = DefaultLayout(kBand);
    ASSERT_EQ(RemoveBand(layout, kBand), RemoveResult::Removed);
    EXPECT_EQ(ReadMask(layout), 0);
    EXPECT_EQ(FirstFreeRecord(layout), 5u);
    ExpectRecord(layout, 4, 3, 0x02A0, 0);
    EXPECT_EQ(FindSlot(layout, kBand), kSlotCount);
    EXPECT_EQ(layout[kHeightOffset], 80);
}

TEST(ToolbarLayout, RemovingZeroesTheLastRecordWhenRecordsMoveUp) {
    Layout layout{};
    layout[kMaskOffset] = 1;
    PutSlot(layout, 0, kBand);
    for (std::size_t i = 0; i < kRecordCount; ++i)
        WriteRecord(layout, i, Record{static_cast<std::uint32_t>(1 + i % 5), 0x00A0, 9});
    WriteRecord(layout, 3, Record{6, 0x04A0, 0});
    ASSERT_EQ(RemoveBand(layout, kBand), RemoveResult::Removed);
    ExpectRecord(layout, 3, 5, 0x00A0, 9); // record 4 moved up
    ExpectRecord(layout, 19, 1, 0x00A0, 9);
    EXPECT_TRUE(IsFreeRecord(layout, 20));
    EXPECT_TRUE(SameGuid(ReadSlot(layout, kSlotCount - 1), GUID{}));
}

TEST(ToolbarLayout, HeightLosesOurRowOnlyWhenTheRowWasOurs) {
    auto layoutWith = [](std::uint32_t bandStyle, std::initializer_list<std::uint32_t> after) {
        Layout layout{};
        layout[kMaskOffset] = 1;
        layout[kHeightOffset] = 80;
        PutSlot(layout, 0, kBand);
        WriteRecord(layout, 0, Record{1, 0x06A0, 4000});
        WriteRecord(layout, 1, Record{6, bandStyle, 0});
        std::size_t i = 2;
        for (std::uint32_t style : after)
            WriteRecord(layout, i++, Record{2, style, 100});
        return layout;
    };
    struct Case {
        std::uint32_t bandStyle;
        std::initializer_list<std::uint32_t> after;
        std::uint8_t height;
    };
    const Case cases[] = {
        {0x04A1, {0x00A1}, 58},         // ours and the next both start a row
        {0x04A1, {0x00A8, 0x00A1}, 58}, // a hidden band between is passed over
        {0x04A1, {0x00A0}, 80},         // the next one continues our row
        {0x04A0, {0x00A1}, 80},         // ours did not start a row
        {0x04A9, {0x00A1}, 80},         // ours was hidden
        {0x04A1, {}, 80},               // nothing after ours
    };
    for (const Case& c : cases) {
        Layout layout = layoutWith(c.bandStyle, c.after);
        ASSERT_EQ(RemoveBand(layout, kBand), RemoveResult::Removed);
        EXPECT_EQ(layout[kHeightOffset], c.height) << std::hex << c.bandStyle;
    }
}

TEST(ToolbarLayout, HeightBelowOneRowIsNotLowered) {
    Layout layout{};
    layout[kMaskOffset] = 1;
    layout[kHeightOffset] = 10;
    layout[kHeightOffset + 1] = 0x01;
    PutSlot(layout, 0, kBand);
    WriteRecord(layout, 0, Record{6, 0x04A1, 0});
    WriteRecord(layout, 1, Record{2, 0x00A1, 100});
    ASSERT_EQ(RemoveBand(layout, kBand), RemoveResult::Removed);
    EXPECT_EQ(layout[kHeightOffset], 10);
    EXPECT_EQ(layout[kHeightOffset + 1], 0x01);
}

TEST(ToolbarLayout, BandOutsideSlotZeroOrNowhereIsNotRemoved) {
    Layout layout = LayoutWithTwoExtensions();
    PutSlot(layout, 2, kBand);
    const Layout notFirst = layout;
    EXPECT_EQ(RemoveBand(layout, kBand), RemoveResult::NotFirst);
    EXPECT_EQ(layout, notFirst);

    Layout absent = LayoutWithTwoExtensions();
    const Layout absentBefore = absent;
    EXPECT_EQ(RemoveBand(absent, kBand), RemoveResult::NotPresent);
    EXPECT_EQ(absent, absentBefore);
}

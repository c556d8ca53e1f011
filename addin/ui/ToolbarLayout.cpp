#include "ToolbarLayout.h"

#include <cstring>

namespace toolbar_layout {
namespace {

std::uint32_t ReadU32(const Layout& layout, std::size_t offset) {
    return static_cast<std::uint32_t>(layout[offset]) |
           static_cast<std::uint32_t>(layout[offset + 1]) << 8 |
           static_cast<std::uint32_t>(layout[offset + 2]) << 16 |
           static_cast<std::uint32_t>(layout[offset + 3]) << 24;
}

void WriteU32(Layout& layout, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        layout[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void WriteMask(Layout& layout, std::uint16_t mask) {
    layout[kMaskOffset] = static_cast<std::uint8_t>(mask);
    layout[kMaskOffset + 1] = static_cast<std::uint8_t>(mask >> 8);
}

std::size_t RecordOffset(std::size_t index) {
    return kRecordsOffset + index * kRecordSize;
}
std::size_t SlotOffset(std::size_t slot) {
    return kSlotsOffset + slot * kSlotSize;
}

void WriteSlot(Layout& layout, std::size_t slot, const GUID& id) {
    std::memcpy(&layout[SlotOffset(slot)], &id, kSlotSize);
}

// Row state of a listed record for the height rule.
enum class RowState { None, Continues, StartsRow, Hidden };

RowState StateOf(const Record& record) {
    if (record.style & kStyleHidden) return RowState::Hidden;
    return (record.style & kStyleBreak) ? RowState::StartsRow : RowState::Continues;
}

} // namespace

Record ReadRecord(const Layout& layout, std::size_t index) {
    const std::size_t offset = RecordOffset(index);
    return Record{ReadU32(layout, offset), ReadU32(layout, offset + 4),
                  ReadU32(layout, offset + 8)};
}

void WriteRecord(Layout& layout, std::size_t index, const Record& record) {
    const std::size_t offset = RecordOffset(index);
    WriteU32(layout, offset, record.id);
    WriteU32(layout, offset + 4, record.style);
    WriteU32(layout, offset + 8, record.width);
}

bool IsFreeRecord(const Layout& layout, std::size_t index) {
    const std::size_t offset = RecordOffset(index);
    for (std::size_t i = 0; i < kRecordSize; ++i)
        if (layout[offset + i] != 0) return false;
    return true;
}

std::size_t FirstFreeRecord(const Layout& layout) {
    for (std::size_t i = 0; i < kRecordCount; ++i)
        if (IsFreeRecord(layout, i)) return i;
    return kRecordCount;
}

std::uint16_t ReadMask(const Layout& layout) {
    return static_cast<std::uint16_t>(layout[kMaskOffset] | layout[kMaskOffset + 1] << 8);
}

GUID ReadSlot(const Layout& layout, std::size_t slot) {
    GUID id{};
    std::memcpy(&id, &layout[SlotOffset(slot)], kSlotSize);
    return id;
}

std::size_t FindSlot(const Layout& layout, const GUID& band) {
    for (std::size_t slot = 0; slot < kSlotCount; ++slot)
        if (std::memcmp(&layout[SlotOffset(slot)], &band, kSlotSize) == 0) return slot;
    return kSlotCount;
}

Layout DefaultLayout(const GUID& band) {
    Layout layout{};
    WriteU32(layout, 0, 17);
    WriteU32(layout, 4, 84);
    WriteU32(layout, 8, 0);
    WriteU32(layout, 12, 36);
    layout[16] = 0x1F;
    layout[17] = 0;
    WriteMask(layout, 0x0001);
    WriteU32(layout, kHeightOffset, 80);
    const Record records[] = {
        {1, 0x06A0, 4000}, {5, 0x0462, 38}, {2, 0x06A1, 4000},
        {4, 0x00A1, 4000}, {3, 0x02A0, 0},  {kFirstExtensionId, kBandStyle, 0},
    };
    for (std::size_t i = 0; i < sizeof records / sizeof records[0]; ++i)
        WriteRecord(layout, i, records[i]);
    WriteSlot(layout, 0, band);
    return layout;
}

AddResult AddBand(Layout& layout, const GUID& band, bool firstToolbar) {
    // A second copy of our slot would shift every other extension off its id.
    if (FindSlot(layout, band) != kSlotCount) return AddResult::AlreadyPresent;
    const std::size_t free = FirstFreeRecord(layout);
    if (free == kRecordCount) return AddResult::NoFreeRecord;

    if (firstToolbar) {
        layout[kMaskOffset] = 1;
        for (std::size_t slot = 1; slot < kSlotCount; ++slot)
            WriteSlot(layout, slot, GUID{});
    } else {
        WriteMask(layout, static_cast<std::uint16_t>(ReadMask(layout) << 1 | 1));
        for (std::size_t i = 0; i < free; ++i) {
            Record record = ReadRecord(layout, i);
            if (record.id < kFirstExtensionId) continue;
            ++record.id;
            WriteRecord(layout, i, record);
        }
        // Slot 17's extension has no slot left to move to and drops out.
        std::memmove(&layout[SlotOffset(1)], &layout[SlotOffset(0)], (kSlotCount - 1) * kSlotSize);
    }
    WriteSlot(layout, 0, band);
    WriteRecord(layout, free, Record{kFirstExtensionId, kBandStyle, 0});

    // A row-starting band just before ours would otherwise be squeezed to
    // nothing by the new band: it keeps the full row width. Before the first
    // record lies the header, which is never touched.
    if (free > 0) {
        Record before = ReadRecord(layout, free - 1);
        if (before.style & kStyleBreak) {
            before.width = (before.width & 0xFFFF0000u) | kFullWidth;
            WriteRecord(layout, free - 1, before);
        }
    }
    return AddResult::Added;
}

RemoveResult RemoveBand(Layout& layout, const GUID& band) {
    const std::size_t slot = FindSlot(layout, band);
    if (slot == kSlotCount) return RemoveResult::NotPresent;
    if (slot != 0) return RemoveResult::NotFirst;

    WriteMask(layout, static_cast<std::uint16_t>(ReadMask(layout) >> 1));

    RowState states[kRecordCount] = {};
    std::size_t bandIndex = kRecordCount;
    const std::size_t used = FirstFreeRecord(layout);
    for (std::size_t i = 0; i < used; ++i) {
        Record record = ReadRecord(layout, i);
        states[i] = StateOf(record);
        if (record.id == kFirstExtensionId && bandIndex == kRecordCount) bandIndex = i;
        if (record.id > kFirstExtensionId) {
            --record.id;
            WriteRecord(layout, i, record);
        }
    }

    if (bandIndex != kRecordCount) {
        // Our band started a row and the next shown band starts one too: the
        // row was ours alone and goes with it. The height never wraps.
        if (states[bandIndex] == RowState::StartsRow) {
            for (std::size_t i = bandIndex + 1; i < used; ++i) {
                if (states[i] == RowState::Hidden) continue;
                if (states[i] == RowState::StartsRow && layout[kHeightOffset] >= kRowHeight)
                    layout[kHeightOffset] =
                        static_cast<std::uint8_t>(layout[kHeightOffset] - kRowHeight);
                break;
            }
        }
        std::memmove(&layout[RecordOffset(bandIndex)], &layout[RecordOffset(bandIndex + 1)],
                     (kRecordCount - 1 - bandIndex) * kRecordSize);
        WriteRecord(layout, kRecordCount - 1, Record{});
    }

    std::memmove(&layout[SlotOffset(0)], &layout[SlotOffset(1)], (kSlotCount - 1) * kSlotSize);
    WriteSlot(layout, kSlotCount - 1, GUID{});
    return RemoveResult::Removed;
}

} // namespace toolbar_layout

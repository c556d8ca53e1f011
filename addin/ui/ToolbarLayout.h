// The browser's saved toolbar layout of one user (the "ITBarLayout" or
// "ITBar7Layout" value of the user's "...\Internet Explorer\Toolbar\WebBrowser"
// key), and the insertion and removal of our band in it.
//
// The value is a 564-byte little-endian block:
//   0..17   header (band count, sizes; 17, 84, 0, 36, 0x1F, 0 by default)
//   18..19  extension mask: bit n goes with class-id slot n
//   20..23  rebar height; lowered by one band row (22) when our band leaves
//           a row of its own
//   24..275 21 band records of 12 bytes: u32 id, u32 style (rebar band
//           bits: 0x1 starts a row, 0x8 hidden), u32 width. Twelve zero
//           bytes are a free record; the first free record ends the list.
//   276..563 18 class-id slots of 16 bytes: band id 6 + n is the extension
//           band whose class id stands in slot n.
//
// Pure functions over bytes: the registry side is ProfileLayouts.
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace toolbar_layout {

inline constexpr std::size_t kLayoutSize = 564;
inline constexpr std::size_t kMaskOffset = 18;
inline constexpr std::size_t kHeightOffset = 20;
inline constexpr std::size_t kRecordsOffset = 24;
inline constexpr std::size_t kRecordCount = 21;
inline constexpr std::size_t kRecordSize = 12;
inline constexpr std::size_t kSlotsOffset = 276;
inline constexpr std::size_t kSlotCount = 18;
inline constexpr std::size_t kSlotSize = 16;
static_assert(kRecordsOffset + kRecordCount * kRecordSize == kSlotsOffset);
static_assert(kSlotsOffset + kSlotCount * kSlotSize == kLayoutSize);
static_assert(sizeof(GUID) == kSlotSize);

// Band ids from here upward name extension bands by slot.
inline constexpr std::uint32_t kFirstExtensionId = 6;
// Our band's record: the first extension id, style 0x04A0, width 0.
inline constexpr std::uint32_t kBandStyle = 0x04A0;
inline constexpr std::uint32_t kStyleBreak = 0x1;  // the band starts a row
inline constexpr std::uint32_t kStyleHidden = 0x8; // the band is not shown
inline constexpr std::uint32_t kFullWidth = 4000;
inline constexpr std::uint8_t kRowHeight = 22;

using Layout = std::array<std::uint8_t, kLayoutSize>;

struct Record {
    std::uint32_t id = 0;
    std::uint32_t style = 0;
    std::uint32_t width = 0;
};

Record ReadRecord(const Layout& layout, std::size_t index);
void WriteRecord(Layout& layout, std::size_t index, const Record& record);
bool IsFreeRecord(const Layout& layout, std::size_t index);
// Index of the first free record; kRecordCount when every record is used.
std::size_t FirstFreeRecord(const Layout& layout);
std::uint16_t ReadMask(const Layout& layout);
GUID ReadSlot(const Layout& layout, std::size_t slot);
// Slot that holds band; kSlotCount when none does.
std::size_t FindSlot(const Layout& layout, const GUID& band);

// The browser's own six bands with ours as record 5 and slot 0.
Layout DefaultLayout(const GUID& band);

enum class AddResult {
    Added,
    AlreadyPresent, // band already has a slot: nothing changed
    NoFreeRecord,   // all 21 records are used: nothing changed
};
// Adds band as the last record and slot 0. firstToolbar: no other extension
// toolbar is registered on the machine, so the slot table starts afresh;
// otherwise the other extensions' slots and ids move up by one.
AddResult AddBand(Layout& layout, const GUID& band, bool firstToolbar);

enum class RemoveResult {
    Removed,
    NotFirst,   // band sits in a slot other than 0: nothing changed
    NotPresent, // band has no slot: nothing changed
};
// Takes band out of slot 0 and its record out of the list; the other
// extensions' slots and ids move down by one.
RemoveResult RemoveBand(Layout& layout, const GUID& band);

} // namespace toolbar_layout

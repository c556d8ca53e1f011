#include "RegistryTestSupport.h"

#include <ToolbarList.h>

#include <gtest/gtest.h>

using namespace module_tests;

// The order of the values is not checked: the test prefix's registry lists
// values sorted by name, whatever order they were written in.

namespace {

constexpr wchar_t kBand[] = L"{B26980BD-C1E7-4153-82C3-FB2CEC27657A}";

ToolbarListResult PutFirst(const ScratchKey& scratch, std::size_t& otherCount) {
    torva::UniqueRegKey key;
    EXPECT_EQ(
        ::RegOpenKeyExW(HKEY_CURRENT_USER, scratch.Path().c_str(), 0, KEY_ALL_ACCESS, key.put()),
        ERROR_SUCCESS);
    return PutBandFirst(key.get(), kBand, otherCount);
}

} // namespace

TEST(ToolbarList, OtherToolbarsKeepTheirTypesAndData) {
    ScratchKey scratch(L"ToolbarList");
    const ValueSet others{
        {L"{AAAAAAAA-0000-0000-0000-000000000001}", TextValue(L"Other A")},
        {L"{AAAAAAAA-0000-0000-0000-000000000002}", BinaryValue({1, 2, 3, 4, 5})},
        {L"{AAAAAAAA-0000-0000-0000-000000000003}", StoredValue{REG_DWORD, {7, 0, 0, 0}}},
    };
    for (const auto& [name, value] : others)
        WriteValue(HKEY_CURRENT_USER, scratch.Path(), name, value);

    std::size_t otherCount = 0;
    ASSERT_EQ(PutFirst(scratch, otherCount), ToolbarListResult::PutFirst);
    EXPECT_EQ(otherCount, 3u);
    ValueSet expected = others;
    expected[kBand] = StoredValue{REG_BINARY, {}};
    EXPECT_EQ(ReadValues(HKEY_CURRENT_USER, scratch.Path()), expected);
}

TEST(ToolbarList, MoreThanSixteenToolbarsAreAllKept) {
    ScratchKey scratch(L"ManyToolbars");
    ValueSet others;
    for (int i = 0; i < 24; ++i) {
        const std::wstring name =
            L"{BBBBBBBB-0000-0000-0000-0000000000" + std::to_wstring(10 + i) + L"}";
        others[name] = TextValue(L"toolbar " + std::to_wstring(i));
        WriteValue(HKEY_CURRENT_USER, scratch.Path(), name, others[name]);
    }
    std::size_t otherCount = 0;
    ASSERT_EQ(PutFirst(scratch, otherCount), ToolbarListResult::PutFirst);
    EXPECT_EQ(otherCount, 24u);
    ValueSet expected = others;
    expected[kBand] = StoredValue{REG_BINARY, {}};
    EXPECT_EQ(ReadValues(HKEY_CURRENT_USER, scratch.Path()), expected);
}

TEST(ToolbarList, ListedBandChangesNothing) {
    ScratchKey scratch(L"AlreadyListed");
    WriteValue(HKEY_CURRENT_USER, scratch.Path(), L"{CCCCCCCC-0000-0000-0000-000000000001}",
               TextValue(L"first"));
    WriteValue(HKEY_CURRENT_USER, scratch.Path(), kBand, TextValue(L"TORVA"));
    const auto before = ReadValues(HKEY_CURRENT_USER, scratch.Path());
    const auto orderBefore = ValueNames(HKEY_CURRENT_USER, scratch.Path());
    std::size_t otherCount = 0;
    EXPECT_EQ(PutFirst(scratch, otherCount), ToolbarListResult::AlreadyListed);
    EXPECT_EQ(ReadValues(HKEY_CURRENT_USER, scratch.Path()), before);
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, scratch.Path()), orderBefore);
}

TEST(ToolbarList, EmptyListGetsOnlyOurValue) {
    ScratchKey scratch(L"EmptyList");
    std::size_t otherCount = 5;
    ASSERT_EQ(PutFirst(scratch, otherCount), ToolbarListResult::PutFirst);
    EXPECT_EQ(otherCount, 0u);
    EXPECT_EQ(ReadValues(HKEY_CURRENT_USER, scratch.Path()),
              (ValueSet{{kBand, StoredValue{REG_BINARY, {}}}}));
}

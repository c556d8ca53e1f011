#include "ScratchHives.h"

#include <QuorvelGuids.h>

#include <gtest/gtest.h>

#include <cstring>

using namespace module_tests;
using namespace toolbar_layout;

namespace {

constexpr wchar_t kLayoutName[] = L"ITBar7Layout";

ProfileWalk WalkOver(const std::vector<std::wstring>& names) {
    ProfileWalk walk;
    walk.profilesDirectory = L"Q:\\Users";
    for (const std::wstring& name : names)
        walk.folders.push_back(L"Q:\\Users\\" + name);
    walk.layoutName = kLayoutName;
    return walk;
}

Layout FullLayout() {
    Layout layout{};
    layout[kMaskOffset] = 1;
    for (std::size_t i = 0; i < kRecordCount; ++i)
        WriteRecord(layout, i, Record{1, 0x00A0, 10});
    return layout;
}

Layout OtherExtensionLayout() {
    Layout layout = DefaultLayout(GUID{0x1234, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}});
    return layout;
}

} // namespace

TEST(ProfileLayouts, MissingLayoutGetsTheDefaultLayout) {
    ScratchKey scratch(L"DefaultLayout");
    ScratchHives hives(scratch);
    AddBandToProfiles(WalkOver({L"alice"}), false, hives);
    EXPECT_EQ(hives.Layout(L"alice", kLayoutName),
              BinaryValue(Bytes(DefaultLayout(CLSID_StockBar))));
}

TEST(ProfileLayouts, FullLayoutDoesNotStopTheWalk) {
    ScratchKey scratch(L"FullLayout");
    ScratchHives hives(scratch);
    hives.SetLayout(L"alice", kLayoutName, Bytes(FullLayout()));
    hives.SetLayout(L"bob", kLayoutName, Bytes(OtherExtensionLayout()));
    AddBandToProfiles(WalkOver({L"alice", L"bob", L"carol"}), false, hives);
    EXPECT_EQ(hives.Layout(L"alice", kLayoutName), BinaryValue(Bytes(FullLayout())));
    Layout bob = OtherExtensionLayout();
    ASSERT_EQ(AddBand(bob, CLSID_StockBar, false), AddResult::Added);
    EXPECT_EQ(hives.Layout(L"bob", kLayoutName), BinaryValue(Bytes(bob)));
    EXPECT_EQ(hives.Layout(L"carol", kLayoutName),
              BinaryValue(Bytes(DefaultLayout(CLSID_StockBar))));
}

TEST(ProfileLayouts, ProfileThatCannotBeOpenedIsSkipped) {
    ScratchKey scratch(L"SkippedProfile");
    ScratchHives hives(scratch);
    hives.refused = {L"alice"};
    AddBandToProfiles(WalkOver({L"alice", L"bob"}), false, hives);
    EXPECT_FALSE(hives.Layout(L"alice", kLayoutName));
    EXPECT_TRUE(hives.Layout(L"bob", kLayoutName));
}

TEST(ProfileLayouts, LayoutOfAnotherSizeIsLeftAlone) {
    ScratchKey scratch(L"OtherSize");
    ScratchHives hives(scratch);
    const std::vector<BYTE> longer(600, 0x5A), shorter(100, 0x11);
    hives.SetLayout(L"alice", kLayoutName, longer);
    hives.SetLayout(L"bob", kLayoutName, shorter);
    WriteValue(HKEY_CURRENT_USER, hives.WebBrowserKey(L"carol"), kLayoutName, TextValue(L"text"));
    const ProfileWalk walk = WalkOver({L"alice", L"bob", L"carol"});
    AddBandToProfiles(walk, false, hives);
    EXPECT_EQ(hives.Layout(L"alice", kLayoutName), BinaryValue(longer));
    EXPECT_EQ(hives.Layout(L"bob", kLayoutName), BinaryValue(shorter));
    EXPECT_EQ(hives.Layout(L"carol", kLayoutName), TextValue(L"text"));
    RemoveBandFromProfiles(walk, hives);
    EXPECT_EQ(hives.Layout(L"alice", kLayoutName), BinaryValue(longer));
    EXPECT_EQ(hives.Layout(L"bob", kLayoutName), BinaryValue(shorter));
}

TEST(ProfileLayouts, LayoutThatHoldsOurBandIsLeftAlone) {
    ScratchKey scratch(L"HoldsBand");
    ScratchHives hives(scratch);
    Layout layout = OtherExtensionLayout();
    ASSERT_EQ(AddBand(layout, CLSID_StockBar, false), AddResult::Added);
    hives.SetLayout(L"alice", kLayoutName, Bytes(layout));
    AddBandToProfiles(WalkOver({L"alice"}), false, hives);
    EXPECT_EQ(hives.Layout(L"alice", kLayoutName), BinaryValue(Bytes(layout)));
}

TEST(ProfileLayouts, UnregistrationTakesTheBandOutOfEveryProfile) {
    ScratchKey scratch(L"Remove");
    ScratchHives hives(scratch);
    const ProfileWalk walk = WalkOver({L"alice", L"bob"});
    hives.SetLayout(L"bob", kLayoutName, Bytes(OtherExtensionLayout()));
    AddBandToProfiles(walk, false, hives);
    RemoveBandFromProfiles(walk, hives);
    Layout alice = DefaultLayout(CLSID_StockBar);
    ASSERT_EQ(RemoveBand(alice, CLSID_StockBar), RemoveResult::Removed);
    EXPECT_EQ(hives.Layout(L"alice", kLayoutName), BinaryValue(Bytes(alice)));
    EXPECT_EQ(hives.Layout(L"bob", kLayoutName), BinaryValue(Bytes(OtherExtensionLayout())));
}

TEST(ProfileLayouts, BandOutsideSlotZeroDropsTheLayoutExceptInTheDefaultProfile) {
    ScratchKey scratch(L"NotFirst");
    ScratchHives hives(scratch);
    Layout layout = OtherExtensionLayout();
    ASSERT_EQ(AddBand(layout, CLSID_StockBar, false), AddResult::Added);
    Layout notFirst = OtherExtensionLayout();
    ASSERT_EQ(AddBand(notFirst, GUID{0x9999, 0, 0, {0}}, false), AddResult::Added);
    std::memcpy(&notFirst[kSlotsOffset + kSlotSize * 2], &CLSID_StockBar, sizeof(GUID));
    hives.SetLayout(L"alice", kLayoutName, Bytes(notFirst));
    hives.SetLayout(L"Default User", kLayoutName, Bytes(notFirst));
    ProfileWalk walk = WalkOver({L"alice", L"Default User"});
    walk.defaultUserProfile = L"Default User";
    RemoveBandFromProfiles(walk, hives);
    EXPECT_FALSE(hives.Layout(L"alice", kLayoutName));
    EXPECT_EQ(hives.Layout(L"Default User", kLayoutName), BinaryValue(Bytes(notFirst)));
}

TEST(ProfileLayouts, LayoutWithoutOurBandIsLeftUnchangedByUnregistration) {
    ScratchKey scratch(L"NotPresent");
    ScratchHives hives(scratch);
    hives.SetLayout(L"alice", kLayoutName, Bytes(OtherExtensionLayout()));
    RemoveBandFromProfiles(WalkOver({L"alice", L"bob"}), hives);
    EXPECT_EQ(hives.Layout(L"alice", kLayoutName), BinaryValue(Bytes(OtherExtensionLayout())));
    EXPECT_FALSE(hives.Layout(L"bob", kLayoutName));
}

TEST(ProfileLayouts, CurrentUserIsFoundByUserProfile) {
    ScratchKey scratch(L"CurrentUser");
    ScratchHives hives(scratch);
    ProfileWalk walk = WalkOver({L"alice", L"bob"});
    wchar_t saved[MAX_PATH] = {};
    const DWORD savedLength = ::GetEnvironmentVariableW(L"USERPROFILE", saved, MAX_PATH);
    ASSERT_TRUE(::SetEnvironmentVariableW(L"USERPROFILE", L"Q:\\Users\\bob"));
    walk.currentUserFolderName = CurrentUserFolderName(walk.profilesDirectory);
    ::SetEnvironmentVariableW(L"USERPROFILE", savedLength ? saved : nullptr);
    EXPECT_EQ(walk.currentUserFolderName, L"bob");
    AddBandToProfiles(walk, false, hives);
    EXPECT_EQ(hives.currentSeen, (std::set<std::wstring>{L"bob"}));
    EXPECT_EQ(hives.opened, (std::vector<std::wstring>{L"alice", L"bob"}));
}

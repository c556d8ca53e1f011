#include "RegistryTestSupport.h"

#include <ProfileLayouts.h>
#include <QuorvelGuids.h>
#include <RegistrySupport.h>
#include <ToolbarLayout.h>

#include <gtest/gtest.h>

using namespace module_tests;

namespace {

// A profile folder whose NTUSER.DAT is a saved copy of a scratch key.
bool MakeHive(const ScratchKey& scratch, const std::wstring& file) {
    if (!Privilege(L"SeBackupPrivilege", TRUE)) return false;
    torva::UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, scratch.Path().c_str(), 0, KEY_READ, key.put()) !=
        ERROR_SUCCESS)
        return false;
    const LSTATUS saved = ::RegSaveKeyW(key.get(), file.c_str(), nullptr);
    (void)Privilege(L"SeBackupPrivilege", FALSE);
    return saved == ERROR_SUCCESS;
}

} // namespace

TEST(MachineProfileHives, OtherProfilesHiveIsLoadedUpdatedAndUnloaded) {
    ScratchKey scratch(L"Hive");
    WriteValue(HKEY_CURRENT_USER, scratch.Path(), L"Marker", TextValue(L"carol"));
    TempFolder profiles(L"Hives");
    const std::wstring carol = profiles.MakeSub(L"QuorvelTestCarol");
    if (!MakeHive(scratch, carol + L"\\NTUSER.DAT"))
        GTEST_SKIP() << "no hive file can be saved here";
    ASSERT_TRUE(Privilege(L"SeRestorePrivilege", TRUE));

    // The walk loads the hive and unloads it again once updated.
    ProfileWalk walk;
    walk.profilesDirectory = profiles.Path();
    walk.folders = {carol};
    walk.layoutName = L"ITBarLayout";
    MachineProfileHives hives;
    AddBandToProfiles(walk, false, hives);
    EXPECT_FALSE(KeyExists(HKEY_USERS, L"QuorvelTestCarol"));

    // One profile's step while its hive is loaded (the prefix's registry
    // does not write an unloaded hive back to its file, so the result is
    // read before the unload).
    ProfileRoot root;
    ASSERT_TRUE(hives.Open(carol, L"QuorvelTestCarol", false, root));
    EXPECT_EQ(Text(HKEY_USERS, L"QuorvelTestCarol", L"Marker"), L"carol");
    {
        torva::UniqueRegKey webBrowser;
        ASSERT_EQ(::RegCreateKeyExW(root.Get(), kWebBrowserToolbarKey, 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, webBrowser.put(), nullptr),
                  ERROR_SUCCESS);
        AddBandToUserLayout(webBrowser.get(), L"ITBarLayout", false);
    }
    const auto layout = ReadValue(
        HKEY_USERS, std::wstring(L"QuorvelTestCarol\\") + kWebBrowserToolbarKey, L"ITBarLayout");
    ASSERT_TRUE(layout);
    const toolbar_layout::Layout expected = toolbar_layout::DefaultLayout(CLSID_StockBar);
    EXPECT_EQ(layout->data, std::vector<BYTE>(expected.begin(), expected.end()));
    root.Reset();
    EXPECT_FALSE(KeyExists(HKEY_USERS, L"QuorvelTestCarol"));
    (void)Privilege(L"SeRestorePrivilege", FALSE);
}

TEST(MachineProfileHives, ProfileWithoutHiveIsSkipped) {
    TempFolder profiles(L"NoHive");
    const std::wstring dave = profiles.MakeSub(L"QuorvelTestDave");
    MachineProfileHives hives;
    ProfileRoot root;
    EXPECT_FALSE(hives.Open(dave, L"QuorvelTestDave", false, root));
    EXPECT_EQ(root.Get(), nullptr);
}

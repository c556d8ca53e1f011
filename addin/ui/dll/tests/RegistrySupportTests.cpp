#include "RegistryTestSupport.h"

#include <RegistrySupport.h>

#include <gtest/gtest.h>

#include <algorithm>

using namespace module_tests;

TEST(LayoutValueName, VersionVectorSevenOrMoreSelectsTheNewLayout) {
    ScratchKey scratch(L"VersionVector");
    const std::wstring key = scratch.Sub(L"Version Vector");
    const struct {
        const wchar_t* version;
        const wchar_t* layout;
    } cases[] = {{L"8.0000", L"ITBar7Layout"},
                 {L"7", L"ITBar7Layout"},
                 {L"11.0000", L"ITBar7Layout"},
                 {L"6.0", L"ITBarLayout"},
                 {L"abc", L"ITBarLayout"}};
    for (const auto& c : cases) {
        WriteValue(HKEY_CURRENT_USER, key, L"IE", TextValue(c.version));
        EXPECT_EQ(GetITBarLayoutKeyAt(HKEY_CURRENT_USER, key.c_str()), c.layout) << c.version;
    }
    WriteValue(HKEY_CURRENT_USER, key, L"IE", StoredValue{REG_DWORD, {8, 0, 0, 0}});
    EXPECT_EQ(GetITBarLayoutKeyAt(HKEY_CURRENT_USER, key.c_str()), L"ITBarLayout");
    const std::wstring missing = scratch.Sub(L"Missing");
    EXPECT_EQ(GetITBarLayoutKeyAt(HKEY_CURRENT_USER, missing.c_str()), L"ITBarLayout");
}

TEST(ProfileSetupRead, ExpandsTheProfilesDirectory) {
    ScratchKey scratch(L"ProfileList");
    ASSERT_TRUE(::SetEnvironmentVariableW(L"QUORVEL_TEST_ROOT", L"Q:\\Root"));
    WriteValue(HKEY_CURRENT_USER, scratch.Path(), L"ProfilesDirectory",
               TextValue(L"%QUORVEL_TEST_ROOT%\\Users", REG_EXPAND_SZ));
    WriteValue(HKEY_CURRENT_USER, scratch.Path(), L"DefaultUserProfile",
               TextValue(L"Default User"));
    ProfileSetup setup;
    ASSERT_TRUE(ReadProfileSetup(HKEY_CURRENT_USER, scratch.Path().c_str(), setup));
    EXPECT_EQ(setup.profilesDirectory, L"Q:\\Root\\Users");
    EXPECT_EQ(setup.defaultUserProfile, L"Default User");
    ::SetEnvironmentVariableW(L"QUORVEL_TEST_ROOT", nullptr);
}

TEST(ProfileSetupRead, UnterminatedValueIsReadToItsEnd) {
    ScratchKey scratch(L"Unterminated");
    for (std::size_t length : {std::size_t{8}, std::size_t{MAX_PATH - 1}}) {
        std::wstring text = L"Q:\\Users" + std::wstring(length - 8, L'u');
        StoredValue value = TextValue(text);
        value.data.resize(text.size() * sizeof(wchar_t)); // no terminator
        WriteValue(HKEY_CURRENT_USER, scratch.Path(), L"ProfilesDirectory", value);
        torva::UniqueRegKey key;
        ASSERT_EQ(
            ::RegOpenKeyExW(HKEY_CURRENT_USER, scratch.Path().c_str(), 0, KEY_READ, key.put()),
            ERROR_SUCCESS);
        EXPECT_EQ(ReadTextValue(key.get(), L"ProfilesDirectory", MAX_PATH - 1), text);
        ProfileSetup setup;
        ASSERT_TRUE(ReadProfileSetup(HKEY_CURRENT_USER, scratch.Path().c_str(), setup)) << length;
        EXPECT_EQ(setup.profilesDirectory, text);
    }
}

TEST(ProfileSetupRead, MissingOrOverlongProfileListIsNoWalk) {
    ScratchKey scratch(L"NoProfileList");
    ProfileSetup setup;
    const std::wstring missing = scratch.Sub(L"Missing");
    EXPECT_FALSE(ReadProfileSetup(HKEY_CURRENT_USER, missing.c_str(), setup));
    EXPECT_FALSE(ReadProfileSetup(HKEY_CURRENT_USER, scratch.Path().c_str(), setup));
    WriteValue(HKEY_CURRENT_USER, scratch.Path(), L"ProfilesDirectory",
               TextValue(std::wstring(400, L'p')));
    EXPECT_FALSE(ReadProfileSetup(HKEY_CURRENT_USER, scratch.Path().c_str(), setup));
    EXPECT_TRUE(setup.profilesDirectory.empty());
}

TEST(ProfileFolders, ListsSubFoldersOnly) {
    TempFolder folder(L"GetDirectory");
    const std::wstring alice = folder.MakeSub(L"alice");
    const std::wstring bob = folder.MakeSub(L"bob");
    const std::wstring file = folder.Path() + L"\\NTUSER.DAT";
    torva::UniqueFile created(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    created.reset();
    std::vector<std::wstring> folders;
    EXPECT_TRUE(GetDirectory(folder.Path() + L"\\*", folders));
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::wstring>{alice, bob}));

    TempFolder empty(L"GetDirectoryEmpty");
    std::vector<std::wstring> none;
    EXPECT_FALSE(GetDirectory(empty.Path() + L"\\*", none));
    EXPECT_TRUE(none.empty());
}

TEST(RestorePrivilege, CanBeEnabledAndDisabled) {
    EXPECT_TRUE(Privilege(L"SeRestorePrivilege", TRUE));
    EXPECT_TRUE(Privilege(L"SeRestorePrivilege", FALSE));
    EXPECT_FALSE(Privilege(L"SeNoSuchPrivilege", TRUE));
}

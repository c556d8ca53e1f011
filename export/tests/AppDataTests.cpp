#include "DBAccess.h"
#include "KeyNameHash.h"

#include "TestDatabase.h"

#include <gtest/gtest.h>

#include <cwctype>

namespace {

constexpr DWORD kBusy = 24; // the library's answer while another process holds the database

std::wstring AnyCaptionKey() {
    const std::wstring app = ApplicationKeyPath(CreateKeyNameHash(kAnyApplicationName));
    return CaptionKeyPath(app, CreateKeyNameHash(CaptionHashInput(kAnyApplicationCaption, {})));
}

class AppData : public ::testing::Test {
protected:
    void SetUp() override {
        FaultyDb::Reset();
        db.DeleteKey(L"APCTRLDATA");
    }
    void TearDown() override {
        FaultyDb::Reset();
        db.DeleteKey(L"APCTRLDATA");
    }
    TestDatabase db;
};

DWORD TVRCT_CALL RefusingEncrypt(const BYTE*, DWORD, BYTE*, DWORD, DWORD*) {
    return TVRCT_E_PROVIDER;
}

DWORD TVRDB_CALL EnumWithGaps(TVRDB_HDB, TVRDB_HKEY, DWORD index, LPWSTR name, DWORD* length) {
    // Index 1 answers an empty name; index 2 a name, but leaves the length
    // alone unless it was reset (a caller carrying it over would be fooled).
    if (index == 0) {
        wcscpy(name, L"K\\A");
        *length = 3;
        return 0;
    }
    if (index == 1) {
        *length = 0;
        return 0;
    }
    if (index == 2) {
        wcscpy(name, L"K\\B");
        if (*length == 0) *length = 3;
        return 0;
    }
    if (index == 3) {
        name[0] = L'\0';
        if (*length == 0) *length = 5;
        return 0;
    }
    return 4;
}

} // namespace

TEST(KeyNameHash, LowerCaseHexOfTheWholeAnsiInput) {
    const std::wstring hash = CWindowData::CreateHash(L"経費精算");
    ASSERT_EQ(hash.size(), 64u);
    for (wchar_t c : hash)
        EXPECT_TRUE(std::iswdigit(c) || (c >= L'a' && c <= L'f')) << c;
    // "abc": the digest bytes above 0x7F are formatted as two digits, not as
    // sign-extended numbers.
    EXPECT_EQ(CWindowData::CreateHash(L"abc"),
              L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(CWindowData::CreateHash(L""),
              L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    // Inputs past 4096 bytes are hashed whole: texts that differ only at
    // their end give different names.
    const std::wstring longText(5000, L'a');
    EXPECT_NE(CWindowData::CreateHash(longText + L"x"), CWindowData::CreateHash(longText + L"y"));
}

TEST(KeyNameHash, CaptionInputCarriesTheIdSumInHex) {
    CWindowData data;
    data.applicationName = L"App";
    data.caption = L"Log on";
    data.item.NAME = L"same";
    data.item.controls.push_back(std::make_unique<CDataCtrl>(1, 10, L"u", 0));
    data.item.controls.push_back(std::make_unique<CDataCtrl>(2, 16, L"p", 0));
    EXPECT_EQ(data.GetAplHash(), CWindowData::CreateHash(L"App"));
    EXPECT_EQ(data.GetCaptionHash(), CWindowData::CreateHash(L"Log on1a"));
    EXPECT_EQ(data.GetItemHash(), CWindowData::CreateHash(L"same"));
    data.item.controls.clear();
    EXPECT_EQ(data.GetCaptionHash(), CWindowData::CreateHash(L"Log on0"));
    EXPECT_EQ(CaptionHashInput(L"Log on", {10, 16}), L"Log on1a");
    EXPECT_EQ(CaptionHashInput(L"x", {}), L"x0");
    EXPECT_EQ(CaptionHashInput(L"x", {-1}), L"xffffffff");
    EXPECT_EQ(CaptionHashInput(L"x", {0x7FFFFFFF, 1}), L"x80000000");
    EXPECT_EQ(ControlKeyPath(L"I", 7), L"I\\CTRL007");
}

TEST_F(AppData, AnEmptyDatabaseGetsTheDefaults) {
    CKeepData keep;
    keep.CheckDBOption();
    EXPECT_EQ(db.Dword(kAppDataOptionKey, L"STOPAUTOFUNC"), 0);
    EXPECT_EQ(db.Dword(kAppDataOptionKey, L"STOPAUTOINPUT"), 0);
    EXPECT_EQ(db.Dword(kAppDataOptionKey, L"STOPASSIST"), 0);
    EXPECT_EQ(db.Dword(kAppDataOptionKey, L"HIDEPWD"), 1);
    keep.CheckDBAny();
    DBRegData reg;
    EXPECT_TRUE(reg.IsAnyInit());

    CDataAplList list;
    ASSERT_TRUE(reg.GetDBRegData(list, TRUE));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->APLNAME, kAnyApplicationName);
    ASSERT_EQ(list[0]->captions.size(), 1u);
    EXPECT_EQ(list[0]->captions[0]->CAPTION, kAnyApplicationCaption);
    ASSERT_EQ(list[0]->captions[0]->items.size(), 1u);
    const CDataItem& item = *list[0]->captions[0]->items[0];
    EXPECT_EQ(item.NAME, L" ");
    EXPECT_EQ(item.AUTOINPUT, 0);
    EXPECT_EQ(item.AUTOCLICK, 2);
    EXPECT_EQ(item.CLICKPOS, 0);
    ASSERT_EQ(item.controls.size(), 3u);
    EXPECT_EQ(item.controls[0]->TYPE, 1);
    EXPECT_EQ(item.controls[1]->TYPE, 2);
    EXPECT_EQ(item.controls[2]->TYPE, 5);
    // The password field's empty CAPTION is stored sealed.
    const std::wstring itemKey = ItemKeyPath(AnyCaptionKey(), CreateKeyNameHash(L" "));
    DWORD type = 99;
    std::vector<BYTE> sealed;
    ASSERT_TRUE(db.Value(ControlKeyPath(itemKey, 1), L"CAPTION", &type, sealed));
    EXPECT_EQ(type, static_cast<DWORD>(TVRDB_TYPE_BINARY));
    EXPECT_FALSE(sealed.empty());
    ASSERT_TRUE(db.Value(ControlKeyPath(itemKey, 2), L"CAPTION", &type, sealed));
    EXPECT_EQ(type, static_cast<DWORD>(TVRDB_TYPE_STRING));
}

TEST_F(AppData, StoredOptionsAreLeftAsTheyAre) {
    db.SetDword(kAppDataOptionKey, L"HIDEPWD", 0);
    CKeepData keep;
    keep.CheckDBOption();
    keep.GetDBOptionInfo();
    EXPECT_EQ(keep.IsCheckedOption(KEEP_OPT_STOPAUTOFUNC), -1);
    EXPECT_EQ(keep.IsCheckedOption(KEEP_OPT_STOPAUTOINPUT), -1);
    EXPECT_EQ(keep.IsCheckedOption(KEEP_OPT_STOPASSIST), -1);
    EXPECT_EQ(keep.IsCheckedOption(KEEP_OPT_HIDEPWD), 0);
    EXPECT_EQ(db.Dword(kAppDataOptionKey, L"STOPAUTOFUNC"), -1);
}

TEST_F(AppData, ABusyDatabaseGetsNoDefaults) {
    // A stored any-application entry whose password the user filled in.
    CWindowData stored;
    stored.applicationName = kAnyApplicationName;
    stored.caption = kAnyApplicationCaption;
    stored.item.NAME = L" ";
    stored.item.controls.push_back(std::make_unique<CDataCtrl>(1, 0, L"me", 0));
    stored.item.controls.push_back(std::make_unique<CDataCtrl>(2, 0, L"secret", 0));
    stored.item.controls.push_back(std::make_unique<CDataCtrl>(5, 0, L"", 0));
    DBRegData writer;
    ASSERT_TRUE(writer.SetRegItem(stored));
    db.SetDword(kAppDataOptionKey, L"STOPAUTOFUNC", 1);
    const std::wstring before = DumpTree(L"APCTRLDATA");

    FaultyDb::failOpen = [](const std::wstring&) { return kBusy; };
    CKeepData keep(FaultyDb::Api());
    keep.CheckDBOption();
    keep.CheckDBAny();
    DBRegData reg(FaultyDb::Api());
    EXPECT_EQ(reg.AnyInitPresence(), KeyPresence::Unknown);
    EXPECT_FALSE(reg.SetRegItem(stored));
    FaultyDb::Reset();
    EXPECT_EQ(DumpTree(L"APCTRLDATA"), before);

    CDataAplList list;
    DBRegData reader;
    ASSERT_TRUE(reader.GetDBRegData(list, TRUE));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0]->captions[0]->items[0]->controls[1]->CAPTION, L"secret");
}

TEST_F(AppData, ABusyOptionKeyAloneWritesNothing) {
    FaultyDb::failOpen = [](const std::wstring& path) {
        return path == kAppDataOptionKey ? kBusy : 0;
    };
    CKeepData keep(FaultyDb::Api());
    keep.CheckDBOption();
    FaultyDb::Reset();
    EXPECT_FALSE(db.KeyExists(kAppDataOptionKey));
}

TEST_F(AppData, TwoItemsOfOneNameWithOtherIdsLandUnderOtherCaptions) {
    DBRegData reg;
    for (int32_t id : {10, 26}) {
        CWindowData data;
        data.applicationName = L"App";
        data.caption = L"Log on";
        data.item.NAME = L"same";
        data.item.controls.push_back(std::make_unique<CDataCtrl>(1, id, L"u", 0));
        ASSERT_TRUE(reg.SetRegItem(data));
    }
    const std::wstring app = ApplicationKeyPath(CreateKeyNameHash(L"App"));
    const auto captions = db.SubKeys(app);
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_TRUE(db.KeyExists(CaptionKeyPath(app, CreateKeyNameHash(L"Log on1a"))));
    EXPECT_TRUE(db.KeyExists(CaptionKeyPath(app, CreateKeyNameHash(L"Log ona"))));
}

TEST_F(AppData, ReadingWithoutPasswordsLeavesEveryCaptionEmpty) {
    CWindowData data;
    data.applicationName = L"App";
    data.caption = L"C";
    data.item.NAME = L"I";
    data.item.controls.push_back(std::make_unique<CDataCtrl>(1, 1, L"plain", 0));
    data.item.controls.push_back(std::make_unique<CDataCtrl>(2, 2, L"pw", 0));
    DBRegData reg;
    ASSERT_TRUE(reg.SetRegItem(data));
    CDataAplList list;
    ASSERT_TRUE(reg.GetDBRegData(list, FALSE));
    const auto& controls = list[0]->captions[0]->items[0]->controls;
    ASSERT_EQ(controls.size(), 2u);
    EXPECT_EQ(controls[0]->CAPTION, L"");
    EXPECT_EQ(controls[1]->CAPTION, L"");
    ASSERT_TRUE(reg.GetDBRegData(list, TRUE));
    EXPECT_EQ(list[0]->captions[0]->items[0]->controls[0]->CAPTION, L"plain");
    EXPECT_EQ(list[0]->captions[0]->items[0]->controls[1]->CAPTION, L"pw");
}

TEST_F(AppData, AnUnreadablePasswordLosesOnlyItsOwnCaption) {
    DBRegData reg;
    for (const wchar_t* name : {L"A", L"B"}) {
        CWindowData data;
        data.applicationName = name;
        data.caption = L"C";
        data.item.NAME = L"I";
        data.item.controls.push_back(
            std::make_unique<CDataCtrl>(2, 2, std::wstring(L"pw-") + name, 0));
        ASSERT_TRUE(reg.SetRegItem(data));
    }
    CDataAplList list;
    ASSERT_TRUE(reg.GetDBRegData(list, TRUE));
    ASSERT_EQ(list.size(), 2u);
    // The application read first is the one made unreadable.
    CWindowData first;
    first.applicationName = list[0]->APLNAME;
    first.caption = L"C";
    first.item.NAME = L"I";
    first.item.controls.push_back(std::make_unique<CDataCtrl>(2, 2, L"", 0));
    const std::wstring itemKey =
        ItemKeyPath(CaptionKeyPath(ApplicationKeyPath(first.GetAplHash()), first.GetCaptionHash()),
                    first.GetItemHash());
    db.SetRaw(ControlKeyPath(itemKey, 0), L"CAPTION", TVRDB_TYPE_BINARY,
              std::vector<BYTE>(46, 0x5A));

    DBRegData again;
    ASSERT_TRUE(again.GetDBRegData(list, TRUE));
    ASSERT_EQ(list.size(), 2u);
    const CDataCtrl& broken = *list[0]->captions[0]->items[0]->controls[0];
    const CDataCtrl& after = *list[1]->captions[0]->items[0]->controls[0];
    EXPECT_EQ(broken.CAPTION, L"");
    EXPECT_TRUE(broken.unread);
    EXPECT_EQ(after.CAPTION, L"pw-" + list[1]->APLNAME);
    EXPECT_FALSE(after.unread);
}

TEST_F(AppData, AFailedEncryptionWritesNothing) {
    CryptApi refusing = LibraryCryptApi();
    refusing.Encrypt = &RefusingEncrypt;
    DBAccess access(LibraryDbApi(), refusing);
    TVRDB_HDB handle = nullptr;
    ASSERT_EQ(access.OpenDB(&handle), 0);
    TVRDB_HKEY key = nullptr;
    ASSERT_EQ(access.CreateKey(handle, L"APCTRLDATA\\T", &key), 0);
    access.SetStringValueCrypt(handle, key, L"CAPTION", L"secret");
    EXPECT_FALSE(access.CryptEnabled());
    access.CloseKey(handle, &key);
    access.CloseDB(&handle);
    DWORD type = 0;
    std::vector<BYTE> data;
    EXPECT_FALSE(db.Value(L"APCTRLDATA\\T", L"CAPTION", &type, data));
}

TEST_F(AppData, DwordsShorterThanFourBytesReadOnlyWhatWasStored) {
    db.SetRaw(L"APCTRLDATA\\T", L"TWO", TVRDB_TYPE_BINARY, {0x34, 0x12});
    db.SetRaw(L"APCTRLDATA\\T", L"NONE", TVRDB_TYPE_BINARY, {});
    db.SetRaw(L"APCTRLDATA\\T", L"SIX", TVRDB_TYPE_BINARY, {1, 0, 0, 0, 9, 9});
    DBAccess access;
    TVRDB_HDB handle = nullptr;
    ASSERT_EQ(access.OpenDB(&handle), 0);
    TVRDB_HKEY key = nullptr;
    ASSERT_EQ(access.OpenKey(handle, L"APCTRLDATA\\T", &key), 0);
    EXPECT_EQ(access.GetDwordValue(handle, key, L"TWO"), 0x1234);
    EXPECT_EQ(access.GetDwordValue(handle, key, L"NONE"), -1);
    EXPECT_EQ(access.GetDwordValue(handle, key, L"SIX"), 1);
    EXPECT_EQ(access.GetDwordValue(handle, key, L"MISSING"), -1);
    EXPECT_EQ(access.GetDwordValue(handle, nullptr, L"TWO"), -1);
    EXPECT_EQ(access.GetStringValueCrypt(handle, key, L"MISSING"), L"");
    EXPECT_TRUE(access.CryptEnabled()); // nothing was decrypted
    access.CloseKey(handle, &key);
    EXPECT_EQ(access.CloseKey(handle, &key), 13);
    access.CloseDB(&handle);
    EXPECT_EQ(access.CloseDB(&handle), 13);
    EXPECT_EQ(access.OpenKey(nullptr, L"X", &key), 13);
}

TEST(AppDataEnumeration, ResetsTheLengthAndSkipsEmptyNames) {
    DbApi api = LibraryDbApi();
    api.EnumKey = &EnumWithGaps;
    DBAccess access(api);
    std::vector<std::wstring> names;
    int dummy = 0;
    EXPECT_EQ(access.EnumKey(nullptr, reinterpret_cast<TVRDB_HKEY>(&dummy), names), 4);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], L"K\\A");
    EXPECT_EQ(names[1], L"K\\B");
}

TEST(AnyItemCheck, NeverDiscardsControlsWithCaptions) {
    DBRegData reg;
    CDataItem filled;
    filled.NAME = L" ";
    filled.controls.push_back(std::make_unique<CDataCtrl>(1, 0, L"user", 0));
    filled.controls.push_back(std::make_unique<CDataCtrl>(2, 0, L"pass", 0));
    reg.RunAnyItemCheck(filled);
    ASSERT_EQ(filled.controls.size(), 2u);
    EXPECT_EQ(filled.controls[1]->CAPTION, L"pass");

    CDataItem damaged;
    damaged.NAME = L" ";
    damaged.controls.push_back(std::make_unique<CDataCtrl>(1, 0, L"", 0));
    reg.RunAnyItemCheck(damaged);
    ASSERT_EQ(damaged.controls.size(), 3u);
    EXPECT_TRUE(reg.CheckAnyItem(damaged));

    CDataItem named;
    named.NAME = L"mine";
    reg.RunAnyItemCheck(named);
    EXPECT_TRUE(named.controls.empty());
}

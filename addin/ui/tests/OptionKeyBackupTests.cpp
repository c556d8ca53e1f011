// The option tests change the prefix user's stored options: what they found
// must be what they leave, missing values and a missing key included.
#include "OptionDlgFixture.h"

#include <gtest/gtest.h>

namespace {

// Whether the option key holds a value of this name (-1: cannot tell).
int HasValue(CExpData& store, const wchar_t* name) {
    ZentripCell* db = nullptr;
    if (!store.OpenDB(&db)) return -1;
    ZentripCell* key = nullptr;
    int has = -1;
    if (store.OpenKey(db, kOptionKeyPath, &key) == 0) {
        DWORD type = 0;
        DWORD size = 0;
        has = store.Zentrip_QueryValue(db, key, name, &type, nullptr, &size) == 0 ? 1 : 0;
        store.CloseKey(db, &key);
    }
    store.CloseDB(&db);
    return has;
}

bool DeleteValue(CExpData& store, const wchar_t* name) {
    ZentripCell* db = nullptr;
    if (!store.OpenDB(&db)) return false;
    ZentripCell* key = nullptr;
    bool deleted = false;
    if (store.OpenKey(db, kOptionKeyPath, &key) == 0) {
        deleted = store.Zentrip_DeleteValue(db, key, name) == 0;
        store.CloseKey(db, &key);
    }
    store.CloseDB(&db);
    return deleted;
}

} // namespace

TEST_F(OptionDialog, TheOptionKeyIsPutBackAsItWasFound) {
    CExpData store;
    Backup().Write(MakeOptions({1, 0, 0, 1, 0, 1, 0}));
    ASSERT_TRUE(DeleteValue(store, L"SETAUTO"));

    {
        OptionKeyBackup inner;
        ASSERT_TRUE(inner.Saved());
        inner.Write(MakeOptions({0, 1, 1, 0, 1, 0, 1}));
    }
    CDataOption stored;
    ASSERT_TRUE(Backup().Read(stored));
    EXPECT_EQ(Flags(stored), (std::array<std::int32_t, 7>{1, 0, 1, 1, 0, 1, 0}))
        << "the written values go back; the missing one reads as its default";
    EXPECT_EQ(HasValue(store, L"SETAUTO"), 0) << "a value that was missing stays missing";
    EXPECT_EQ(HasValue(store, L"HIDEPWD"), 1);

    {
        OptionKeyBackup inner;
        ASSERT_TRUE(inner.Saved());
        ASSERT_TRUE(inner.RemoveKey());
    }
    EXPECT_EQ(Backup().KeyState(), 1) << "a removed key comes back";
    ASSERT_TRUE(Backup().Read(stored));
    EXPECT_EQ(Flags(stored), (std::array<std::int32_t, 7>{1, 0, 1, 1, 0, 1, 0}));

    ASSERT_TRUE(Backup().RemoveKey());
    {
        OptionKeyBackup inner;
        ASSERT_TRUE(inner.Saved());
        inner.Write(MakeOptions({0, 0, 1, 1, 0, 0, 1}));
    }
    EXPECT_EQ(Backup().KeyState(), 0) << "a key that was not there goes again";
}

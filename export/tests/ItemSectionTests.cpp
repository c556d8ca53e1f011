#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ItemSections.h"

using namespace vantrel;

namespace {

// Sections written into a temporary file, read back.
class ItemSectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t dir[MAX_PATH];
        GetTempPathW(MAX_PATH, dir);
        path = std::wstring(dir) + L"vantrel_item_sections.csv";
        file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                           nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
    }
    void TearDown() override {
        CloseHandle(file);
        DeleteFileW(path.c_str());
    }
    WriteResult Write(const CheckedItem& item) {
        ExportSink sink(file);
        CExportWriter writer(store, sink);
        return SectionFor(store, item)(writer);
    }
    std::string Contents() {
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        std::string bytes(GetFileSize(file, nullptr), '\0');
        DWORD read = 0;
        if (!bytes.empty())
            ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
        return bytes;
    }

    CExportStore store;
    std::wstring path;
    HANDLE file = INVALID_HANDLE_VALUE;
};

} // namespace

TEST_F(ItemSectionTest, GroupsAndUnknownTypesWriteNothing) {
    for (int type : {0, 16, 17, 20, 32, 80, 96, 97, 98, 200})
        EXPECT_EQ(Write(CheckedItem{type}), WriteResult::Nothing) << type;
    // An application item without its record.
    EXPECT_EQ(Write(CheckedItem{99}), WriteResult::Nothing);
    EXPECT_TRUE(Contents().empty());
}

TEST_F(ItemSectionTest, WebFormItemFoundByItsTreeHandle) {
    auto page = std::make_unique<WebPageNode>();
    page->TITLE = L"会員ログイン";
    page->URL = L"https://login.example.jp/members";
    page->UPDATEDATE = L"2026/12/01 09:30:00";
    auto form = std::make_unique<WebItemNode>();
    form->NAME = L"ログイン";
    form->FORMNAME = L"loginForm";
    int handle = 0;
    form->treeItem = &handle;
    auto control = std::make_unique<WebControlNode>();
    control->kind = D_WEB_CTRL_TEXT;
    control->record = WebValueRecord::Text;
    control->NAME = L"user";
    control->VALUE = L"taro";
    form->controls.push_back(std::move(control));
    page->items.push_back(std::move(form));
    store.Pages().push_back(std::move(page));

    int other = 0;
    EXPECT_EQ(Write(CheckedItem{18, &other}), WriteResult::Nothing);
    EXPECT_EQ(Write(CheckedItem{18, nullptr}), WriteResult::Nothing);
    EXPECT_TRUE(Contents().empty());
    EXPECT_EQ(Write(CheckedItem{18, &handle}), WriteResult::Written);
    const std::string text = Contents();
    EXPECT_EQ(text.rfind("\"1\",", 0), 0u) << text;
    EXPECT_NE(text.find("https://login.example.jp/members"), std::string::npos) << text;
    EXPECT_NE(text.find("\"loginForm\""), std::string::npos) << text;
}

TEST_F(ItemSectionTest, UnsetPolicyWritesNothing) {
    // The store as constructed holds -1 for every policy.
    for (int type = 33; type <= 41; ++type)
        EXPECT_EQ(Write(CheckedItem{type}), WriteResult::Nothing) << type;
}

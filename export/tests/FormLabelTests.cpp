#include <gtest/gtest.h>

#include <memory>

#include "FormLabels.h"
#include "PolicyItems.h"

using namespace vantrel;

namespace {

WebPageNode PageOf(std::initializer_list<std::pair<const wchar_t*, const wchar_t*>> forms) {
    WebPageNode page;
    for (const auto& form : forms) {
        auto item = std::make_unique<WebItemNode>();
        item->NAME = form.first;
        item->FORMNAME = form.second;
        page.items.push_back(std::move(item));
    }
    return page;
}

DWORD TVRDB_CALL NoDatabase(TVRDB_HDB* db, DWORD, LPCWSTR) {
    *db = nullptr;
    return 2;
}

} // namespace

TEST(PolicyItems, WithoutThePolicyListEveryPolicyIsShownUnlabelled) {
    DbApi missing = {};
    missing.OpenDBEx = &NoDatabase;
    CGetDB lists(missing);
    lists.LoadPolicies();
    const std::vector<PolicyItem> items = MakePolicyItems(lists);
    ASSERT_EQ(items.size(), 8u);
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].type, 33 + static_cast<int>(i));
        EXPECT_EQ(items[i].label, L"");
    }
}

TEST(FormLabels, UnnamedFormsNumberedFromTwo) {
    WebPageNode page = PageOf({{L"", L""}, {L"", L""}, {L"", L""}});
    const auto labels = MakeFormLabels(page);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(labels[0], L"名前なし(未登録)");
    EXPECT_EQ(labels[1], L"名前なし2(未登録)");
    EXPECT_EQ(labels[2], L"名前なし3(未登録)");
}

TEST(FormLabels, FormNameMadeDistinctAndStored) {
    WebPageNode page =
        PageOf({{L"login", L""}, {L"login1", L""}, {L"", L"login"}, {L"search", L""}});
    const auto labels = MakeFormLabels(page);
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_EQ(labels[0], L"login");
    // "login" and "login1" are taken before it: the number 2 is appended.
    EXPECT_EQ(labels[2], L"login2(未登録)");
    EXPECT_EQ(page.items[2]->FORMNAME, L"login2");
    EXPECT_EQ(labels[3], L"search");
}

TEST(FormLabels, FormNameKeptWhenNothingBeforeMatches) {
    // Only NAMEs shown before the form count.
    WebPageNode page = PageOf({{L"", L"pay"}, {L"pay", L""}});
    const auto labels = MakeFormLabels(page);
    EXPECT_EQ(labels[0], L"pay(未登録)");
    EXPECT_EQ(page.items[0]->FORMNAME, L"pay");
    EXPECT_EQ(labels[1], L"pay");
}

TEST(FormLabels, StoredTextIsNeverAFormat) {
    EXPECT_EQ(FillFormat(L"%s(未登録)", L"100%s%d%n"), L"100%s%d%n(未登録)");
    EXPECT_EQ(FillFormat(L"名前なし%d(未登録)", L"7"), L"名前なし7(未登録)");
    EXPECT_EQ(FillFormat(L"no format", L"x"), L"no format");
}

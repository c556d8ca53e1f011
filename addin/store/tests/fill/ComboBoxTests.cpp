// The toolbar's entry list: the named entries stored for the page and its
// frames in a real drop-down combo box, with their pages' URLs as item data.
#include "FillFixture.h"
#include "LoginEntry.h"

namespace {

class EntryComboBox : public FillFixture {
protected:
    void SetUp() override {
        FillFixture::SetUp();
        m_combo.reset(::CreateWindowExW(0, L"COMBOBOX", L"",
                                        WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 0, 0,
                                        200, 200, TopWindow(), nullptr, nullptr, nullptr));
        ASSERT_TRUE(m_combo);
    }
    void TearDown() override {
        CExpData::DeleteComboBoxItem(m_combo.get());
        m_combo.reset();
        FillFixture::TearDown();
    }

    // Stores named entries (name, automatic) for the page.
    void StoreEntries(const std::wstring& page,
                      std::initializer_list<std::pair<const wchar_t*, int>> entries) {
        StorePage(PageUrl(page), 0, [&](CDataWebForm& form) {
            for (const auto& [name, automatic] : entries) {
                CDataWebItem& item = form.AddItem();
                MakeLoginEntry(item, name);
                item.m_nAutoInput = automatic;
            }
        });
    }
    struct Line {
        std::wstring text;
        std::wstring url;
        bool operator==(const Line& other) const { return text == other.text && url == other.url; }
    };
    std::vector<Line> Lines() const {
        std::vector<Line> lines;
        const LRESULT count = ::SendMessageW(m_combo.get(), CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            ::SendMessageW(m_combo.get(), CB_GETLBTEXT, static_cast<WPARAM>(i),
                           reinterpret_cast<LPARAM>(text));
            const LRESULT data =
                ::SendMessageW(m_combo.get(), CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
            const auto* url = reinterpret_cast<const std::wstring*>(data);
            lines.push_back({text, data == CB_ERR || !url ? L"<none>" : *url});
        }
        return lines;
    }
    LRESULT Selection() const { return ::SendMessageW(m_combo.get(), CB_GETCURSEL, 0, 0); }

    torva::UniqueWindow m_combo;
};

} // namespace

TEST_F(EntryComboBox, NamedEntriesOfThePageAndItsFramesAreListedWithTheirPagesUrls) {
    StoreEntries(L"frames.html", {{L"top", 0}});
    StorePage(PageUrl(L"side.html"), 0, [](CDataWebForm& page) {
        MakeLoginEntry(page.AddItem(), L"side");
        page.m_items.back()->m_nAutoInput = 0;
        MakeLoginEntry(page.AddItem(), L""); // a form stored without a name
        page.m_items.back()->m_nAutoInput = 1;
    });
    StoreEntries(L"login.html", {{L"first", 1}, {L"second", 0}, {L"third", 1}, {L"fourth", 0}});
    Show(L"frames.html");
    Store().m_nCryptUsable = 1;

    EXPECT_TRUE(Store().SetComboBox(m_combo.get(), Browser()));

    const std::wstring login = PageUrl(L"login.html");
    EXPECT_EQ(Lines(), (std::vector<Line>{{L"top", PageUrl(L"frames.html")},
                                          {L"side", PageUrl(L"side.html")},
                                          {L"first", login},
                                          {L"second", login},
                                          {L"third", login},
                                          {L"fourth", login}}));
    EXPECT_EQ(Store().m_nPreselectedIndex, 4) << "the last automatic entry";
    EXPECT_EQ(Selection(), 4);
    EXPECT_TRUE(::IsWindowEnabled(m_combo.get()));
    EXPECT_EQ(Store().m_nCryptUsable, 1) << "loaded without decryption, flag put back";
}

TEST_F(EntryComboBox, WithoutAnAutomaticEntryTheFirstLineIsSelected) {
    StoreEntries(L"login.html", {{L"one", 0}, {L"two", 0}});
    Show(L"login.html");
    Store().m_nPreselectedIndex = 7;

    EXPECT_TRUE(Store().SetComboBox(m_combo.get(), Browser()));

    EXPECT_EQ(Lines().size(), 2u);
    EXPECT_EQ(Store().m_nPreselectedIndex, -1);
    EXPECT_EQ(Selection(), 0);
}

TEST_F(EntryComboBox, TwoFramesShowingOnePageListItsEntriesOnce) {
    StoreEntries(L"side.html", {{L"only", 1}});
    Show(L"twins.html");

    std::vector<std::wstring> urls;
    CExpData::GetURLName(Top(), urls);
    EXPECT_EQ(urls, (std::vector<std::wstring>{PageUrl(L"twins.html"), PageUrl(L"side.html")}));

    EXPECT_TRUE(Store().SetComboBox(m_combo.get(), Browser()));
    EXPECT_EQ(Lines(), (std::vector<Line>{{L"only", PageUrl(L"side.html")}}));
    EXPECT_EQ(Store().m_nPreselectedIndex, 0);
}

TEST_F(EntryComboBox, UrlsComeDepthFirstEachFrameFollowedByItsOwnFrames) {
    Show(L"nested.html");
    std::vector<std::wstring> urls{PageUrl(L"side.html")}; // already listed: kept where it is
    CExpData::GetURLName(Top(), urls);
    EXPECT_EQ(urls, (std::vector<std::wstring>{PageUrl(L"side.html"), PageUrl(L"nested.html"),
                                               PageUrl(L"frames.html"), PageUrl(L"login.html"),
                                               PageUrl(L"noform.html")}));
}

TEST_F(EntryComboBox, RefillReplacesTheOldLinesAndNothingStoredLeavesItEmptyAndEnabled) {
    StoreEntries(L"login.html", {{L"old", 1}});
    Show(L"login.html");
    ASSERT_TRUE(Store().SetComboBox(m_combo.get(), Browser()));
    ASSERT_EQ(Lines().size(), 1u);

    Show(L"noform.html");
    EXPECT_FALSE(Store().SetComboBox(m_combo.get(), Browser()));
    EXPECT_TRUE(Lines().empty());
    EXPECT_EQ(Store().m_nPreselectedIndex, -1);
    EXPECT_TRUE(::IsWindowEnabled(m_combo.get()));

    Show(L"login.html");
    ASSERT_TRUE(Store().SetComboBox(m_combo.get(), Browser()));
    EXPECT_FALSE(Store().SetComboBox(m_combo.get(), nullptr)) << "no browser";
    EXPECT_TRUE(Lines().empty());
    EXPECT_TRUE(::IsWindowEnabled(m_combo.get()));
    EXPECT_FALSE(Store().SetComboBox(nullptr, Browser())) << "no box";
}

TEST_F(EntryComboBox, DeleteEmptiesTheBoxAndForgetsEveryUrl) {
    StoreEntries(L"login.html", {{L"a", 0}, {L"b", 1}});
    Show(L"login.html");
    ASSERT_TRUE(Store().SetComboBox(m_combo.get(), Browser()));
    ASSERT_EQ(Lines().size(), 2u);

    CExpData::DeleteComboBoxItem(m_combo.get());
    EXPECT_EQ(::SendMessageW(m_combo.get(), CB_GETCOUNT, 0, 0), 0);
    CExpData::DeleteComboBoxItem(m_combo.get()); // an empty box: nothing to free
    CExpData::DeleteComboBoxItem(nullptr);
    EXPECT_EQ(::SendMessageW(m_combo.get(), CB_GETCOUNT, 0, 0), 0);
}

// The click sink's reading of the live page, run directly on a sink the band
// attached: which form a button submits and how the form compares with a
// stored page.
#include "CaptureFixture.h"

#include "LoginEntry.h"

namespace {

// A page holding one entry of capture.html's form "member" that build may
// change; owned by the caller.
std::unique_ptr<CDataWebForm> MemberPage(const std::function<void(CDataWebItem&)>& change) {
    auto page = std::make_unique<CDataWebForm>();
    CDataWebItem& item = page->AddItem();
    MakeMember(item, L"会員", L"", L"");
    change(item);
    return page;
}

CDataWebCtrl* Ctrl(CDataWebItem& item, const wchar_t* name) {
    for (auto& ctrl : item.m_ctrls)
        if (ctrl->m_strName == name) return ctrl.get();
    return nullptr;
}

} // namespace

class CaptureForm : public CaptureFixture {
protected:
    void SetUp() override {
        CaptureFixture::SetUp();
        CreateBand();
    }
    CComPtr<CSubmitButtonEventSink> ShowAndTake(const wchar_t* page, const wchar_t* button) {
        Show(page);
        CComPtr<CSubmitButtonEventSink> sink = SinkOf(button);
        EXPECT_TRUE(sink);
        return sink;
    }
};

TEST_F(CaptureForm, TheUntouchedFormIsTheStoredEntryAndEachKindOfChangeIsSeen) {
    CComPtr<CSubmitButtonEventSink> sink = ShowAndTake(L"capture.html", L"go");
    ASSERT_TRUE(sink);
    int itemNum = -1;
    ASSERT_EQ(sink->GetSubmitNum(sink->snum, &itemNum), 1);
    EXPECT_EQ(itemNum, 1);
    EXPECT_TRUE(sink->CheckPassword(1));
    EXPECT_FALSE(sink->CheckPassword(0));
    EXPECT_FALSE(sink->CheckPassword(-1)) << "no such form";

    struct Case {
        const char* what;
        std::function<void(CDataWebItem&)> change;
        int expected;
    };
    const std::vector<Case> cases = {
        {"as stored", [](CDataWebItem&) {}, 1},
        {"radio checked elsewhere",
         [](CDataWebItem& i) {
             Ctrl(i, L"plan")->SelValue()->m_elements[0]->m_nSelect = 0;
             Ctrl(i, L"plan")->SelValue()->m_elements[2]->m_nSelect = 1;
         },
         0},
        {"radio value renamed",
         [](CDataWebItem& i) { Ctrl(i, L"plan")->SelValue()->m_elements[1]->m_strValue = L"x"; },
         -2},
        {"select option count changed",
         [](CDataWebItem& i) { Ctrl(i, L"pref")->SelValue()->m_elements.pop_back(); }, 0},
        {"select option text changed",
         [](CDataWebItem& i) { Ctrl(i, L"pref")->SelValue()->m_elements[0]->m_strText = L"壱"; },
         -2},
        {"text area rows changed",
         [](CDataWebItem& i) { Ctrl(i, L"note")->MultiValue()->m_nRows = 4; }, -2},
        {"button value changed",
         [](CDataWebItem& i) { Ctrl(i, L"go")->ButtonValue()->m_strValue = L"Go"; }, -2},
        {"image alt changed",
         [](CDataWebItem& i) { Ctrl(i, L"img")->ButtonValue()->m_strValue = L"x"; }, -2},
        {"form name changed", [](CDataWebItem& i) { i.m_strFormName = L"other"; }, -2},
        {"unnamed entry", [](CDataWebItem& i) { i.m_strName.clear(); }, -1},
        // Faults: choice controls without their choices are a changed
        // structure, never a read past the end.
        {"radio without a choice record", [](CDataWebItem& i) { Ctrl(i, L"plan")->DeleteValue(); },
         -2},
        {"radio with no choices",
         [](CDataWebItem& i) { Ctrl(i, L"plan")->SelValue()->RemoveAll(); }, -2},
        {"check box without a choice record",
         [](CDataWebItem& i) { Ctrl(i, L"keep")->DeleteValue(); }, -2},
        {"check box with no choices",
         [](CDataWebItem& i) { Ctrl(i, L"keep")->SelValue()->RemoveAll(); }, -2},
        {"select without a record", [](CDataWebItem& i) { Ctrl(i, L"pref")->DeleteValue(); }, -2},
        {"text without a record", [](CDataWebItem& i) { Ctrl(i, L"user")->DeleteValue(); }, -2},
        {"entry without controls", [](CDataWebItem& i) { i.RemoveAllCtrls(); }, 0},
        {"unnamed entry without controls",
         [](CDataWebItem& i) {
             i.RemoveAllCtrls();
             i.m_strName.clear();
         },
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto page = MemberPage(c.change);
        EXPECT_EQ(sink->CheakFormData(page.get(), 1, itemNum), c.expected);
        EXPECT_EQ(sink->CheakFormData(page.get(), 1, 0), c.expected);
    }

    // Fewer entries than the item number: only this form was registered,
    // the search form before it not.
    auto page = MemberPage([](CDataWebItem&) {});
    EXPECT_EQ(sink->CheakFormData(page.get(), 1, 1), 1);
    CDataWebForm empty;
    EXPECT_EQ(sink->CheakFormData(&empty, 1, 1), -2) << "a page left without entries";
    // An entry without controls beside an identical one: one identical.
    page->AddItem().m_nIndex = 1;
    page->m_items.back()->m_strName = L"空";
    page->m_items.back()->m_strFormName = L"member";
    EXPECT_EQ(sink->CheakFormData(page.get(), 1, 0), 1);
}

TEST_F(CaptureForm, ItemNumbersCountOnlyTheFormsTheCaptureStores) {
    CComPtr<CSubmitButtonEventSink> login = ShowAndTake(L"capture-mixed.html", L"go");
    CComPtr<CSubmitButtonEventSink> banner = SinkOf(L"ad");
    ASSERT_TRUE(login && banner);
    int itemNum = -1;
    // The banner's image alone makes no item; the comment's text area does.
    login->Options().m_nNoMultiText = 0;
    EXPECT_EQ(login->GetSubmitNum(login->snum, &itemNum), 2);
    EXPECT_EQ(itemNum, 1);
    EXPECT_EQ(banner->GetSubmitNum(banner->snum, &itemNum), 0);
    EXPECT_EQ(itemNum, 0);
    // NOMULTITEXT: the capture stores no text area, so the comment form
    // makes no item either.
    login->Options().m_nNoMultiText = 1;
    EXPECT_EQ(login->GetSubmitNum(login->snum, &itemNum), 2);
    EXPECT_EQ(itemNum, 0);
}

TEST_F(CaptureForm, UnderNoMultiTextThePagesTextAreasArePassedOver) {
    CComPtr<CSubmitButtonEventSink> sink = ShowAndTake(L"capture-mixed.html", L"go");
    ASSERT_TRUE(sink);
    // As the capture stores the login form under NOMULTITEXT.
    CDataWebForm page;
    CDataWebItem& item = page.AddItem();
    item.m_strName = L"ログイン";
    item.m_strFormName = L"login";
    item.m_nIndex = 2;
    AddCtrl(item, D_WEB_CTRL_TEXT, L"user").TextValue()->m_nDataLen = -1;
    AddCtrl(item, D_WEB_CTRL_SUBMIT, L"go").ButtonValue()->m_strValue = L"Login";

    sink->Options().m_nNoMultiText = 1;
    EXPECT_EQ(sink->CheakFormData(&page, 2, 0), 1);
    sink->Options().m_nNoMultiText = 0;
    EXPECT_EQ(sink->CheakFormData(&page, 2, 0), -2) << "a text area the entry lacks";

    // Forms without an entry: the comment form, which the capture stores,
    // is one the page gained; the banner's image button alone makes no item
    // on any page, so its form without one shows no change.
    EXPECT_EQ(sink->CheakFormData(&page, 1, 0), -2);
    EXPECT_EQ(sink->CheakFormData(&page, 0, 0), 0);
    sink->Options().m_nNoMultiText = 1;
    EXPECT_EQ(sink->CheakFormData(&page, 1, 0), 0) << "no item for a text area left out";
}

TEST_F(CaptureForm, UnderNoMultiTextAnUnchangedPageAsksNothing) {
    WriteOptions(1, 1, 0, 1);
    StorePage(CapturePage(L"capture-mixed.html"), [](CDataWebForm& page) {
        CDataWebItem& item = page.AddItem();
        item.m_strName = L"ログイン";
        item.m_strFormName = L"login";
        item.m_nIndex = 2;
        AddCtrl(item, D_WEB_CTRL_TEXT, L"user").TextValue()->m_nDataLen = -1;
        AddCtrl(item, D_WEB_CTRL_SUBMIT, L"go").ButtonValue()->m_strValue = L"Login";
    });
    Show(L"capture-mixed.html");
    ScriptedUser user({});
    ClickOn(L"go");
    EXPECT_EQ(user.Finish(), std::vector<std::wstring>{});
    FinishNavigation();
}

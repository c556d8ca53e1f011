// Between programs: what the add-in's store writes through its relay, the
// manager loads; what the manager saves, the add-in loads and fills into a
// page.
#include "MgrSaveFixture.h"
#include "StoreTestSupport.h"

#include "FormFiller.h"
#include "FormMatcher.h"
#include "HtmlCom.h"

#include <memory>

namespace {

class MgrCross : public MgrSaveFixture {
protected:
    static void SetUpTestSuite() {
        UseRelayBesideTestProgram();
        s_store = std::make_unique<CExpData>();
    }
    static void TearDownTestSuite() { s_store.reset(); }
    void TearDown() override {
        for (auto& page : m_pages)
            (void)Store().DeleteWebPageData(page.get());
        MgrSaveFixture::TearDown();
    }
    // A page stored by the add-in.
    CDataWebForm& StoreByAddin(const std::wstring& tag,
                               const std::function<void(CDataWebItem&)>& fill) {
        m_pages.push_back(std::make_unique<CDataWebForm>());
        CDataWebForm& page = *m_pages.back();
        page.m_strUrl = L"https://example.jp/" + ScratchKeyName() + L"/" + tag;
        page.m_strTitle = L"題 " + tag;
        page.m_strUpdateDate = kOldDate;
        fill(page.AddItem());
        EXPECT_EQ(Store().SetWebPageData(&page, nullptr), 0);
        EXPECT_FALSE(page.m_strKey.empty());
        return page;
    }
    static CExpData& Store() { return *s_store; }
    static std::unique_ptr<CExpData> s_store;
    std::vector<std::unique_ptr<CDataWebForm>> m_pages;
};

std::unique_ptr<CExpData> MgrCross::s_store;

// The values that the add-in's fill-in puts into a live login form.
std::vector<std::wstring> FillLoginForm(const CDataWebItem& entry) {
    auto page = torva::browser::HtmlDocument::FromMarkup(
        L"about:blank",
        L"<html><body><form><input type=text name=user><input type=password name=pw>"
        L"</form></body></html>");
    CComPtr<IHTMLElementCollection> forms;
    auto* document = static_cast<IHTMLDocument2*>(page.get());
    if (FAILED(document->get_forms(&forms)) || !forms) return {};
    CComPtr<IHTMLElement> form;
    if (FAILED(FormMatcher::ElementAt(forms, 0, &form))) return {};
    CComPtr<IHTMLFormElement> elements;
    long count = 0;
    if (FAILED(FormControls(form, elements, count))) return {};
    FormMatch match;
    FormMatcher matcher(elements, count);
    if (FAILED(matcher.Match(entry, match)) || match.mismatch) return {};
    FormFiller filler(elements);
    long button = -1;
    if (FAILED(filler.Fill(entry, match, FormFiller::Options{}, button))) return {};
    std::vector<std::wstring> values;
    for (long p = 0; p < count; ++p) {
        CComPtr<IHTMLElement> element;
        if (FAILED(FormMatcher::ElementAt(elements, p, &element))) continue;
        CComPtr<IHTMLInputElement> input;
        element->QueryInterface(IID_IHTMLInputElement, reinterpret_cast<void**>(&input));
        if (!input) continue;
        BSTR value = nullptr;
        input->get_value(&value);
        values.emplace_back(value ? value : L"");
        ::SysFreeString(value);
    }
    return values;
}

} // namespace

TEST_F(MgrCross, PageStoredByTheAddinLoadsInTheManager) {
    CDataWebForm& stored = StoreByAddin(L"toMgr", [](CDataWebItem& item) {
        FillEveryKind(item, L"main");
        AddCtrl(item, D_WEB_CTRL_PSWD, L"pw2"); // an empty password
    });
    TestDlg& dlg = Load();
    CDataWebForm* page = Page(stored.m_strKey);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->m_strUrl, stored.m_strUrl);
    EXPECT_EQ(page->m_strTitle, stored.m_strTitle);
    ASSERT_EQ(page->m_items.size(), 1u);
    const CDataWebItem& original = *stored.m_items[0];
    const CDataWebItem& loaded = *page->m_items[0];
    EXPECT_EQ(loaded.m_strName, L"main");
    EXPECT_EQ(loaded.m_nState, 0);
    EXPECT_EQ(loaded.m_nAutoInput, 1);
    ASSERT_EQ(loaded.m_ctrls.size(), original.m_ctrls.size());
    for (size_t i = 0; i < original.m_ctrls.size(); ++i) {
        const CDataWebCtrl& a = *original.m_ctrls[i];
        const CDataWebCtrl& b = *loaded.m_ctrls[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(b.m_nType, a.m_nType);
        EXPECT_EQ(b.m_strName, a.m_strName);
        EXPECT_EQ(b.m_strKey, a.m_strKey);
        if (a.TextValue()) {
            ASSERT_TRUE(b.TextValue());
            EXPECT_EQ(b.TextValue()->m_strValue, a.TextValue()->m_strValue);
            EXPECT_EQ(b.TextValue()->m_nDataLen, a.TextValue()->m_nDataLen);
            EXPECT_EQ(b.TextValue()->m_nNotDecrypted, 0);
        } else if (a.SelValue()) {
            ASSERT_TRUE(b.SelValue());
            EXPECT_EQ(b.SelValue()->m_nMultiple, a.SelValue()->m_nMultiple);
            ASSERT_EQ(b.SelValue()->m_elements.size(), a.SelValue()->m_elements.size());
            for (size_t j = 0; j < a.SelValue()->m_elements.size(); ++j) {
                EXPECT_EQ(b.SelValue()->m_elements[j]->m_strValue,
                          a.SelValue()->m_elements[j]->m_strValue);
                EXPECT_EQ(b.SelValue()->m_elements[j]->m_nSelect,
                          a.SelValue()->m_elements[j]->m_nSelect);
            }
        } else if (a.MultiValue()) {
            ASSERT_TRUE(b.MultiValue());
            EXPECT_EQ(b.MultiValue()->m_strText, a.MultiValue()->m_strText);
        } else if (a.ButtonValue()) {
            ASSERT_TRUE(b.ButtonValue());
            EXPECT_EQ(b.ButtonValue()->m_strValue, a.ButtonValue()->m_strValue);
            EXPECT_EQ(b.ButtonValue()->m_nSelected, a.ButtonValue()->m_nSelected);
        }
    }
    (void)dlg;
}

TEST_F(MgrCross, WhatTheManagerSavesLoadsAndFillsInTheAddin) {
    CDataWebForm& stored = StoreByAddin(L"toAddin", Named(L"main"));
    TestDlg& dlg = Load();
    CDataWebForm* page = Page(stored.m_strKey);
    ASSERT_NE(page, nullptr);
    CDataWebItem* item = page->m_items[0].get();
    ASSERT_EQ(item->m_ctrls[1]->TextValue()->m_strValue, L"p-main");
    CDataWebItem* copy = dlg.CopyWebItem(page, *item, dlg.CreateCopyName(page, L"main"));
    PreviewPage preview(L"<input type=text name=user value=\"u-main\">"
                        L"<input type=password name=pw value=\"p-main\">");
    preview.Bind(dlg, *item);
    preview.SetText(L"user", L"新しい人");
    preview.SetText(L"pw", L"新しいパス");
    Show(item);
    ASSERT_TRUE(dlg.SetWebFormData());

    std::unique_ptr<CDataWebForm> reloaded(Store().GetWebPageData(stored.m_strUrl, 1));
    ASSERT_NE(reloaded, nullptr);
    ASSERT_EQ(reloaded->m_items.size(), 2u);
    const CDataWebItem& edited = *reloaded->m_items[0];
    const CDataWebItem& copied = *reloaded->m_items[1];
    EXPECT_EQ(edited.m_strName, L"main");
    EXPECT_EQ(copied.m_strName, copy->m_strName);
    EXPECT_EQ(copied.m_strKey, copy->m_strKey);
    EXPECT_EQ(FillLoginForm(edited), (std::vector<std::wstring>{L"新しい人", L"新しいパス"}));
    EXPECT_EQ(FillLoginForm(copied), (std::vector<std::wstring>{L"u-main", L"p-main"}));
}

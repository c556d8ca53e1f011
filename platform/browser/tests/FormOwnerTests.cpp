// A form opened inside a table cell and closed in a later one, as log-in
// pages write it: the cell's end closes the form element, yet the controls
// up to "</form>" are the form's, as a browser's parser assigns them.
#include "TestPages.h"

#include "PageHost.h"

using namespace browser_test;
using torva::browser::HtmlDocument;
using torva::browser::HtmlNode;

namespace {

class SubmitHost : public torva::browser::PageHost {
public:
    void NavigateFromPage(HtmlDocument&, const std::wstring& to, const std::string&,
                          const std::wstring&) override {
        url = to;
        ++navigations;
    }
    void ControlChanged(HtmlDocument&, HtmlNode&) override {}
    HRESULT TranslateKey(const MSG&) override { return S_FALSE; }
    std::wstring url;
    int navigations = 0;
};

const wchar_t kCellForms[] =
    L"<html><body><table><tr>"
    L"<td><form name=login action=\"done.html\"><input name=user value=yamada></td>"
    L"<td><input type=password name=pass value=pw><input type=radio name=r value=1 checked>"
    L"</td></tr><tr><td><input type=radio name=r value=2 checked>"
    L"<input type=submit name=go value=\"Sign in\"></form></td></tr></table>"
    L"<input name=outside>"
    L"<form name=search action=\"find.html\"><input name=q></form>"
    L"</body></html>";

class FormOwner : public BrowserTest {
protected:
    void Open(const wchar_t* markup) {
        page = HtmlDocument::FromMarkup(PageUrl(L"cells.html"), markup);
        page->SetHost(&host);
        doc = ComPtr<IHTMLDocument2>(page.get());
    }
    void TearDown() override {
        if (page) page->Close();
        doc.reset();
        page.reset();
        BrowserTest::TearDown();
    }
    ComPtr<IHTMLFormElement> Form(long index) {
        ComPtr<IHTMLElementCollection> forms;
        EXPECT_EQ(doc->get_forms(forms.put()), S_OK);
        VARIANT i, none;
        i.vt = VT_I4;
        i.lVal = index;
        VariantInit(&none);
        ComPtr<IDispatch> f;
        if (FAILED(forms->item(i, none, f.put())) || !f) return nullptr;
        return f.As<IHTMLFormElement>(IID_IHTMLFormElement);
    }
    std::wstring FormNameOf(const wchar_t* control) {
        auto input = Element<IHTMLInputElement>(doc.get(), control, IID_IHTMLInputElement);
        if (!input) return L"<no control>";
        ComPtr<IHTMLFormElement> form;
        EXPECT_EQ(input->get_form(form.put()), S_OK);
        if (!form) return L"<none>";
        BSTR name = nullptr;
        form->get_name(&name);
        return Str(name);
    }

    SubmitHost host;
    ComPtr<HtmlDocument> page;
    ComPtr<IHTMLDocument2> doc;
};

} // namespace

TEST_F(FormOwner, ControlsOfLaterCellsBelongToTheFormUpToItsEndTag) {
    Open(kCellForms);
    auto login = Form(0);
    ASSERT_TRUE(login);
    LONG length = 0;
    ASSERT_EQ(login->get_length(&length), S_OK);
    EXPECT_EQ(length, 5); // user, pass, both radios, go
    VARIANT name, none;
    name.vt = VT_BSTR;
    name.bstrVal = SysAllocString(L"pass");
    VariantInit(&none);
    ComPtr<IDispatch> pass;
    EXPECT_EQ(login->item(name, none, pass.put()), S_OK);
    EXPECT_TRUE(pass);
    VariantClear(&name);
    EXPECT_EQ(FormNameOf(L"user"), L"login");
    EXPECT_EQ(FormNameOf(L"pass"), L"login");
    EXPECT_EQ(FormNameOf(L"go"), L"login");
    EXPECT_EQ(FormNameOf(L"outside"), L"<none>");
    // Its all collection holds only what lies inside the FORM element, which
    // the first cell's end closed: the user field alone.
    auto element = login.As<IHTMLElement>(IID_IHTMLElement);
    ASSERT_TRUE(element);
    ComPtr<IDispatch> inside;
    ASSERT_EQ(element->get_all(inside.put()), S_OK);
    auto all = inside.As<IHTMLElementCollection>(IID_IHTMLElementCollection);
    ASSERT_TRUE(all);
    ASSERT_EQ(all->get_length(&length), S_OK);
    EXPECT_EQ(length, 1);
    // The end tag ends the ownership: the next form is a form of its own.
    EXPECT_EQ(FormNameOf(L"q"), L"search");
    auto search = Form(1);
    ASSERT_TRUE(search);
    ASSERT_EQ(search->get_length(&length), S_OK);
    EXPECT_EQ(length, 1);
}

TEST_F(FormOwner, SubmitButtonInALaterCellSubmitsTheWholeForm) {
    Open(kCellForms);
    auto go = Element<IHTMLElement>(doc.get(), L"go", IID_IHTMLElement);
    ASSERT_TRUE(go);
    ASSERT_EQ(go->click(), S_OK);
    ASSERT_EQ(host.navigations, 1);
    // One radio group across the cells: the later checked one wins.
    EXPECT_EQ(host.url, PageUrl(L"done.html") + L"?user=yamada&pass=pw&r=2&go=Sign+in");
}

TEST_F(FormOwner, FormStartedWhileAnotherOwnsControlsIsDropped) {
    Open(L"<table><tr><td><form name=a action=\"a.html\"></td>"
         L"<td><form name=b action=\"b.html\"><input name=x><input type=submit name=s value=Go>"
         L"</form></td></tr></table>");
    ComPtr<IHTMLElementCollection> forms;
    ASSERT_EQ(doc->get_forms(forms.put()), S_OK);
    LONG count = 0;
    ASSERT_EQ(forms->get_length(&count), S_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(FormNameOf(L"x"), L"a");
    Element<IHTMLElement>(doc.get(), L"s", IID_IHTMLElement)->click();
    ASSERT_EQ(host.navigations, 1);
    EXPECT_EQ(host.url, PageUrl(L"a.html") + L"?x=&s=Go");
}

#include "TestPages.h"

#include <climits>

using namespace browser_test;
using torva::browser::HtmlDocument;

namespace {

class Controls : public BrowserTest {
protected:
    void SetUp() override {
        BrowserTest::SetUp();
        page = HtmlDocument::Load(PagePath(L"controls.html"));
        doc = ComPtr<IHTMLDocument2>(page.get());
    }
    void TearDown() override {
        doc.reset();
        page.reset();
        BrowserTest::TearDown();
    }
    template <typename T> ComPtr<T> Get(const wchar_t* name, REFIID iid, long index = 0) {
        auto r = Element<T>(doc.get(), name, iid, index);
        EXPECT_TRUE(r) << "no " << name;
        return r;
    }

    ComPtr<HtmlDocument> page;
    ComPtr<IHTMLDocument2> doc;
};

template <typename T> std::wstring Read(T* obj, HRESULT (STDMETHODCALLTYPE T::*get)(BSTR*)) {
    BSTR s = nullptr;
    EXPECT_EQ((obj->*get)(&s), S_OK);
    return Str(s);
}

VARIANT_BOOL Checked(IHTMLInputElement* e) {
    VARIANT_BOOL b = 2;
    EXPECT_EQ(e->get_checked(&b), S_OK);
    return b;
}

BSTR B(const wchar_t* s) {
    return SysAllocString(s);
}

} // namespace

TEST_F(Controls, TextInputReadsAndWritesThroughBothInterfaces) {
    auto in = Get<IHTMLInputElement>(L"user", IID_IHTMLInputElement);
    auto text = Get<IHTMLInputTextElement>(L"user", IID_IHTMLInputTextElement);
    ASSERT_TRUE(in && text);
    EXPECT_EQ(Read(in.get(), &IHTMLInputElement::get_type), L"text");
    EXPECT_EQ(Read(in.get(), &IHTMLInputElement::get_name), L"user");
    EXPECT_EQ(Read(text.get(), &IHTMLInputTextElement::get_value), L"alice");
    LONG max = 0;
    ASSERT_EQ(text->get_maxLength(&max), S_OK);
    EXPECT_EQ(max, 20);
    BSTR v = B(L"bob");
    ASSERT_EQ(in->put_value(v), S_OK);
    SysFreeString(v);
    EXPECT_EQ(Read(text.get(), &IHTMLInputTextElement::get_value), L"bob");
    EXPECT_EQ(Read(in.get(), &IHTMLInputElement::get_defaultValue), L"alice"); // the markup stays
}

TEST_F(Controls, TypeIsLowerCaseTextByDefaultAndMaxLengthUnlimited) {
    auto page2 = HtmlDocument::FromMarkup(
        L"about:blank", L"<input name=a><input name=b TYPE=PassWord maxlength=x>");
    ComPtr<IHTMLDocument2> d(page2.get());
    auto a = Element<IHTMLInputElement>(d.get(), L"a", IID_IHTMLInputElement);
    auto b = Element<IHTMLInputElement>(d.get(), L"b", IID_IHTMLInputElement);
    EXPECT_EQ(Read(a.get(), &IHTMLInputElement::get_type), L"text");
    EXPECT_EQ(Read(b.get(), &IHTMLInputElement::get_type), L"password");
    LONG max = 0;
    a->get_maxLength(&max);
    EXPECT_EQ(max, LONG_MAX);
    b->get_maxLength(&max);
    EXPECT_EQ(max, LONG_MAX);
}

TEST_F(Controls, TextInterfaceOnlyForTypedTextKinds) {
    EXPECT_TRUE(Element<IHTMLInputTextElement>(doc.get(), L"pass", IID_IHTMLInputTextElement));
    EXPECT_FALSE(Element<IHTMLInputTextElement>(doc.get(), L"token", IID_IHTMLInputTextElement));
    EXPECT_FALSE(Element<IHTMLInputTextElement>(doc.get(), L"plan", IID_IHTMLInputTextElement));
    EXPECT_FALSE(Element<IHTMLInputTextElement>(doc.get(), L"go", IID_IHTMLInputTextElement));
    EXPECT_FALSE(Element<IHTMLInputImage>(doc.get(), L"go", IID_IHTMLInputImage));
    EXPECT_TRUE(Element<IHTMLInputButtonElement>(doc.get(), L"go", IID_IHTMLInputButtonElement));
    EXPECT_TRUE(Element<IHTMLInputImage>(doc.get(), L"pic", IID_IHTMLInputImage));
    EXPECT_TRUE(Element<IHTMLInputElement>(doc.get(), L"token", IID_IHTMLInputElement));
}

TEST_F(Controls, ImageInputGivesNameAltAndResolvedSrc) {
    auto img = Get<IHTMLInputImage>(L"pic", IID_IHTMLInputImage);
    auto in = Get<IHTMLInputElement>(L"pic", IID_IHTMLInputElement);
    EXPECT_EQ(Read(img.get(), &IHTMLInputImage::get_name), L"pic");
    EXPECT_EQ(Read(img.get(), &IHTMLInputImage::get_alt), L"Go!");
    EXPECT_EQ(Read(in.get(), &IHTMLInputElement::get_alt), L"Go!");
    EXPECT_EQ(Read(img.get(), &IHTMLInputImage::get_type), L"image");
    EXPECT_EQ(Read(img.get(), &IHTMLInputImage::get_src), PageUrl(L"go.png"));
}

TEST_F(Controls, RadioGroupKeepsOneChoice) {
    auto basic = Get<IHTMLInputElement>(L"plan", IID_IHTMLInputElement, 0);
    auto pro = Get<IHTMLInputElement>(L"plan", IID_IHTMLInputElement, 1);
    auto team = Get<IHTMLInputElement>(L"plan", IID_IHTMLInputElement, 2);
    EXPECT_EQ(Checked(basic.get()), VARIANT_TRUE);
    ASSERT_EQ(pro->put_checked(VARIANT_TRUE), S_OK);
    EXPECT_EQ(Checked(basic.get()), VARIANT_FALSE);
    EXPECT_EQ(Checked(pro.get()), VARIANT_TRUE);
    ASSERT_EQ(team->put_status(VARIANT_TRUE), S_OK); // status is the same state
    VARIANT_BOOL st = 0;
    pro->get_status(&st);
    EXPECT_EQ(st, VARIANT_FALSE);
    EXPECT_EQ(Checked(team.get()), VARIANT_TRUE);
    auto teamElem = team.As<IHTMLElement>(IID_IHTMLElement);
    auto basicElem = basic.As<IHTMLElement>(IID_IHTMLElement);
    ASSERT_EQ(basicElem->click(), S_OK);
    EXPECT_EQ(Checked(basic.get()), VARIANT_TRUE);
    EXPECT_EQ(Checked(team.get()), VARIANT_FALSE);
}

TEST_F(Controls, RadioGroupsAreSeparatedByForm) {
    auto p = HtmlDocument::FromMarkup(L"about:blank",
                                      L"<form><input type=radio name=r value=1 checked></form>"
                                      L"<form><input type=radio name=r value=2 checked></form>");
    ComPtr<IHTMLDocument2> d(p.get());
    EXPECT_EQ(Checked(Element<IHTMLInputElement>(d.get(), L"r", IID_IHTMLInputElement, 0).get()),
              VARIANT_TRUE);
    EXPECT_EQ(Checked(Element<IHTMLInputElement>(d.get(), L"r", IID_IHTMLInputElement, 1).get()),
              VARIANT_TRUE);
}

TEST_F(Controls, CheckboxTicksAndClickToggles) {
    auto remember = Get<IHTMLInputElement>(L"remember", IID_IHTMLInputElement);
    auto news = Get<IHTMLInputElement>(L"news", IID_IHTMLInputElement);
    EXPECT_EQ(Checked(remember.get()), VARIANT_TRUE);
    EXPECT_EQ(Checked(news.get()), VARIANT_FALSE);
    EXPECT_EQ(Read(news.get(), &IHTMLInputElement::get_value),
              L"on"); // a box without value sends "on"
    ASSERT_EQ(news->put_checked(VARIANT_TRUE), S_OK);
    EXPECT_EQ(Checked(remember.get()), VARIANT_TRUE); // boxes of other names are untouched
    remember.As<IHTMLElement>(IID_IHTMLElement)->click();
    EXPECT_EQ(Checked(remember.get()), VARIANT_FALSE);
    VARIANT_BOOL def = 0;
    remember->get_defaultChecked(&def);
    EXPECT_EQ(def, VARIANT_TRUE);
}

TEST_F(Controls, SingleSelectOptionsAndSelection) {
    auto sel = Get<IHTMLSelectElement>(L"lang", IID_IHTMLSelectElement);
    EXPECT_EQ(Read(sel.get(), &IHTMLSelectElement::get_name), L"lang");
    EXPECT_EQ(Read(sel.get(), &IHTMLSelectElement::get_type), L"select-one");
    VARIANT_BOOL multiple = 2;
    sel->get_multiple(&multiple);
    EXPECT_EQ(multiple, VARIANT_FALSE);
    LONG n = 0, index = 0;
    sel->get_length(&n);
    EXPECT_EQ(n, 3);
    sel->get_selectedIndex(&index);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(Read(sel.get(), &IHTMLSelectElement::get_value), L"ja");
    VARIANT i, none;
    i.vt = VT_I4;
    i.lVal = 2;
    VariantInit(&none);
    ComPtr<IDispatch> item;
    ASSERT_EQ(sel->item(i, none, item.put()), S_OK);
    auto opt = item.As<IHTMLOptionElement>(IID_IHTMLOptionElement);
    ASSERT_TRUE(opt);
    EXPECT_EQ(Read(opt.get(), &IHTMLOptionElement::get_text), L"Deutsch");
    EXPECT_EQ(Read(opt.get(), &IHTMLOptionElement::get_value), L"Deutsch"); // no value: the text
    ASSERT_EQ(opt->put_selected(VARIANT_TRUE), S_OK);
    sel->get_selectedIndex(&index);
    EXPECT_EQ(index, 2);
    i.lVal = 1;
    ComPtr<IDispatch> jaItem;
    sel->item(i, none, jaItem.put());
    VARIANT_BOOL selected = 2;
    jaItem.As<IHTMLOptionElement>(IID_IHTMLOptionElement)->get_selected(&selected);
    EXPECT_EQ(selected, VARIANT_FALSE);
    EXPECT_EQ(Read(jaItem.As<IHTMLOptionElement>(IID_IHTMLOptionElement).get(),
                   &IHTMLOptionElement::get_text),
              L"日本語");
    ASSERT_EQ(sel->put_selectedIndex(0), S_OK);
    EXPECT_EQ(Read(sel.get(), &IHTMLSelectElement::get_value), L"en");
    BSTR v = B(L"ja");
    sel->put_value(v);
    SysFreeString(v);
    sel->get_selectedIndex(&index);
    EXPECT_EQ(index, 1);
}

TEST_F(Controls, MultipleSelectKeepsSeveralChoices) {
    auto sel = Get<IHTMLSelectElement>(L"tags", IID_IHTMLSelectElement);
    VARIANT_BOOL multiple = 0;
    sel->get_multiple(&multiple);
    EXPECT_EQ(multiple, VARIANT_TRUE);
    EXPECT_EQ(Read(sel.get(), &IHTMLSelectElement::get_type), L"select-multiple");
    auto option = [&](long k) {
        VARIANT i, none;
        i.vt = VT_I4;
        i.lVal = k;
        VariantInit(&none);
        ComPtr<IDispatch> d;
        sel->item(i, none, d.put());
        return d.As<IHTMLOptionElement>(IID_IHTMLOptionElement);
    };
    auto selected = [&](long k) {
        VARIANT_BOOL b = 2;
        option(k)->get_selected(&b);
        return b == VARIANT_TRUE;
    };
    EXPECT_TRUE(selected(0));
    EXPECT_FALSE(selected(1));
    EXPECT_TRUE(selected(2));
    option(1)->put_selected(VARIANT_TRUE);
    EXPECT_TRUE(selected(0) && selected(1) && selected(2));
    option(0)->put_selected(VARIANT_FALSE);
    EXPECT_FALSE(selected(0));
    LONG index = -2;
    sel->get_selectedIndex(&index);
    EXPECT_EQ(index, 1);
}

TEST_F(Controls, TextAreaValueRowsAndCols) {
    auto ta = Get<IHTMLTextAreaElement>(L"note", IID_IHTMLTextAreaElement);
    EXPECT_EQ(Read(ta.get(), &IHTMLTextAreaElement::get_name), L"note");
    EXPECT_EQ(Read(ta.get(), &IHTMLTextAreaElement::get_value),
              L"first line"); // leading newline dropped
    EXPECT_EQ(Read(ta.get(), &IHTMLTextAreaElement::get_type), L"textarea");
    LONG rows = 0, cols = 0;
    ta->get_rows(&rows);
    ta->get_cols(&cols);
    EXPECT_EQ(rows, 4);
    EXPECT_EQ(cols, 30);
    BSTR v = B(L"two\r\nlines");
    ASSERT_EQ(ta->put_value(v), S_OK);
    SysFreeString(v);
    EXPECT_EQ(Read(ta.get(), &IHTMLTextAreaElement::get_value), L"two\r\nlines");
    auto plain = HtmlDocument::FromMarkup(L"about:blank", L"<textarea name=t></textarea>");
    ComPtr<IHTMLDocument2> d(plain.get());
    auto t = Element<IHTMLTextAreaElement>(d.get(), L"t", IID_IHTMLTextAreaElement);
    t->get_rows(&rows);
    t->get_cols(&cols);
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(cols, 20);
}

TEST_F(Controls, CommentTextKeepsItsDelimiters) {
    ComPtr<IHTMLElementCollection> all;
    doc->get_all(all.put());
    VARIANT tag;
    tag.vt = VT_BSTR;
    tag.bstrVal = B(L"!");
    ComPtr<IDispatch> comments;
    ASSERT_EQ(all->tags(tag, comments.put()), S_OK);
    SysFreeString(tag.bstrVal);
    auto coll = comments.As<IHTMLElementCollection>(IID_IHTMLElementCollection);
    VARIANT zero, none;
    zero.vt = VT_I4;
    zero.lVal = 0;
    VariantInit(&none);
    ComPtr<IDispatch> first;
    ASSERT_EQ(coll->item(zero, none, first.put()), S_OK);
    auto comment = first.As<IHTMLCommentElement>(IID_IHTMLCommentElement);
    ASSERT_TRUE(comment);
    EXPECT_EQ(Read(comment.get(), &IHTMLCommentElement::get_text), L"<!--password-->");
}

TEST_F(Controls, FormGivesNameActionLengthAndItems) {
    ComPtr<IHTMLElementCollection> forms;
    ASSERT_EQ(doc->get_forms(forms.put()), S_OK);
    VARIANT zero, one, none;
    zero.vt = one.vt = VT_I4;
    zero.lVal = 0;
    one.lVal = 1;
    VariantInit(&none);
    ComPtr<IDispatch> f0, f1;
    forms->item(zero, none, f0.put());
    forms->item(one, none, f1.put());
    auto login = f0.As<IHTMLFormElement>(IID_IHTMLFormElement);
    auto search = f1.As<IHTMLFormElement>(IID_IHTMLFormElement);
    ASSERT_TRUE(login && search);
    EXPECT_EQ(Read(login.get(), &IHTMLFormElement::get_name), L"login");
    BSTR none2 = nullptr;
    search->get_name(&none2);
    EXPECT_EQ(none2, nullptr); // no name attribute: null
    EXPECT_EQ(Read(login.get(), &IHTMLFormElement::get_action), L"done.html");
    EXPECT_EQ(Read(search.get(), &IHTMLFormElement::get_method), L"post");
    LONG n = 0;
    login->get_length(&n);
    EXPECT_EQ(n, 14); // user pass token, 3 radios, 2 boxes, 2 selects, textarea, submit image reset
    VARIANT name;
    name.vt = VT_BSTR;
    name.bstrVal = B(L"pass");
    ComPtr<IDispatch> pass;
    ASSERT_EQ(login->item(name, none, pass.put()), S_OK);
    SysFreeString(name.bstrVal);
    EXPECT_EQ(TagName(pass.get()), L"INPUT");
}

TEST_F(Controls, FormsItemsAndAllOfTheFormReachTheSameInputs) {
    ComPtr<IHTMLElementCollection> forms;
    doc->get_forms(forms.put());
    VARIANT zero, none;
    zero.vt = VT_I4;
    zero.lVal = 0;
    VariantInit(&none);
    ComPtr<IDispatch> f;
    forms->item(zero, none, f.put());
    auto form = f.As<IHTMLFormElement>(IID_IHTMLFormElement);
    ComPtr<IDispatch> allDisp;
    f.As<IHTMLElement>(IID_IHTMLElement)->get_all(allDisp.put());
    auto all = allDisp.As<IHTMLElementCollection>(IID_IHTMLElementCollection);
    std::vector<ComPtr<IUnknown>> viaForm, viaAll; // held, so addresses stay unique
    LONG n = 0;
    form->get_length(&n);
    for (LONG i = 0; i < n; ++i) {
        VARIANT k;
        k.vt = VT_I4;
        k.lVal = i;
        ComPtr<IDispatch> e;
        form->item(k, none, e.put());
        if (auto in = e.As<IHTMLInputElement>(IID_IHTMLInputElement))
            viaForm.push_back(in.As<IUnknown>(IID_IUnknown));
    }
    all->get_length(&n);
    for (LONG i = 0; i < n; ++i) {
        VARIANT k;
        k.vt = VT_I4;
        k.lVal = i;
        ComPtr<IDispatch> e;
        all->item(k, none, e.put());
        if (auto in = e.As<IHTMLInputElement>(IID_IHTMLInputElement))
            viaAll.push_back(in.As<IUnknown>(IID_IUnknown));
    }
    EXPECT_EQ(viaForm.size(), 11u);
    ASSERT_EQ(viaForm.size(), viaAll.size());
    for (size_t i = 0; i < viaForm.size(); ++i)
        EXPECT_EQ(viaForm[i].get(), viaAll[i].get()) << i;
}

TEST_F(Controls, InputKnowsItsForm) {
    auto user = Get<IHTMLInputElement>(L"user", IID_IHTMLInputElement);
    ComPtr<IHTMLFormElement> form;
    ASSERT_EQ(user->get_form(form.put()), S_OK);
    ASSERT_TRUE(form);
    EXPECT_EQ(Read(form.get(), &IHTMLFormElement::get_name), L"login");
}

#include "TestPages.h"

#include "HtmlDocument.h"

using namespace browser_test;
using torva::browser::HtmlDocument;

namespace {

class Document : public BrowserTest {};

ComPtr<IHTMLDocument2> Doc(const ComPtr<HtmlDocument>& d) {
    return ComPtr<IHTMLDocument2>(d.get());
}

LONG Length(IHTMLElementCollection* c) {
    LONG n = -1;
    EXPECT_EQ(c->get_length(&n), S_OK);
    return n;
}

ComPtr<IHTMLDocument2> FrameDocument(IHTMLDocument2* doc, long index) {
    ComPtr<IHTMLFramesCollection2> frames;
    if (FAILED(doc->get_frames(frames.put()))) return nullptr;
    VARIANT i, result;
    i.vt = VT_I4;
    i.lVal = index;
    VariantInit(&result);
    if (FAILED(frames->item(&i, &result)) || result.vt != VT_DISPATCH) return nullptr;
    auto window = ComPtr<IDispatch>::Adopt(result.pdispVal).As<IHTMLWindow2>(IID_IHTMLWindow2);
    ComPtr<IHTMLDocument2> d;
    if (!window || FAILED(window->get_document(d.put()))) return nullptr;
    return d;
}

} // namespace

TEST_F(Document, ReportsUrlTitleReadyStateAndBody) {
    auto page = HtmlDocument::Load(PagePath(L"controls.html"));
    auto doc = Doc(page);
    EXPECT_EQ(Str([&] {
                  BSTR s = nullptr;
                  doc->get_URL(&s);
                  return s;
              }()),
              PageUrl(L"controls.html"));
    EXPECT_EQ(Str([&] {
                  BSTR s = nullptr;
                  doc->get_title(&s);
                  return s;
              }()),
              L"Sign in & more");
    EXPECT_EQ(Str([&] {
                  BSTR s = nullptr;
                  doc->get_readyState(&s);
                  return s;
              }()),
              L"complete");
    ComPtr<IHTMLElement> body;
    ASSERT_EQ(doc->get_body(body.put()), S_OK);
    EXPECT_EQ(TagName(body.get()), L"BODY");
    EXPECT_FALSE(page->LoadFailed());
}

TEST_F(Document, MissingFileGivesAnErrorPageAtThatUrl) {
    auto page = HtmlDocument::Load(L"C:\\no\\such\\page.html");
    EXPECT_TRUE(page->LoadFailed());
    EXPECT_EQ(page->url(), L"file:///C:/no/such/page.html");
    EXPECT_EQ(page->Title(), L"This page cannot be displayed");
}

TEST_F(Document, AboutBlankHasAnEmptyBodyAndNoForms) {
    auto doc = Doc(HtmlDocument::Load(L"about:blank"));
    ComPtr<IHTMLElementCollection> forms;
    ASSERT_EQ(doc->get_forms(forms.put()), S_OK);
    EXPECT_EQ(Length(forms.get()), 0);
    BSTR url = nullptr;
    doc->get_URL(&url);
    EXPECT_EQ(Str(url), L"about:blank");
}

TEST_F(Document, AllListsElementsAndCommentsInDocumentOrder) {
    auto doc = Doc(HtmlDocument::FromMarkup(L"about:blank", L"<p>a<!--c--><b>x</b>"));
    ComPtr<IHTMLElementCollection> all;
    ASSERT_EQ(doc->get_all(all.put()), S_OK);
    std::wstring tags;
    for (LONG i = 0; i < Length(all.get()); ++i) {
        VARIANT n, none;
        n.vt = VT_I4;
        n.lVal = i;
        VariantInit(&none);
        ComPtr<IDispatch> e;
        ASSERT_EQ(all->item(n, none, e.put()), S_OK);
        tags += TagName(e.get()) + L" ";
    }
    EXPECT_EQ(tags, L"HTML HEAD BODY P ! B ");
    auto comment = ElementDispatch(doc.get(), L"", 0); // no element has an empty name
    EXPECT_FALSE(comment);
}

TEST_F(Document, CollectionItemByNameIndexAndTags) {
    auto doc = Doc(HtmlDocument::Load(PagePath(L"controls.html")));
    ComPtr<IHTMLElementCollection> all;
    ASSERT_EQ(doc->get_all(all.put()), S_OK);
    VARIANT name, none;
    name.vt = VT_BSTR;
    name.bstrVal = SysAllocString(L"plan");
    VariantInit(&none);
    ComPtr<IDispatch> group;
    ASSERT_EQ(all->item(name, none, group.put()), S_OK); // three radios: a collection
    auto radios = group.As<IHTMLElementCollection>(IID_IHTMLElementCollection);
    ASSERT_TRUE(radios);
    EXPECT_EQ(Length(radios.get()), 3);
    VARIANT second;
    second.vt = VT_I4;
    second.lVal = 1;
    ComPtr<IDispatch> pro;
    ASSERT_EQ(all->item(name, second, pro.put()), S_OK);
    auto input = pro.As<IHTMLInputElement>(IID_IHTMLInputElement);
    BSTR v = nullptr;
    input->get_value(&v);
    EXPECT_EQ(Str(v), L"pro");
    SysFreeString(name.bstrVal);

    VARIANT tag;
    tag.vt = VT_BSTR;
    tag.bstrVal = SysAllocString(L"SELECT");
    ComPtr<IDispatch> selects;
    ASSERT_EQ(all->tags(tag, selects.put()), S_OK);
    EXPECT_EQ(Length(selects.As<IHTMLElementCollection>(IID_IHTMLElementCollection).get()), 2);
    SysFreeString(tag.bstrVal);

    VARIANT missing;
    missing.vt = VT_BSTR;
    missing.bstrVal = SysAllocString(L"nothing");
    ComPtr<IDispatch> none2;
    EXPECT_EQ(all->item(missing, none, none2.put()), S_OK);
    EXPECT_FALSE(none2);
    SysFreeString(missing.bstrVal);
}

TEST_F(Document, SameNodeGivesTheSameObject) {
    auto doc = Doc(HtmlDocument::Load(PagePath(L"controls.html")));
    auto a = ElementDispatch(doc.get(), L"user", 0);
    auto b = ElementDispatch(doc.get(), L"user", 0);
    ComPtr<IUnknown> ua = a.As<IUnknown>(IID_IUnknown), ub = b.As<IUnknown>(IID_IUnknown);
    EXPECT_EQ(ua.get(), ub.get());
}

TEST_F(Document, ElementBasicsTagParentAttributeAll) {
    auto doc = Doc(HtmlDocument::Load(PagePath(L"controls.html")));
    auto user = Element<IHTMLElement>(doc.get(), L"user", IID_IHTMLElement);
    ASSERT_TRUE(user);
    BSTR s = nullptr;
    user->get_tagName(&s);
    EXPECT_EQ(Str(s), L"INPUT");
    ComPtr<IHTMLElement> parent;
    ASSERT_EQ(user->get_parentElement(parent.put()), S_OK);
    EXPECT_EQ(TagName(parent.get()), L"FORM");
    VARIANT v;
    BSTR attr = SysAllocString(L"MAXLENGTH");
    ASSERT_EQ(user->getAttribute(attr, 0, &v), S_OK);
    EXPECT_EQ(v.vt, VT_BSTR);
    EXPECT_EQ(Str(v.bstrVal), L"20");
    SysFreeString(attr);
    attr = SysAllocString(L"nope");
    ASSERT_EQ(user->getAttribute(attr, 0, &v), S_OK);
    EXPECT_EQ(v.vt, VT_NULL);
    SysFreeString(attr);

    ComPtr<IDispatch> formAll;
    ASSERT_EQ(parent->get_all(formAll.put()), S_OK);
    auto coll = formAll.As<IHTMLElementCollection>(IID_IHTMLElementCollection);
    EXPECT_GT(Length(coll.get()), 10);
    // An element that is not a control answers none of the control interfaces.
    ComPtr<IHTMLInputElement> notInput =
        ComPtr<IHTMLElement>(parent).As<IHTMLInputElement>(IID_IHTMLInputElement);
    EXPECT_FALSE(notInput);
}

TEST_F(Document, UnlistedMethodsAnswerNotImplemented) {
    auto doc = Doc(HtmlDocument::Load(PagePath(L"controls.html")));
    BSTR s = nullptr;
    EXPECT_EQ(doc->get_cookie(&s), E_NOTIMPL);
    auto user = Element<IHTMLElement>(doc.get(), L"user", IID_IHTMLElement);
    EXPECT_EQ(user->get_outerHTML(&s), E_NOTIMPL);
}

TEST_F(Document, FramesLoadFromSrcAndNest) {
    auto doc = Doc(HtmlDocument::Load(PagePath(L"frames.html")));
    ComPtr<IHTMLFramesCollection2> frames;
    ASSERT_EQ(doc->get_frames(frames.put()), S_OK);
    LONG n = 0;
    ASSERT_EQ(frames->get_length(&n), S_OK);
    EXPECT_EQ(n, 3); // frames of nested framesets count in the top document
    auto left = FrameDocument(doc.get(), 0);
    auto top = FrameDocument(doc.get(), 1);
    auto bottom = FrameDocument(doc.get(), 2);
    ASSERT_TRUE(left && top && bottom);
    BSTR url = nullptr;
    bottom->get_URL(&url);
    EXPECT_EQ(Str(url), PageUrl(L"inner/holder.html"));
    auto inline_ = FrameDocument(bottom.get(), 0);
    ASSERT_TRUE(inline_);
    inline_->get_URL(&url);
    EXPECT_EQ(Str(url), PageUrl(L"done.html")); // resolved against the frame's own URL
    ComPtr<IHTMLElementCollection> forms;
    top->get_forms(forms.put());
    EXPECT_EQ(Length(forms.get()), 2);
    EXPECT_FALSE(FrameDocument(doc.get(), 3));
    ComPtr<IHTMLElement> body;
    doc->get_body(body.put());
    EXPECT_EQ(TagName(body.get()), L"FRAMESET");
}

TEST_F(Document, FrameItemByName) {
    auto doc = Doc(HtmlDocument::Load(PagePath(L"frames.html")));
    ComPtr<IHTMLFramesCollection2> frames;
    ASSERT_EQ(doc->get_frames(frames.put()), S_OK);
    VARIANT name, result;
    name.vt = VT_BSTR;
    name.bstrVal = SysAllocString(L"left");
    VariantInit(&result);
    ASSERT_EQ(frames->item(&name, &result), S_OK);
    SysFreeString(name.bstrVal);
    auto window = ComPtr<IDispatch>::Adopt(result.pdispVal).As<IHTMLWindow2>(IID_IHTMLWindow2);
    ComPtr<IHTMLDocument2> left;
    ASSERT_EQ(window->get_document(left.put()), S_OK);
    BSTR title = nullptr;
    left->get_title(&title);
    EXPECT_EQ(Str(title), L"Left");
}

TEST_F(Document, PageThatFramesItselfStopsAtTheDepthLimit) {
    auto page = HtmlDocument::Load(PagePath(L"self.html"));
    int depth = 0;
    for (HtmlDocument* d = page.get(); !d->frames().empty(); d = d->frames()[0].document.get())
        ++depth;
    EXPECT_EQ(depth, 9);
}

TEST_F(Document, ElementsOutliveTheirDocumentReference) {
    ComPtr<IHTMLInputElement> user;
    {
        auto doc = Doc(HtmlDocument::Load(PagePath(L"controls.html")));
        user = Element<IHTMLInputElement>(doc.get(), L"user", IID_IHTMLInputElement);
    }
    BSTR v = nullptr;
    ASSERT_EQ(user->get_value(&v), S_OK);
    EXPECT_EQ(Str(v), L"alice");
}

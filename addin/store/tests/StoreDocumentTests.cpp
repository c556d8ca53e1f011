// The store's document search and element tests on real pages of the
// browser layer: frames, inline frames and every kind of form control.
#include "CExpData.h"
#include "ProgramFolder.h"

#include "CComPtr.h"
#include "HtmlDocument.h"
#include "LiveObjects.h"
#include "PageSource.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using torva::browser::HtmlDocument;
using torva::browser::LiveObjects;

std::wstring PagePath(const std::wstring& name) {
    return torva::ProgramFolder() + L"store-pages\\" + name;
}

std::wstring PageUrl(const std::wstring& name) {
    return torva::browser::CanonicalUrl(PagePath(name));
}

std::wstring Url(IHTMLDocument2* document) {
    BSTR url = nullptr;
    if (FAILED(document->get_URL(&url))) return L"<failed>";
    std::wstring text(url ? url : L"");
    SysFreeString(url);
    return text;
}

CComPtr<IHTMLDocument2> Frame(IHTMLDocument2* document, long index) {
    CComPtr<IHTMLDocument2> frame;
    CComPtr<IHTMLFramesCollection2> frames;
    if (FAILED(document->get_frames(&frames))) return frame;
    VARIANT i, item;
    VariantInit(&i);
    VariantInit(&item);
    i.vt = VT_I4;
    i.lVal = index;
    if (FAILED(frames->item(&i, &item)) || item.vt != VT_DISPATCH) return frame;
    CComPtr<IHTMLWindow2> window;
    item.pdispVal->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void**>(&window));
    VariantClear(&item);
    if (window) window->get_document(&frame);
    return frame;
}

bool SameObject(IUnknown* a, IUnknown* b) {
    CComPtr<IUnknown> ua, ub;
    a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ua));
    b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&ub));
    return ua && ua.p == ub.p;
}

class StoreDocument : public ::testing::Test {
protected:
    void SetUp() override {
        m_before = LiveObjects::Count();
        m_page = HtmlDocument::Load(PagePath(L"top.html"));
        ASSERT_TRUE(m_page);
        m_top = static_cast<IHTMLDocument2*>(m_page.get());
    }
    void TearDown() override {
        m_top.Release();
        m_page.reset();
        EXPECT_EQ(LiveObjects::Count(), m_before) << "a document reference was leaked";
    }

    long m_before = 0;
    torva::browser::ComPtr<HtmlDocument> m_page;
    CComPtr<IHTMLDocument2> m_top;
};

} // namespace

TEST_F(StoreDocument, TheTopPageIsFoundByItsOwnUrl) {
    CComPtr<IHTMLDocument2> found;
    found.p = CExpData::GetHtmlDocument(m_top, PageUrl(L"top.html"));
    ASSERT_TRUE(found);
    EXPECT_TRUE(SameObject(found, m_top));
}

TEST_F(StoreDocument, FramesAreSearchedDepthFirst) {
    // login.html is both the side frame's inline frame and the second frame:
    // depth first, the inline frame inside the first frame comes first.
    CComPtr<IHTMLDocument2> side = Frame(m_top, 0);
    ASSERT_TRUE(side);
    CComPtr<IHTMLDocument2> inner = Frame(side, 0);
    CComPtr<IHTMLDocument2> second = Frame(m_top, 1);
    ASSERT_TRUE(inner && second);
    ASSERT_EQ(Url(inner), PageUrl(L"login.html"));
    ASSERT_EQ(Url(second), PageUrl(L"login.html"));

    CComPtr<IHTMLDocument2> found;
    found.p = CExpData::GetHtmlDocument(m_top, PageUrl(L"login.html"));
    ASSERT_TRUE(found);
    EXPECT_TRUE(SameObject(found, inner));
    EXPECT_FALSE(SameObject(found, second));

    CComPtr<IHTMLDocument2> sideFound;
    sideFound.p = CExpData::GetHtmlDocument(m_top, PageUrl(L"side.html"));
    ASSERT_TRUE(sideFound);
    EXPECT_TRUE(SameObject(sideFound, side));
}

TEST_F(StoreDocument, OnlyAnExactUrlIsFound) {
    std::wstring upper = PageUrl(L"login.html");
    for (auto& c : upper)
        c = static_cast<wchar_t>(towupper(c));
    EXPECT_EQ(CExpData::GetHtmlDocument(m_top, upper), nullptr);
    EXPECT_EQ(CExpData::GetHtmlDocument(m_top, PageUrl(L"login.html") + L"?x"), nullptr);
    EXPECT_EQ(CExpData::GetHtmlDocument(m_top, PageUrl(L"missing.html")), nullptr);
    EXPECT_EQ(CExpData::GetHtmlDocument(nullptr, PageUrl(L"top.html")), nullptr);
    // An empty inline frame is about:blank, and is found as such.
    CComPtr<IHTMLDocument2> blank;
    blank.p = CExpData::GetHtmlDocument(m_top, L"about:blank");
    EXPECT_TRUE(blank);
}

TEST_F(StoreDocument, ElementTestsOnEveryControlOfARealForm) {
    CComPtr<IHTMLDocument2> login;
    login.p = CExpData::GetHtmlDocument(m_top, PageUrl(L"login.html"));
    ASSERT_TRUE(login);
    CComPtr<IHTMLElementCollection> all;
    ASSERT_EQ(login->get_all(&all), S_OK);
    long count = 0;
    ASSERT_EQ(all->get_length(&count), S_OK);

    // What a search for a SELECT makes of each named element: matched,
    // another storable kind, or not storable at all.
    std::map<std::wstring, int> storable;
    int selectsMatched = 0;
    for (long i = 0; i < count; ++i) {
        VARIANT index, none;
        VariantInit(&index);
        VariantInit(&none);
        index.vt = VT_I4;
        index.lVal = i;
        CComPtr<IDispatch> item;
        ASSERT_EQ(all->item(index, none, &item), S_OK);
        CComPtr<IHTMLElement> element;
        item->QueryInterface(IID_IHTMLElement, reinterpret_cast<void**>(&element));
        ASSERT_TRUE(element);
        BSTR tagText = nullptr;
        element->get_tagName(&tagText);
        const std::wstring tag(tagText ? tagText : L"");
        SysFreeString(tagText);
        VARIANT name;
        VariantInit(&name);
        BSTR attribute = SysAllocString(L"name");
        element->getAttribute(attribute, 0, &name);
        SysFreeString(attribute);
        const std::wstring key = name.vt == VT_BSTR && name.bstrVal ? name.bstrVal : L"";
        VariantClear(&name);

        int flag = 0;
        IHTMLElement* handedOver = element;
        handedOver->AddRef(); // the call releases this one
        if (!CExpData::CheckTagName(L"SELECT", tag, &flag, handedOver)) ++selectsMatched;
        if (!key.empty()) storable[key] = flag;
    }
    EXPECT_EQ(selectsMatched, 1);
    for (const wchar_t* kind : {L"user", L"pass", L"r", L"keep", L"note", L"go", L"ok"}) {
        EXPECT_EQ(storable[kind], 1) << "storable: " << std::string(kind, kind + wcslen(kind));
    }
    for (const wchar_t* kind : {L"token", L"b", L"clear", L"upload", L"login"}) {
        EXPECT_EQ(storable[kind], 0) << "not storable: " << std::string(kind, kind + wcslen(kind));
    }
    EXPECT_EQ(storable[L"s"], 0) << "the match itself is not flagged";
}

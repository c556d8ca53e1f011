#include "TestPages.h"

#include "HtmlNode.h"
#include "PageHost.h"

#include <mshtmdid.h>

using namespace browser_test;
using torva::browser::HtmlDocument;
using torva::browser::HtmlNode;

namespace {

// A click sink as an add-in writes one: answers the event interface and
// IDispatch and counts the clicks.
class CountingSink : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_HTMLButtonElementEvents) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* p, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (id == DISPID_EVMETH_ONCLICK && (flags & DISPATCH_METHOD) && p && p->cArgs == 0)
            ++clicks;
        else
            ++others;
        return S_OK;
    }
    long refs = 1; // the test's own
    int clicks = 0;
    int others = 0;
};

// Records what a page asks its browser to do.
class RecordingHost : public torva::browser::PageHost {
public:
    void NavigateFromPage(HtmlDocument&, const std::wstring& url, const std::string& post,
                          const std::wstring& headers) override {
        this->url = url;
        this->post = post;
        this->headers = headers;
        ++navigations;
    }
    void ControlChanged(HtmlDocument&, HtmlNode&) override { ++changes; }
    HRESULT TranslateKey(const MSG& msg) override {
        keys.push_back(static_cast<UINT>(msg.wParam));
        return S_OK;
    }
    std::vector<UINT> keys;
    std::wstring url;
    std::string post;
    std::wstring headers;
    int navigations = 0;
    int changes = 0;
};

class Clicks : public BrowserTest {
protected:
    void SetUp() override {
        BrowserTest::SetUp();
        page = HtmlDocument::Load(PagePath(L"controls.html"));
        page->SetHost(&host);
        doc = ComPtr<IHTMLDocument2>(page.get());
    }
    void TearDown() override {
        page->Close();
        doc.reset();
        page.reset();
        BrowserTest::TearDown();
    }
    [[nodiscard]] DWORD Advise(const wchar_t* name, CountingSink& sink,
                               ComPtr<IConnectionPoint>& cp) {
        auto container =
            Element<IConnectionPointContainer>(doc.get(), name, IID_IConnectionPointContainer);
        EXPECT_TRUE(container);
        EXPECT_EQ(container->FindConnectionPoint(DIID_HTMLButtonElementEvents, cp.put()), S_OK);
        DWORD cookie = 0;
        EXPECT_EQ(cp->Advise(&sink, &cookie), S_OK);
        return cookie;
    }

    RecordingHost host;
    ComPtr<HtmlDocument> page;
    ComPtr<IHTMLDocument2> doc;
};

} // namespace

TEST_F(Clicks, SinkOnSubmitIsCalledOncePerClickAndTheFormIsSubmitted) {
    CountingSink sink;
    ComPtr<IConnectionPoint> cp;
    const DWORD cookie = Advise(L"go", sink, cp);
    EXPECT_EQ(sink.refs, 2); // the connection point holds the sink
    auto go = Element<IHTMLElement>(doc.get(), L"go", IID_IHTMLElement);
    ASSERT_EQ(go->click(), S_OK);
    EXPECT_EQ(sink.clicks, 1);
    EXPECT_EQ(sink.others, 0);
    EXPECT_EQ(host.navigations, 1);
    EXPECT_EQ(host.url,
              PageUrl(L"done.html") +
                  L"?user=alice&pass=&token=t0k&plan=basic&remember=yes&lang=ja&tags=a&tags=c"
                  L"&note=first+line&go=Sign+in");
    go->click();
    EXPECT_EQ(sink.clicks, 2);
    ASSERT_EQ(cp->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.refs, 1);
    go->click();
    EXPECT_EQ(sink.clicks, 2);
    EXPECT_EQ(cp->Unadvise(cookie), CONNECT_E_NOCONNECTION);
}

TEST_F(Clicks, SinksSurviveTheReleaseOfTheElementAndGoWithThePage) {
    CountingSink sink;
    {
        ComPtr<IConnectionPoint> cp;
        (void)Advise(L"pic", sink, cp);
    }
    Element<IHTMLElement>(doc.get(), L"pic", IID_IHTMLElement)->click();
    EXPECT_EQ(sink.clicks, 1);
    page->Close(); // the browser leaves the page
    EXPECT_EQ(sink.refs, 1);
}

TEST_F(Clicks, ImageInputSubmitsItsCoordinates) {
    Element<IHTMLElement>(doc.get(), L"pic", IID_IHTMLElement)->click();
    ASSERT_EQ(host.navigations, 1);
    EXPECT_NE(host.url.find(L"&pic.x=0&pic.y=0"), std::wstring::npos) << host.url;
    EXPECT_EQ(host.url.find(L"go="), std::wstring::npos); // the other button is not sent
}

TEST_F(Clicks, PostFormSendsItsDataAsBody) {
    auto q = Element<IHTMLInputElement>(doc.get(), L"q", IID_IHTMLInputElement);
    BSTR v = SysAllocString(L"a b&c");
    q->put_value(v);
    SysFreeString(v);
    ComPtr<IHTMLElementCollection> forms;
    doc->get_forms(forms.put());
    VARIANT one, none;
    one.vt = VT_I4;
    one.lVal = 1;
    VariantInit(&none);
    ComPtr<IDispatch> f;
    forms->item(one, none, f.put());
    ASSERT_EQ(f.As<IHTMLFormElement>(IID_IHTMLFormElement)->submit(), S_OK);
    EXPECT_EQ(host.url, PageUrl(L"search.html"));
    EXPECT_EQ(host.post, "q=a+b%26c");
    EXPECT_EQ(host.headers, L"Content-Type: application/x-www-form-urlencoded\r\n");
}

TEST_F(Clicks, ResetAndPlainElementsDoNotSubmit) {
    CountingSink sink;
    ComPtr<IConnectionPoint> cp;
    (void)Advise(L"user", sink, cp);
    Element<IHTMLElement>(doc.get(), L"user", IID_IHTMLElement)->click();
    EXPECT_EQ(sink.clicks, 1);
    EXPECT_EQ(host.navigations, 0);
}

TEST_F(Clicks, ChangesThroughTheInterfacesAreReportedToTheHost) {
    auto user = Element<IHTMLInputElement>(doc.get(), L"user", IID_IHTMLInputElement);
    BSTR v = SysAllocString(L"x");
    user->put_value(v);
    SysFreeString(v);
    Element<IHTMLInputElement>(doc.get(), L"news", IID_IHTMLInputElement)
        ->put_checked(VARIANT_TRUE);
    EXPECT_EQ(host.changes, 2);
}

TEST_F(Clicks, DocumentsInPlaceActiveObjectHandsKeysToItsBrowser) {
    ComPtr<IOleInPlaceActiveObject> active;
    ASSERT_EQ(
        doc->QueryInterface(IID_IOleInPlaceActiveObject, reinterpret_cast<void**>(active.put())),
        S_OK);
    MSG down{nullptr, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}},
        up{nullptr, WM_KEYUP, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_EQ(active->TranslateAccelerator(&down), S_OK);
    EXPECT_EQ(active->TranslateAccelerator(&up), S_OK);
    EXPECT_EQ(host.keys, (std::vector<UINT>{VK_RETURN, VK_RETURN}));
    ComPtr<IUnknown> a, b;
    active->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(a.put()));
    doc->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(b.put()));
    EXPECT_EQ(a.get(), b.get());
    page->Close(); // a page no browser shows uses no key
    EXPECT_EQ(active->TranslateAccelerator(&down), S_FALSE);
}

TEST_F(Clicks, UnknownConnectionInterfaceIsRefused) {
    auto container =
        Element<IConnectionPointContainer>(doc.get(), L"go", IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> cp;
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, cp.put()), CONNECT_E_NOCONNECTION);
}

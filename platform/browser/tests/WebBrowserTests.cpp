#include "EventRecorder.h"
#include "TestPages.h"
#include "WebBrowser.h"

#include <mshtmdid.h>

using namespace browser_test;
using BrowserObject = torva::browser::WebBrowser;

namespace {

class Browser : public BrowserTest {
protected:
    void SetUp() override {
        BrowserTest::SetUp();
        browser = BrowserObject::Create();
        wb = ComPtr<IWebBrowser2>(browser.get());
        cookie = recorder.Advise(wb.get());
    }
    void TearDown() override {
        browser->Quit();
        EXPECT_EQ(recorder.refs, 1) << "the browser still holds the sink";
        EXPECT_EQ(recorder.layoutError, L"");
        wb.reset();
        browser.reset();
        BrowserTest::TearDown();
    }
    void Go(const std::wstring& page) {
        BSTR url = SysAllocString(PagePath(page).c_str());
        ASSERT_EQ(wb->Navigate(url, nullptr, nullptr, nullptr, nullptr), S_OK);
        SysFreeString(url);
        ASSERT_TRUE(WaitForLoad(wb.get()));
    }
    ComPtr<IHTMLDocument2> Doc() {
        ComPtr<IDispatch> d;
        wb->get_Document(d.put());
        return d.As<IHTMLDocument2>(IID_IHTMLDocument2);
    }
    std::wstring LocationUrl() {
        BSTR s = nullptr;
        wb->get_LocationURL(&s);
        return Str(s);
    }

    EventRecorder recorder;
    ComPtr<BrowserObject> browser;
    ComPtr<IWebBrowser2> wb;
    DWORD cookie = 0;
};

} // namespace

TEST_F(Browser, NavigateFiresBeforeNavigateAtOnceAndCompletesWhenMessagesRun) {
    BSTR url = SysAllocString(PagePath(L"controls.html").c_str());
    ASSERT_EQ(wb->Navigate(url, nullptr, nullptr, nullptr, nullptr), S_OK);
    SysFreeString(url);
    EXPECT_EQ(recorder.Names(), std::vector<std::wstring>{L"BN2 controls.html"});
    VARIANT_BOOL busy = VARIANT_FALSE;
    wb->get_Busy(&busy);
    EXPECT_EQ(busy, VARIANT_TRUE);
    ASSERT_TRUE(WaitForLoad(wb.get()));
    EXPECT_EQ(recorder.Names(),
              (std::vector<std::wstring>{L"BN2 controls.html", L"NC2 controls.html",
                                         L"DC controls.html"}));
    EXPECT_EQ(recorder.Of(DISPID_DOCUMENTCOMPLETE)[0].browser, static_cast<IDispatch*>(wb.get()));
    EXPECT_EQ(LocationUrl(), PageUrl(L"controls.html"));
    BSTR name = nullptr;
    wb->get_LocationName(&name);
    EXPECT_EQ(Str(name), L"Sign in & more");
    ASSERT_TRUE(Doc());
}

TEST_F(Browser, CancelInBeforeNavigateKeepsThePage) {
    Go(L"left.html");
    recorder.cancel = true;
    BSTR url = SysAllocString(PagePath(L"controls.html").c_str());
    ASSERT_EQ(wb->Navigate(url, nullptr, nullptr, nullptr, nullptr), S_OK);
    SysFreeString(url);
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(LocationUrl(), PageUrl(L"left.html"));
    EXPECT_EQ(recorder.Of(DISPID_DOCUMENTCOMPLETE).size(), 1u);
    VARIANT_BOOL busy = VARIANT_TRUE;
    wb->get_Busy(&busy);
    EXPECT_EQ(busy, VARIANT_FALSE);
}

TEST_F(Browser, EachFrameIsAnnouncedBeforeItLoadsThenCompletesInnerFirstThenTheTop) {
    std::vector<std::wstring> statesAtFrameComplete;
    recorder.onEvent = [&](const RecordedEvent& e) {
        if (e.id != DISPID_DOCUMENTCOMPLETE) return;
        BSTR rs = nullptr;
        ComPtr<IHTMLDocument2> top = Doc();
        top->get_readyState(&rs);
        statesAtFrameComplete.push_back(Str(rs));
    };
    Go(L"frames.html");
    EXPECT_EQ(recorder.Names(),
              (std::vector<std::wstring>{
                  L"BN2 frames.html", L"NC2 frames.html", L"BN2 left.html", L"NC2 left.html",
                  L"BN2 controls.html", L"NC2 controls.html", L"BN2 holder.html",
                  L"NC2 holder.html", L"BN2 done.html", L"NC2 done.html", L"DC left.html",
                  L"DC controls.html", L"DC done.html", L"DC holder.html", L"DC frames.html"}));
    // The top page is complete only at its own event.
    EXPECT_EQ(statesAtFrameComplete,
              (std::vector<std::wstring>{L"interactive", L"interactive", L"interactive",
                                         L"interactive", L"complete"}));
    const auto dc = recorder.Of(DISPID_DOCUMENTCOMPLETE);
    EXPECT_NE(dc[0].browser, static_cast<IDispatch*>(wb.get())); // a frame's own browser object
    EXPECT_EQ(dc[4].browser, static_cast<IDispatch*>(wb.get()));
    // Each frame's events name the same browser object, and BeforeNavigate2
    // names the frame as its target.
    const auto bn = recorder.Of(DISPID_BEFORENAVIGATE2);
    ASSERT_EQ(bn.size(), 5u);
    EXPECT_EQ(bn[1].browser, dc[0].browser);
    EXPECT_EQ(bn[1].target, L"left");
    EXPECT_EQ(bn[4].browser, dc[2].browser);
    EXPECT_EQ(bn[4].target, L"inline");
    EXPECT_EQ(bn[1].post, "");
}

TEST_F(Browser, RefusedFrameStaysEmptyAndItsFramesAreNeverLoaded) {
    std::wstring frameDocAtBeforeNavigate = L"<unset>";
    recorder.cancelIf = [&](const RecordedEvent& e) {
        if (e.url != PageUrl(L"inner/holder.html")) return false;
        ComPtr<IWebBrowser2> frame;
        e.browser->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(frame.put()));
        BSTR s = nullptr;
        if (frame) frame->get_LocationURL(&s);
        frameDocAtBeforeNavigate = Str(s);
        return true;
    };
    Go(L"frames.html");
    EXPECT_EQ(frameDocAtBeforeNavigate, L"about:blank");
    EXPECT_EQ(recorder.Names(),
              (std::vector<std::wstring>{L"BN2 frames.html", L"NC2 frames.html", L"BN2 left.html",
                                         L"NC2 left.html", L"BN2 controls.html",
                                         L"NC2 controls.html", L"BN2 holder.html", L"DC left.html",
                                         L"DC controls.html", L"DC frames.html"}));
    // The refused frame is still a frame of the page, showing nothing.
    ComPtr<IHTMLFramesCollection2> frames;
    ASSERT_EQ(Doc()->get_frames(frames.put()), S_OK);
    long count = 0;
    frames->get_length(&count);
    ASSERT_EQ(count, 3);
    VARIANT index;
    index.vt = VT_I4;
    index.lVal = 2;
    VARIANT item;
    VariantInit(&item);
    ASSERT_EQ(frames->item(&index, &item), S_OK);
    ASSERT_EQ(item.vt, VT_DISPATCH);
    ComPtr<IHTMLWindow2> window;
    item.pdispVal->QueryInterface(IID_IHTMLWindow2, reinterpret_cast<void**>(window.put()));
    VariantClear(&item);
    ASSERT_TRUE(window);
    ComPtr<IHTMLDocument2> doc;
    ASSERT_EQ(window->get_document(doc.put()), S_OK);
    BSTR url = nullptr;
    doc->get_URL(&url);
    EXPECT_EQ(Str(url), L"about:blank");
    ComPtr<IHTMLElementCollection> all;
    doc->get_all(all.put());
    long elements = -1;
    all->get_length(&elements);
    EXPECT_LE(elements, 3); // at most the html, head and body a blank page implies
}

TEST_F(Browser, FrameBrowserDescribesItsFrame) {
    ComPtr<IWebBrowser2> frame;
    recorder.onEvent = [&](const RecordedEvent& e) {
        if (e.id == DISPID_DOCUMENTCOMPLETE && !frame && e.url == PageUrl(L"left.html"))
            e.browser->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(frame.put()));
    };
    Go(L"frames.html");
    ASSERT_TRUE(frame);
    BSTR s = nullptr;
    frame->get_LocationName(&s);
    EXPECT_EQ(Str(s), L"Left");
    ComPtr<IDispatch> d;
    frame->get_Document(d.put());
    ASSERT_TRUE(d.As<IHTMLDocument2>(IID_IHTMLDocument2));
}

TEST_F(Browser, SubmitClickCallsSinkOnceThenNavigatesWithTheFormData) {
    Go(L"controls.html");
    struct : IDispatch {
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
            *out = this;
            return S_OK;
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }
        HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
        HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override {
            return E_NOTIMPL;
        }
        HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
            return E_NOTIMPL;
        }
        HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                         EXCEPINFO*, UINT*) override {
            if (id == DISPID_EVMETH_ONCLICK) ++clicks;
            return S_OK;
        }
        int clicks = 0;
    } sink;
    auto doc = Doc();
    auto cpc = Element<IConnectionPointContainer>(doc.get(), L"go", IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> cp;
    ASSERT_EQ(cpc->FindConnectionPoint(DIID_HTMLButtonElementEvents, cp.put()), S_OK);
    DWORD c = 0;
    ASSERT_EQ(cp->Advise(&sink, &c), S_OK);
    recorder.events.clear();
    recorder.cancel = true; // first: the add-in cancels the submission
    Element<IHTMLElement>(doc.get(), L"go", IID_IHTMLElement)->click();
    EXPECT_EQ(sink.clicks, 1);
    ASSERT_EQ(recorder.Of(DISPID_BEFORENAVIGATE2).size(), 1u);
    EXPECT_EQ(
        recorder.Of(DISPID_BEFORENAVIGATE2)[0].url.rfind(PageUrl(L"done.html") + L"?user=alice", 0),
        0u);
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(LocationUrl(), PageUrl(L"controls.html"));
    recorder.cancel = false; // then it lets it go
    Element<IHTMLElement>(doc.get(), L"go", IID_IHTMLElement)->click();
    EXPECT_EQ(sink.clicks, 2);
    ASSERT_TRUE(WaitForLoad(wb.get()));
    EXPECT_EQ(LocationUrl().rfind(PageUrl(L"done.html") + L"?user=alice", 0), 0u);
    BSTR title = nullptr;
    Doc()->get_title(&title);
    EXPECT_EQ(Str(title), L"Done");
    cp.reset();
}

TEST_F(Browser, PostSubmissionCarriesTheBodyInBeforeNavigate) {
    Go(L"controls.html");
    recorder.events.clear();
    recorder.cancel = true;
    auto doc = Doc();
    BSTR v = SysAllocString(L"find me");
    Element<IHTMLInputElement>(doc.get(), L"q", IID_IHTMLInputElement)->put_value(v);
    SysFreeString(v);
    ComPtr<IHTMLElementCollection> forms;
    doc->get_forms(forms.put());
    VARIANT one, none;
    one.vt = VT_I4;
    one.lVal = 1;
    VariantInit(&none);
    ComPtr<IDispatch> f;
    forms->item(one, none, f.put());
    f.As<IHTMLFormElement>(IID_IHTMLFormElement)->submit();
    ASSERT_EQ(recorder.Of(DISPID_BEFORENAVIGATE2).size(), 1u);
    EXPECT_EQ(recorder.Of(DISPID_BEFORENAVIGATE2)[0].post, "q=find+me");
}

TEST_F(Browser, FormInAFrameNavigatesOnlyThatFrame) {
    Go(L"frames.html");
    recorder.events.clear();
    ComPtr<IHTMLFramesCollection2> frames;
    Doc()->get_frames(frames.put());
    VARIANT i, r;
    i.vt = VT_I4;
    i.lVal = 1;
    VariantInit(&r);
    ASSERT_EQ(frames->item(&i, &r), S_OK);
    ComPtr<IHTMLDocument2> inner;
    ComPtr<IDispatch>::Adopt(r.pdispVal)
        .As<IHTMLWindow2>(IID_IHTMLWindow2)
        ->get_document(inner.put());
    Element<IHTMLElement>(inner.get(), L"go", IID_IHTMLElement)->click();
    ASSERT_EQ(recorder.Of(DISPID_BEFORENAVIGATE2).size(), 1u);
    EXPECT_EQ(recorder.Of(DISPID_BEFORENAVIGATE2)[0].target, L"top");
    EXPECT_NE(recorder.Of(DISPID_BEFORENAVIGATE2)[0].browser, static_cast<IDispatch*>(wb.get()));
    ASSERT_TRUE(PumpUntil([&] { return recorder.Of(DISPID_DOCUMENTCOMPLETE).size() == 1; }));
    EXPECT_EQ(LocationUrl(), PageUrl(L"frames.html"));
    ComPtr<IHTMLFramesCollection2> after;
    Doc()->get_frames(after.put());
    ASSERT_EQ(after->item(&i, &r), S_OK);
    ComPtr<IHTMLDocument2> replaced;
    ComPtr<IDispatch>::Adopt(r.pdispVal)
        .As<IHTMLWindow2>(IID_IHTMLWindow2)
        ->get_document(replaced.put());
    BSTR title = nullptr;
    replaced->get_title(&title);
    EXPECT_EQ(Str(title), L"Done");
}

TEST_F(Browser, NavigateFromInsideDocumentCompleteLoadsTheNextPage) {
    bool once = false;
    recorder.onEvent = [&](const RecordedEvent& e) {
        if (e.id != DISPID_DOCUMENTCOMPLETE || once) return;
        once = true;
        BSTR url = SysAllocString(PagePath(L"done.html").c_str());
        wb->Navigate(url, nullptr, nullptr, nullptr, nullptr);
        SysFreeString(url);
    };
    Go(L"left.html");
    ASSERT_TRUE(PumpUntil([&] { return recorder.Of(DISPID_DOCUMENTCOMPLETE).size() == 2; }));
    EXPECT_EQ(LocationUrl(), PageUrl(L"done.html"));
}

TEST_F(Browser, QuitFiresOnQuitAndLetsGoOfEverything) {
    Go(L"frames.html");
    ASSERT_EQ(wb->Quit(), S_OK);
    EXPECT_EQ(recorder.Names().back(), L"Quit");
    EXPECT_EQ(recorder.refs, 1);
    ComPtr<IDispatch> d;
    wb->get_Document(d.put());
    EXPECT_FALSE(d);
    BSTR url = SysAllocString(L"about:blank");
    EXPECT_EQ(wb->Navigate(url, nullptr, nullptr, nullptr, nullptr), E_FAIL);
    SysFreeString(url);
}

TEST_F(Browser, LateBoundNavigateDocumentAndReadyState) {
    DISPID id = 0;
    LPOLESTR name = const_cast<LPOLESTR>(L"navigate");
    ASSERT_EQ(wb->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 104);
    // As a framework wrapper calls it: the URL, then four null variants.
    VARIANT args[5];
    for (auto& a : args) {
        VariantInit(&a);
        a.vt = VT_NULL;
    }
    args[4].vt = VT_BSTR;
    args[4].bstrVal = SysAllocString(PagePath(L"left.html").c_str());
    DISPPARAMS p{args, nullptr, 5, 0};
    ASSERT_EQ(wb->Invoke(104, IID_NULL, 0, DISPATCH_METHOD, &p, nullptr, nullptr, nullptr), S_OK);
    VariantClear(&args[4]);
    ASSERT_TRUE(WaitForLoad(wb.get()));
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT r;
    ASSERT_EQ(wb->Invoke(-525, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &r, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(r.vt, VT_I4);
    EXPECT_EQ(r.lVal, READYSTATE_COMPLETE);
    ASSERT_EQ(wb->Invoke(203, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &r, nullptr, nullptr),
              S_OK);
    ASSERT_EQ(r.vt, VT_DISPATCH);
    auto doc = ComPtr<IDispatch>::Adopt(r.pdispVal).As<IHTMLDocument2>(IID_IHTMLDocument2);
    EXPECT_TRUE(doc);
}

TEST_F(Browser, WindowHandleAndDropTargetSwitch) {
    SHANDLE_PTR h = 1;
    EXPECT_EQ(wb->get_HWND(&h), E_FAIL); // an object without a frame window
    browser->SetTopWindow(GetDesktopWindow());
    EXPECT_EQ(wb->get_HWND(&h), S_OK);
    EXPECT_EQ(reinterpret_cast<HWND>(h), GetDesktopWindow());
    ASSERT_EQ(wb->put_RegisterAsDropTarget(VARIANT_FALSE), S_OK);
    VARIANT_BOOL b = VARIANT_TRUE;
    wb->get_RegisterAsDropTarget(&b);
    EXPECT_EQ(b, VARIANT_FALSE);
    BSTR s = nullptr;
    EXPECT_EQ(wb->get_StatusText(&s), E_NOTIMPL);
}

TEST_F(Browser, MissingPageStillCompletesWithAnErrorPage) {
    BSTR url = SysAllocString(L"C:\\missing\\nothing.html");
    ASSERT_EQ(wb->Navigate(url, nullptr, nullptr, nullptr, nullptr), S_OK);
    SysFreeString(url);
    ASSERT_TRUE(WaitForLoad(wb.get()));
    EXPECT_EQ(LocationUrl(), L"file:///C:/missing/nothing.html");
    EXPECT_EQ(recorder.Of(DISPID_DOCUMENTCOMPLETE).size(), 1u);
}

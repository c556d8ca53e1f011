#include "EventRecorder.h"
#include "TestContainer.h"
#include "TestPages.h"
#include "WebBrowserControl.h"

#include <exdisp.h>

using namespace browser_test;
using torva::browser::WebBrowserControl;

namespace {

class Hosting : public BrowserTest {
protected:
    void TearDown() override {
        container.Close();
        control.reset();
        EXPECT_EQ(container.refs, 1) << "the control still holds its site";
        BrowserTest::TearDown();
    }
    void Open(const std::wstring& page) {
        control = WebBrowserControl::Create();
        ASSERT_EQ(container.Embed(static_cast<IWebBrowser2*>(control.get())), S_OK);
        BSTR url = SysAllocString(PagePath(page).c_str());
        ASSERT_EQ(control->Navigate(url, nullptr, nullptr, nullptr, nullptr), S_OK);
        SysFreeString(url);
        ASSERT_TRUE(WaitForLoad(control.get()));
        server = FindServerWindow(container.window());
        ASSERT_NE(server, nullptr);
    }
    ComPtr<IHTMLDocument2> Doc() {
        ComPtr<IDispatch> d;
        control->get_Document(d.put());
        return d.As<IHTMLDocument2>(IID_IHTMLDocument2);
    }

    TestContainer container;
    ComPtr<WebBrowserControl> control;
    HWND server = nullptr;
};

} // namespace

TEST_F(Hosting, EmbeddedControlShowsThePageInTheWindowChain) {
    Open(L"controls.html");
    EXPECT_EQ(container.activations, 1);
    HWND embedding = nullptr;
    ASSERT_EQ(static_cast<IOleInPlaceObject*>(control.get())->GetWindow(&embedding), S_OK);
    EXPECT_EQ(GetParent(embedding), container.window());
    EXPECT_EQ(GetParent(GetParent(server)), embedding);
    // 14 controls in the login form, less the hidden input, and 2 in the search form.
    EXPECT_EQ(control->view()->ControlCount(), 15);
    EXPECT_NE(FindChild(server, L"Edit", 0), nullptr);
    EXPECT_NE(FindChild(server, L"ComboBox", 0), nullptr);
    EXPECT_NE(FindChild(server, L"ListBox", 0), nullptr);
}

TEST_F(Hosting, TypedTextIsTheValueAndPutValueIsShown) {
    Open(L"controls.html");
    auto doc = Doc();
    HWND user = FindChild(server, L"Edit", 0);
    EXPECT_EQ(WindowText(user), L"alice");
    SetWindowTextW(user, L"typed by a user"); // sends EN_CHANGE like typing
    auto input = Element<IHTMLInputElement>(doc.get(), L"user", IID_IHTMLInputElement);
    BSTR v = nullptr;
    input->get_value(&v);
    EXPECT_EQ(Str(v), L"typed by a user");
    v = SysAllocString(L"set by the add-in");
    input->put_value(v);
    SysFreeString(v);
    EXPECT_EQ(WindowText(user), L"set by the add-in");
    HWND pass = FindChild(server, L"Edit", 1);
    EXPECT_TRUE(GetWindowLongW(pass, GWL_STYLE) & ES_PASSWORD);
}

TEST_F(Hosting, BoxesRadiosAndListsFollowTheObjectModelBothWays) {
    Open(L"controls.html");
    auto doc = Doc();
    auto pro = Element<IHTMLInputElement>(doc.get(), L"plan", IID_IHTMLInputElement, 1);
    const torva::browser::HtmlNode* proNode = nullptr;
    {
        auto e = pro.As<IHTMLElement>(IID_IHTMLElement);
        HWND basicWnd = nullptr, proWnd = nullptr;
        // The radio windows are the second and third BUTTON children.
        basicWnd = FindChild(server, L"Button", 0);
        proWnd = FindChild(server, L"Button", 1);
        EXPECT_EQ(SendMessageW(basicWnd, BM_GETCHECK, 0, 0), BST_CHECKED);
        pro->put_checked(VARIANT_TRUE);
        EXPECT_EQ(SendMessageW(basicWnd, BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_EQ(SendMessageW(proWnd, BM_GETCHECK, 0, 0), BST_CHECKED);
        // A user's click on the third radio.
        HWND teamWnd = FindChild(server, L"Button", 2);
        SendMessageW(server, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(teamWnd), BN_CLICKED),
                     reinterpret_cast<LPARAM>(teamWnd));
        VARIANT_BOOL checked = VARIANT_TRUE;
        pro->get_checked(&checked);
        EXPECT_EQ(checked, VARIANT_FALSE);
        EXPECT_EQ(SendMessageW(teamWnd, BM_GETCHECK, 0, 0), BST_CHECKED);
    }
    (void)proNode;
    HWND combo = FindChild(server, L"ComboBox", 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    SendMessageW(server, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo));
    auto lang = Element<IHTMLSelectElement>(doc.get(), L"lang", IID_IHTMLSelectElement);
    LONG index = -1;
    lang->get_selectedIndex(&index);
    EXPECT_EQ(index, 2);
    HWND list = FindChild(server, L"ListBox", 0);
    EXPECT_GT(SendMessageW(list, LB_GETSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_GETSEL, 1, 0), 0);
    SendMessageW(list, LB_SETSEL, TRUE, 1);
    SendMessageW(server, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    auto tags = Element<IHTMLSelectElement>(doc.get(), L"tags", IID_IHTMLSelectElement);
    VARIANT one, none;
    one.vt = VT_I4;
    one.lVal = 1;
    VariantInit(&none);
    ComPtr<IDispatch> opt;
    tags->item(one, none, opt.put());
    VARIANT_BOOL selected = VARIANT_FALSE;
    opt.As<IHTMLOptionElement>(IID_IHTMLOptionElement)->get_selected(&selected);
    EXPECT_EQ(selected, VARIANT_TRUE);
}

TEST_F(Hosting, TextAreaIsAMultiLineEdit) {
    Open(L"controls.html");
    HWND note = nullptr;
    for (int i = 0; HWND e = FindChild(server, L"Edit", i); ++i)
        if (GetWindowLongW(e, GWL_STYLE) & ES_MULTILINE) note = e;
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(WindowText(note), L"first line");
}

TEST_F(Hosting, EnterInATextFieldClicksTheSubmitButton) {
    Open(L"controls.html");
    EventRecorder recorder;
    const DWORD cookie = recorder.Advise(static_cast<IWebBrowser2*>(control.get()));
    recorder.cancel = true;
    HWND user = FindChild(server, L"Edit", 0);
    SetFocus(user);
    MSG msg{user, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    EXPECT_EQ(static_cast<IOleInPlaceActiveObject*>(control.get())->TranslateAccelerator(&msg),
              S_OK);
    ASSERT_EQ(recorder.Of(DISPID_BEFORENAVIGATE2).size(), 1u);
    EXPECT_NE(recorder.Of(DISPID_BEFORENAVIGATE2)[0].url.find(L"go=Sign+in"), std::wstring::npos);
    MSG other{user, WM_KEYDOWN, L'A', 0, 0, {0, 0}};
    EXPECT_EQ(static_cast<IOleInPlaceActiveObject*>(control.get())->TranslateAccelerator(&other),
              S_FALSE);
    recorder.Unadvise(static_cast<IWebBrowser2*>(control.get()), cookie);
}

TEST_F(Hosting, ClickOnTheButtonWindowSubmitsThroughTheBrowser) {
    Open(L"controls.html");
    HWND go = nullptr;
    for (int i = 0; HWND b = FindChild(server, L"Button", i); ++i)
        if (WindowText(b) == L"Sign in") go = b;
    ASSERT_NE(go, nullptr);
    SendMessageW(server, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(go), BN_CLICKED),
                 reinterpret_cast<LPARAM>(go));
    ASSERT_TRUE(WaitForLoad(control.get()));
    BSTR url = nullptr;
    control->get_LocationURL(&url);
    EXPECT_EQ(Str(url).rfind(PageUrl(L"done.html"), 0), 0u);
    EXPECT_EQ(control->view()->ControlCount(), 0); // the new page has no controls
}

TEST_F(Hosting, FramesShowOneAfterAnother) {
    Open(L"frames.html");
    EXPECT_EQ(control->view()->ControlCount(), 15); // the controls of the frame with the forms
}

TEST_F(Hosting, CloseDeactivatesAndFreesEverything) {
    Open(L"controls.html");
    container.Close();
    EXPECT_EQ(container.deactivations, 1);
    EXPECT_FALSE(IsWindow(server));
}

TEST_F(Hosting, ContainerInterfacesAnswerAsAControlDoes) {
    control = WebBrowserControl::Create();
    IUnknown* unk = static_cast<IWebBrowser2*>(control.get());
    for (REFIID iid : {IID_IOleObject, IID_IOleInPlaceObject, IID_IOleInPlaceActiveObject,
                       IID_IViewObject2, IID_IPersistStreamInit, IID_IOleControl,
                       IID_IProvideClassInfo2, IID_IConnectionPointContainer}) {
        ComPtr<IUnknown> p;
        EXPECT_EQ(unk->QueryInterface(iid, reinterpret_cast<void**>(p.put())), S_OK);
        ComPtr<IUnknown> id;
        p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(id.put()));
        EXPECT_EQ(id.get(), unk); // one identity
    }
    ComPtr<IProvideClassInfo2> pci;
    unk->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(pci.put()));
    GUID events{};
    ASSERT_EQ(pci->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_EQ(events, DIID_DWebBrowserEvents2);
    ComPtr<IPersistStreamInit> persist;
    unk->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(persist.put()));
    EXPECT_EQ(persist->InitNew(), S_OK);
    CLSID clsid{};
    persist->GetClassID(&clsid);
    EXPECT_EQ(clsid, CLSID_WebBrowser);
}

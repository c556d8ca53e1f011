#include "EventRecorder.h"
#include "TestContainer.h"
#include "TestPages.h"
#include "WebBrowserControl.h"

#include <exdisp.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

using namespace browser_test;
using torva::browser::WebBrowserControl;

namespace {

std::wstring ClassOf(HWND h) {
    wchar_t name[64] = {};
    GetClassNameW(h, name, 64);
    return name;
}

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void HoldControl(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    keys[VK_LCONTROL] = keys[VK_CONTROL];
    SetKeyboardState(keys);
}

void SetClipboardText(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::memcpy(GlobalLock(mem), text.c_str(), bytes);
        GlobalUnlock(mem);
        if (!SetClipboardData(CF_UNICODETEXT, mem)) GlobalFree(mem);
    }
    CloseClipboard();
}

std::wstring ClipboardText() {
    if (!OpenClipboard(nullptr)) return L"<no clipboard>";
    std::wstring text;
    if (HANDLE mem = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(mem));
        GlobalUnlock(mem);
    }
    CloseClipboard();
    return text;
}

// What the add-in's registration dialog puts on the server window: the
// editing keys go to the document's TranslateAccelerator while the focus
// window is "Internet Explorer_Server", then every message goes on to the
// window's own procedure.
WNDPROC g_previous = nullptr;
IOleInPlaceActiveObject* g_document = nullptr;

LRESULT CALLBACK Forwarding(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_KEYDOWN || msg == WM_KEYUP) {
        const WPARAM key = wp >= 'a' && wp <= 'z' ? wp - 0x20 : wp;
        const bool editing = key == VK_DELETE || std::wcschr(L"CVXAZY", static_cast<wchar_t>(key));
        if (editing && ClassOf(GetFocus()) == L"Internet Explorer_Server" &&
            (key == VK_DELETE || GetKeyState(VK_CONTROL) < 0)) {
            MSG forwarded{GetFocus(), msg, key, 0, 0, {0, 0}};
            g_document->TranslateAccelerator(&forwarded);
            MSG incoming{hwnd, msg, wp, lp, 0, {0, 0}};
            TranslateMessage(&incoming);
        }
    }
    return CallWindowProcW(g_previous, hwnd, msg, wp, lp);
}

class Focus : public BrowserTest {
protected:
    void SetUp() override {
        BrowserTest::SetUp();
        control = WebBrowserControl::Create();
        ASSERT_EQ(container.Embed(static_cast<IWebBrowser2*>(control.get())), S_OK);
        BSTR url = SysAllocString(PagePath(L"controls.html").c_str());
        ASSERT_EQ(control->Navigate(url, nullptr, nullptr, nullptr, nullptr), S_OK);
        SysFreeString(url);
        ASSERT_TRUE(WaitForLoad(control.get()));
        server = FindServerWindow(container.window());
        ASSERT_NE(server, nullptr);
        ComPtr<IDispatch> d;
        control->get_Document(d.put());
        doc = d.As<IHTMLDocument2>(IID_IHTMLDocument2);
        active = d.As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
        ASSERT_TRUE(doc && active);
    }
    void TearDown() override {
        HoldControl(false);
        if (g_previous) {
            SetWindowLongPtrW(server, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_previous));
            g_previous = nullptr;
            g_document = nullptr;
        }
        doc.reset();
        active.reset();
        container.Close();
        control.reset();
        BrowserTest::TearDown();
    }
    HWND Window(const wchar_t* name) {
        std::vector<torva::browser::HtmlNode*> all;
        control->document()->root().CollectElements(all);
        for (const auto* n : all)
            if (n->Attribute(L"name") == name) return control->view()->ControlFor(n);
        return nullptr;
    }
    void ClickOn(HWND h) {
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    std::wstring ActiveName() {
        const auto* n = control->view()->ActiveElement();
        return n ? n->Attribute(L"name") : L"<none>";
    }
    std::wstring Value(const wchar_t* name) {
        BSTR v = nullptr;
        Element<IHTMLInputElement>(doc.get(), name, IID_IHTMLInputElement)->get_value(&v);
        return Str(v);
    }
    // Keys as the keyboard delivers them: to the focus window, through the
    // thread's message loop.
    void KeyToFocus(WPARAM vk) {
        PostMessageW(GetFocus(), WM_KEYDOWN, vk, 1);
        PostMessageW(GetFocus(), WM_KEYUP, vk, 1 | 0xC0000000);
        Pump();
    }
    void TypeToFocus(const std::wstring& text) {
        for (wchar_t ch : text)
            PostMessageW(GetFocus(), WM_CHAR, ch, 1);
        Pump();
    }
    HRESULT Accelerator(WPARAM vk) {
        MSG down{GetFocus(), WM_KEYDOWN, vk, 0, 0, {0, 0}};
        MSG up{GetFocus(), WM_KEYUP, vk, 0, 0, {0, 0}};
        const HRESULT hr = active->TranslateAccelerator(&down);
        EXPECT_EQ(active->TranslateAccelerator(&up), hr) << "key up answered unlike key down";
        return hr;
    }

    TestContainer container;
    ComPtr<WebBrowserControl> control;
    ComPtr<IHTMLDocument2> doc;
    ComPtr<IOleInPlaceActiveObject> active;
    HWND server = nullptr;
};

} // namespace

TEST_F(Focus, ClickOrSetFocusOnAFieldLeavesTheFocusInTheServerWindow) {
    HWND user = Window(L"user");
    HWND pass = Window(L"pass");
    ASSERT_TRUE(user && pass);
    ClickOn(user);
    EXPECT_EQ(GetFocus(), server);
    EXPECT_EQ(ClassOf(GetFocus()), L"Internet Explorer_Server");
    EXPECT_EQ(ActiveName(), L"user");
    SetFocus(pass);
    EXPECT_EQ(GetFocus(), server);
    EXPECT_EQ(ActiveName(), L"pass");
    // A click beside the controls leaves them; the page keeps the focus.
    SendMessageW(server, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    EXPECT_EQ(GetFocus(), server);
    EXPECT_EQ(ActiveName(), L"<none>");
}

TEST_F(Focus, KeysAtTheServerWindowTypeIntoTheActiveFieldBothWays) {
    HWND user = Window(L"user");
    ClickOn(user);
    KeyToFocus(VK_END);
    TypeToFocus(L"bob");
    EXPECT_EQ(Value(L"user"), L"alicebob");
    EXPECT_EQ(WindowText(user), L"alicebob");
    BSTR v = SysAllocString(L"carol");
    Element<IHTMLInputElement>(doc.get(), L"user", IID_IHTMLInputElement)->put_value(v);
    SysFreeString(v);
    EXPECT_EQ(WindowText(user), L"carol");
    KeyToFocus(VK_END);
    TypeToFocus(L"!?\b");
    EXPECT_EQ(Value(L"user"), L"carol!");
    EXPECT_EQ(ClassOf(GetFocus()), L"Internet Explorer_Server");
    // Keys with no active control go nowhere.
    SendMessageW(server, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    TypeToFocus(L"x");
    EXPECT_EQ(Value(L"user"), L"carol!");
}

TEST_F(Focus, TabMovesTheActiveControlThroughTheAccelerator) {
    ClickOn(Window(L"user"));
    EXPECT_EQ(Accelerator(VK_TAB), S_OK);
    EXPECT_EQ(ActiveName(), L"pass");
    EXPECT_EQ(GetFocus(), server);
    TypeToFocus(L"pw");
    EXPECT_EQ(Value(L"pass"), L"pw");
    EXPECT_EQ(Value(L"user"), L"alice");
    EXPECT_EQ(Accelerator(VK_TAB), S_OK);
    EXPECT_EQ(ActiveName(), L"plan");
}

TEST_F(Focus, EditingKeysForwardedByADialogActOnceOnTheActiveField) {
    HWND user = Window(L"user");
    ClickOn(user);
    g_document = active.get();
    g_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(server, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Forwarding)));
    SetClipboardText(L"before");
    HoldControl(true);
    KeyToFocus('A');
    KeyToFocus('C');
    HoldControl(false);
    EXPECT_EQ(ClipboardText(), L"alice");
    KeyToFocus(VK_DELETE);
    EXPECT_EQ(Value(L"user"), L"");
    HoldControl(true);
    KeyToFocus('Z');
    EXPECT_EQ(Value(L"user"), L"alice");
    KeyToFocus('Y');
    EXPECT_EQ(Value(L"user"), L"");
    KeyToFocus('V');
    EXPECT_EQ(Value(L"user"), L"alice"); // pasted once, not also from the Ctrl+V character
    KeyToFocus('A');
    KeyToFocus('X');
    HoldControl(false);
    EXPECT_EQ(Value(L"user"), L"");
    EXPECT_EQ(ClipboardText(), L"alice");
    EXPECT_EQ(ClassOf(GetFocus()), L"Internet Explorer_Server");
}

TEST_F(Focus, EditingKeysNeedAnEditableActiveField) {
    EXPECT_EQ(Accelerator(VK_DELETE), S_FALSE); // nothing active
    ClickOn(Window(L"pass"));
    TypeToFocus(L"secret");
    SetClipboardText(L"before");
    HoldControl(true);
    EXPECT_EQ(Accelerator('A'), S_OK);
    EXPECT_EQ(Accelerator('C'), S_OK);
    EXPECT_EQ(Accelerator('X'), S_OK);
    EXPECT_EQ(Accelerator('Q'), S_FALSE);
    HoldControl(false);
    EXPECT_EQ(ClipboardText(), L"before") << "a password went to the clipboard";
    EXPECT_EQ(Value(L"pass"), L"secret");
    EXPECT_EQ(Accelerator('A'), S_FALSE) << "A without Control is typing";
    SetFocus(Window(L"news"));
    EXPECT_EQ(ActiveName(), L"news");
    EXPECT_EQ(Accelerator(VK_DELETE), S_FALSE);
}

TEST_F(Focus, EnterStartsALineInAMultiLineFieldAndSpaceTicksABox) {
    HWND note = Window(L"note");
    ClickOn(note);
    KeyToFocus(VK_END);
    EXPECT_EQ(Accelerator(VK_RETURN), S_OK);
    TypeToFocus(L"second");
    BSTR v = nullptr;
    Element<IHTMLTextAreaElement>(doc.get(), L"note", IID_IHTMLTextAreaElement)->get_value(&v);
    EXPECT_EQ(Str(v), L"first line\r\nsecond");
    SetFocus(Window(L"news"));
    EXPECT_EQ(ActiveName(), L"news");
    KeyToFocus(VK_SPACE);
    VARIANT_BOOL checked = VARIANT_FALSE;
    Element<IHTMLInputElement>(doc.get(), L"news", IID_IHTMLInputElement)->get_checked(&checked);
    EXPECT_EQ(checked, VARIANT_TRUE);
    EXPECT_EQ(ClassOf(GetFocus()), L"Internet Explorer_Server");
}

TEST_F(Focus, EnterHandedOverFromAWorkerThreadActsOnTheViewsThread) {
    // The add-in's dialog hands Enter to the document from a worker thread
    // while its own thread runs the dialog.
    EventRecorder recorder;
    const DWORD cookie = recorder.Advise(static_cast<IWebBrowser2*>(control.get()));
    recorder.cancel = true;
    DWORD eventThread = 0;
    recorder.onEvent = [&](const RecordedEvent&) { eventThread = GetCurrentThreadId(); };
    ClickOn(Window(L"user"));
    std::atomic<bool> done{false};
    HRESULT down = E_FAIL, up = E_FAIL;
    std::thread worker([&] {
        MSG key{server, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
        down = active->TranslateAccelerator(&key);
        key.message = WM_KEYUP;
        up = active->TranslateAccelerator(&key);
        done = true;
    });
    EXPECT_TRUE(PumpUntil([&] { return done.load(); }));
    worker.join();
    EXPECT_EQ(down, S_OK);
    EXPECT_EQ(up, S_OK);
    ASSERT_EQ(recorder.Of(DISPID_BEFORENAVIGATE2).size(), 1u);
    EXPECT_NE(recorder.Of(DISPID_BEFORENAVIGATE2)[0].url.find(L"go=Sign+in"), std::wstring::npos);
    EXPECT_EQ(eventThread, GetCurrentThreadId());
    recorder.Unadvise(static_cast<IWebBrowser2*>(control.get()), cookie);
}

#include "EventRecorder.h"
#include "ServerRegistration.h"
#include "TestContainer.h"
#include "TestPages.h"
#include "WindowClass.h"

#include <exdisp.h>

#include <Win32Handles.h>

using namespace browser_test;
namespace Reg = torva::browser::ServerRegistration;

namespace {

class Server : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kTestRoot, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, root.put(), nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        root.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestRoot);
    }
    static constexpr const wchar_t* kTestRoot = L"Software\\TorvaBrowserTests\\Classes";
    torva::UniqueRegKey root;
};

std::wstring Value(HKEY root, const std::wstring& key, const wchar_t* name = nullptr) {
    wchar_t buf[512] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS)
        return L"<none>";
    return buf;
}

} // namespace

TEST_F(Server, RegistrationWritesClassAndProgIds) {
    ASSERT_EQ(Reg::Register(root.get(), L"C:\\x\\browserctl.dll"), S_OK);
    const std::wstring cls = L"CLSID\\{8856F961-340A-11D0-A96B-00C04FD705A2}";
    EXPECT_EQ(Value(root.get(), cls + L"\\InprocServer32"), L"C:\\x\\browserctl.dll");
    EXPECT_EQ(Value(root.get(), cls + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Value(root.get(), L"Shell.Explorer.2\\CLSID"),
              L"{8856F961-340A-11D0-A96B-00C04FD705A2}");
    EXPECT_EQ(Value(root.get(), L"Shell.Explorer\\CurVer"), L"Shell.Explorer.2");
    EXPECT_EQ(Reg::RegisteredServer(root.get()), L"C:\\x\\browserctl.dll");
}

TEST_F(Server, UnregisterLeavesAnotherCopysRegistrationAlone) {
    ASSERT_EQ(Reg::Register(root.get(), L"C:\\x\\browserctl.dll"), S_OK);
    EXPECT_EQ(Reg::Unregister(root.get(), L"C:\\other\\browserctl.dll"), S_FALSE);
    EXPECT_EQ(Reg::RegisteredServer(root.get()), L"C:\\x\\browserctl.dll");
    EXPECT_EQ(Reg::Unregister(root.get(), L"c:\\X\\BROWSERCTL.DLL"), S_OK);
    EXPECT_EQ(Reg::RegisteredServer(root.get()), L"");
}

// The server DLL as a container meets it: class object, control, unload.
TEST_F(Server, DllServesTheControlAndUnloadsWhenAllIsReleased) {
    torva::UniqueModule dll(
        LoadLibraryW(sizeof(void*) == 8 ? L"browserctl64.dll" : L"browserctl32.dll"));
    ASSERT_TRUE(dll);
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnload = HRESULT(STDAPICALLTYPE*)();
    auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void*>(GetProcAddress(dll.get(), "DllGetClassObject")));
    auto canUnload = reinterpret_cast<CanUnload>(
        reinterpret_cast<void*>(GetProcAddress(dll.get(), "DllCanUnloadNow")));
    ASSERT_TRUE(getClassObject && canUnload);
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(getClassObject(CLSID_InternetExplorer, IID_IClassFactory,
                             reinterpret_cast<void**>(factory.put())),
              CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(getClassObject(CLSID_WebBrowser, IID_IClassFactory,
                             reinterpret_cast<void**>(factory.put())),
              S_OK);
    {
        ComPtr<IWebBrowser2> wb;
        ASSERT_EQ(
            factory->CreateInstance(nullptr, IID_IWebBrowser2, reinterpret_cast<void**>(wb.put())),
            S_OK);
        factory.reset();
        EXPECT_EQ(canUnload(), S_FALSE);
        TestContainer container;
        ASSERT_EQ(container.Embed(wb.get()), S_OK);
        BSTR url = SysAllocString(PagePath(L"controls.html").c_str());
        ASSERT_EQ(wb->Navigate(url, nullptr, nullptr, nullptr, nullptr), S_OK);
        SysFreeString(url);
        ASSERT_TRUE(WaitForLoad(wb.get()));
        EXPECT_NE(FindServerWindow(container.window()), nullptr);
        container.Close();
    }
    EXPECT_EQ(canUnload(), S_OK);
}

// In a prefix where register.sh has run, the platform's own lookup finds the
// stand-in by class id and by ProgID. Skipped where it has not run yet.
TEST(RegisteredControl, CoCreateInstanceFindsTheStandIn) {
    const std::wstring server = Reg::RegisteredServer(HKEY_CLASSES_ROOT);
    const wchar_t* mine = sizeof(void*) == 8 ? L"browserctl64.dll" : L"browserctl32.dll";
    if (server.size() < wcslen(mine) ||
        _wcsicmp(server.c_str() + server.size() - wcslen(mine), mine) != 0)
        GTEST_SKIP() << "register.sh has not run in this prefix";
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    CLSID byProgId{};
    EXPECT_EQ(CLSIDFromProgID(L"Shell.Explorer.2", &byProgId), S_OK);
    EXPECT_EQ(byProgId, CLSID_WebBrowser);
    {
        ComPtr<IWebBrowser2> wb;
        ASSERT_EQ(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWebBrowser2, reinterpret_cast<void**>(wb.put())),
                  S_OK);
        ComPtr<IOleObject> ole;
        EXPECT_EQ(wb->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(ole.put())), S_OK);
        TestContainer container;
        ASSERT_EQ(container.Embed(wb.get()), S_OK);
        EXPECT_NE(FindServerWindow(container.window()), nullptr);
        container.Close();
    }
    CoUninitialize();
}

namespace {

LRESULT CALLBACK OldCodeProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcW(h, m, w, l);
}
LRESULT CALLBACK NewCodeProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return m == WM_USER ? 42 : DefWindowProcW(h, m, w, l);
}

} // namespace

// A module loaded again finds its class names still registered by the copy
// that was unloaded; its own procedures must win.
TEST(WindowClasses, ALeftoverClassOfTheSameNameIsReplaced) {
    namespace WindowClass = torva::browser::WindowClass;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TorvaBrowserClassTest";
    wc.lpfnWndProc = OldCodeProc;
    ASSERT_NE(RegisterClassExW(&wc), 0); // left behind, as by an unloaded copy
    wc.lpfnWndProc = NewCodeProc;
    ASSERT_TRUE(WindowClass::Register(wc));
    ASSERT_TRUE(WindowClass::Register(wc)); // registering again keeps it
    torva::UniqueWindow w(CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                          nullptr, wc.hInstance, nullptr));
    ASSERT_TRUE(w);
    EXPECT_EQ(SendMessageW(w.get(), WM_USER, 0, 0), 42);
    w.reset();
    // (UnregisterAll is the DLL's: here it would take this program's
    // browser classes too.)
    EXPECT_TRUE(UnregisterClassW(wc.lpszClassName, wc.hInstance));
}

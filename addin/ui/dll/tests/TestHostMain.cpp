// A stand-in host process for the add-in: loads the DLL named on the command
// line as the browser would and writes what it saw to a result file, one
// "key=value" line each. The tests copy this program under the names of the
// hosts they try (IEXPLORE.EXE, notepad.exe).
//
//   quorvel_test_host.exe <dll path> <result file>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <QuorvelGuids.h>

#include <cstdio>
#include <string>

namespace {

std::wstring ModulePath(HMODULE module) {
    if (!module) return L"none";
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(module, path, MAX_PATH);
    return std::wstring(path, length);
}

void Write(FILE* file, const wchar_t* key, const std::wstring& value) {
    std::fwprintf(file, L"%ls=%ls\n", key, value.c_str());
}

std::wstring Hex(HRESULT hr) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08X", static_cast<unsigned>(hr));
    return text;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    FILE* file = _wfopen(argv[2], L"w");
    if (!file) return 2;
    const HMODULE module = ::LoadLibraryW(argv[1]);
    Write(file, L"loaded", module ? L"1" : L"0");
    Write(file, L"fenwix", ModulePath(::GetModuleHandleW(L"Fenwix.dll")));
    if (module) {
        using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
        using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
        const auto getClassObject = reinterpret_cast<GetClassObjectFn>(
            reinterpret_cast<void*>(::GetProcAddress(module, "DllGetClassObject")));
        const auto canUnloadNow = reinterpret_cast<CanUnloadNowFn>(
            reinterpret_cast<void*>(::GetProcAddress(module, "DllCanUnloadNow")));
        void* factory = nullptr;
        if (getClassObject)
            Write(file, L"classobject",
                  Hex(getClassObject(CLSID_StockBar, IID_IClassFactory, &factory)));
        if (factory) {
            // The browser's way to a band: the factory makes it, asked for IDeskBand.
            auto* classFactory = static_cast<IClassFactory*>(factory);
            void* band = nullptr;
            Write(file, L"band", Hex(classFactory->CreateInstance(nullptr, IID_IDeskBand, &band)));
            if (canUnloadNow) Write(file, L"canunloadwithband", Hex(canUnloadNow()));
            if (band) static_cast<IUnknown*>(band)->Release();
            classFactory->Release();
        }
        if (canUnloadNow) Write(file, L"canunload", Hex(canUnloadNow()));
        WNDCLASSEXW info{};
        info.cbSize = sizeof info;
        Write(file, L"axhost", ::GetClassInfoExW(module, L"AtlAxWin80", &info) ? L"1" : L"0");
        ::FreeLibrary(module);
        Write(file, L"fenwixafterfree", ModulePath(::GetModuleHandleW(L"Fenwix.dll")));
    }
    std::fclose(file);
    return module ? 0 : 1;
}

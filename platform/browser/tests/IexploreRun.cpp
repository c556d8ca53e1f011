#include "IexploreRun.h"

#include "TestPages.h"

#include <Win32Handles.h>

#include <fstream>

namespace browser_test {

namespace {

const wchar_t kBandClsid[] = L"{E3B7C1A0-5F2D-4C8E-9A41-7D2B6C0F1A11}";
const wchar_t kToolbarKey[] = L"Software\\Microsoft\\Internet Explorer\\Toolbar";
const wchar_t kResultKey[] = L"Software\\TorvaBrowserTests\\Band";
const wchar_t kSetupKey[] = L"Software\\TorvaBrowserTests\\BandSetup";

} // namespace

std::wstring BinFile(const std::wstring& name) {
    const std::wstring page = PagePath(L"x");
    return page.substr(0, page.rfind(L"browser-pages")) + name;
}

std::wstring Result(const wchar_t* name) {
    wchar_t buf[1024] = {};
    DWORD size = sizeof buf - 2;
    if (RegGetValueW(HKEY_CURRENT_USER, kResultKey, name, RRF_RT_REG_SZ, nullptr, buf, &size) !=
        ERROR_SUCCESS)
        return L"<none>";
    return buf;
}

namespace {

[[nodiscard]] bool SetString(HKEY root, const std::wstring& key, const wchar_t* name,
                             const std::wstring& value) {
    torva::UniqueRegKey k;
    if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, k.put(), nullptr))
        return false;
    return RegSetValueExW(k.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * 2)) == ERROR_SUCCESS;
}

} // namespace

void ClearBandResults() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kResultKey);
}

void SetBandSetup(const wchar_t* name, const std::wstring& value) {
    ASSERT_TRUE(SetString(HKEY_CURRENT_USER, kSetupKey, name, value));
}

DWORD RunBrowser(const std::string& script, std::wstring& log, DWORD timeoutMs) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring scriptPath = std::wstring(temp) + L"browser-test-script.txt";
    const std::wstring logPath = std::wstring(temp) + L"browser-test-log.txt";
    {
        std::ofstream out(scriptPath.c_str(), std::ios::binary);
        out << script;
    }
    DeleteFileW(logPath.c_str());
    std::wstring cmd = L"\"" + BinFile(L"iexplore.exe") + L"\" -script \"" + scriptPath +
                       L"\" -log \"" + logPath + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return 999;
    torva::UniqueHandle process(pi.hProcess), thread(pi.hThread);
    DWORD code = 998;
    const DWORD start = GetTickCount();
    HANDLE h = process.get();
    while (GetTickCount() - start < timeoutMs) {
        const DWORD r = MsgWaitForMultipleObjects(1, &h, FALSE, 100, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    if (WaitForSingleObject(h, 0) == WAIT_OBJECT_0)
        GetExitCodeProcess(h, &code);
    else
        TerminateProcess(h, 997);
    std::wifstream in(logPath.c_str());
    std::wstring line;
    while (std::getline(in, line))
        log += line + L"\n";
    return code;
}

void Iexplore::SetUp() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kResultKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSetupKey);
    // The fixture's class goes where regsvr32 would put it (this
    // prefix's classes do not merge per-user registrations).
    const std::wstring cls = std::wstring(L"CLSID\\") + kBandClsid;
    ASSERT_TRUE(SetString(HKEY_CLASSES_ROOT, cls + L"\\InprocServer32", nullptr,
                          BinFile(L"browser_testband64.dll")));
    ASSERT_TRUE(
        SetString(HKEY_CLASSES_ROOT, cls + L"\\InprocServer32", L"ThreadingModel", L"Apartment"));
    ASSERT_TRUE(SetString(HKEY_LOCAL_MACHINE, kToolbarKey, kBandClsid, L""));
}

void Iexplore::TearDown() {
    torva::UniqueRegKey k;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kToolbarKey, 0, KEY_SET_VALUE, k.put()) == ERROR_SUCCESS)
        RegDeleteValueW(k.get(), kBandClsid);
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + kBandClsid).c_str());
    RegDeleteTreeW(HKEY_CURRENT_USER, kResultKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSetupKey);
}

std::string Narrow(const std::wstring& s) {
    return std::string(s.begin(), s.end());
}

std::string Utf8(const std::wstring& s) {
    std::string out(s.size() * 3 + 1, '\0');
    out.resize(static_cast<size_t>(
        WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), out.data(),
                            static_cast<int>(out.size()), nullptr, nullptr)));
    return out;
}

} // namespace browser_test

// The relay end to end, as the main job shows it: this 64-bit program plays
// the browser add-in, starts the installed 32-bit Zentrip on its own pipe and
// reads, one relay exchange per library call, the newest web-form page that
// is stored in the user's database, decrypting its password through the
// relay. With no page stored it writes a page of its own and reads that.
//   relay_demo [--relay=<folder>|installed]   (default: installed)
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AddinChannel.h"
#include "RelayCalls.h"
#include "RelayTestEnvironment.h"
#include "RequestBuilder.h"

using namespace torva::relay::test;

namespace {

void Print(const std::wstring& text) {
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string utf8(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], n,
                          nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
}

std::wstring Text(RelayCalls& calls, uint64_t db, uint64_t key, const wchar_t* name) {
    uint32_t type = 0, size = 0;
    std::vector<BYTE> buffer(1024);
    if (calls.QueryValue(db, key, name, type, &buffer, size) != 0) return L"(missing)";
    return BytesText(buffer.data(), size);
}

// One exchange shown as it went over the pipe.
void Show(const wchar_t* call, RelayCalls& calls, DWORD result) {
    const std::vector<BYTE>& reply = calls.LastReply();
    Print(std::wstring(L"  ") + call + L" -> result " + std::to_wstring(result) + L", reply type " +
          std::to_wstring(MessageType(reply)) + L", " + std::to_wstring(reply.size()) +
          L" bytes\n");
}

} // namespace

int main(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    char installed[] = "--relay=installed";
    bool given = false;
    for (int i = 1; i < argc; ++i)
        given = given || std::string(argv[i]).rfind("--relay=", 0) == 0;
    if (!given) args.push_back(installed);
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    if (!ParseRelayArguments(&count, args.data())) return 2;
    Print(L"[relay demo] 64-bit client, relay " + RelayFolder() + L"Zentrip.exe (" +
          (RelayIs32Bit() ? L"32" : L"64") + L"-bit)\n");

    AddinChannel channel(RelayFolder(), RelayReadyOpens());
    RelayCalls calls(channel);
    const DWORD started = ::GetTickCount();
    uint64_t db = 0;
    DWORD rc = calls.OpenDB(db);
    if (rc != 0) {
        const std::string status = ToString(calls.LastStatus());
        Print(L"error: TvrDB_OpenDB through the relay failed: " + std::to_wstring(rc) + L" (" +
              std::wstring(status.begin(), status.end()) + L")\n");
        return 1;
    }
    Print(L"  relay started on " + channel.PipeName() + L" in " +
          std::to_wstring(::GetTickCount() - started) + L" ms\n");
    Show(L"TvrDB_OpenDB", calls, rc);

    uint64_t web = 0;
    rc = calls.OpenKey(db, L"WEBFORMDATA", web);
    std::wstring page;
    uint32_t length = 0;
    if (rc == 0) {
        // The newest page is the last one in name order.
        std::wstring name;
        for (uint32_t i = 0; calls.EnumKey(db, web, i, name, length) == 0; ++i)
            page = name;
        calls.CloseKey(db, web);
    }
    if (page.empty()) {
        page = L"RELAYDEMO\\PAGE001";
        uint64_t key = 0;
        rc = calls.CreateKey(db, page, key);
        Show(L"TvrDB_CreateKey", calls, rc);
        rc = calls.SetValue(db, key, L"URL", 2, TextBytes(L"file:///C:/demo/relay.html"));
        Show(L"TvrDB_SetValue", calls, rc);
        calls.CloseKey(db, key);
    }

    uint64_t key = 0;
    rc = calls.OpenKey(db, page, key);
    Show(L"TvrDB_OpenKey", calls, rc);
    if (rc != 0) return 1;
    LARGE_INTEGER frequency, before, after;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&before);
    const std::wstring url = Text(calls, db, key, L"URL");
    ::QueryPerformanceCounter(&after);
    const long long micros = (after.QuadPart - before.QuadPart) * 1000000 / frequency.QuadPart;
    Show(L"TvrDB_QueryValue", calls, 0);
    const std::wstring title = Text(calls, db, key, L"TITLE");
    Print(L"[relay demo] " + page + L": URL = " + url + L", TITLE = " + title +
          L" (one exchange: " + std::to_wstring(micros) + L" us)\n");
    calls.CloseKey(db, key);

    uint64_t password = 0;
    if (calls.OpenKey(db, page + L"\\ITEM001\\CTRL002", password) == 0) {
        uint32_t type = 0, size = 0;
        std::vector<BYTE> sealed(4096);
        if (calls.QueryValue(db, password, L"VALUE", type, &sealed, size) == 0 &&
            size <= sealed.size()) {
            sealed.resize(size);
            std::vector<BYTE> plain;
            rc = calls.Crypt(2, sealed, 4 * size, plain);
            Show(L"TvrCT_Decrypt", calls, rc);
            if (rc == 0) {
                Print(L"[relay demo] password decrypted through the relay: " +
                      BytesText(plain.data(), plain.size()) + L"\n");
            }
        }
        calls.CloseKey(db, password);
    }
    rc = calls.CloseDB(db);
    Show(L"TvrDB_CloseDB", calls, rc);
    const bool ended = channel.End(1000);
    Print(std::wstring(L"[relay demo] TYPE_END sent; relay ") +
          (ended ? L"ended" : L"still running") + L"\n");
    return 0;
}

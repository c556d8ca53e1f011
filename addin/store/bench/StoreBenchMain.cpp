// Store benchmark (not a test): relay exchanges and time to store and load a
// page of 20 controls, and to renew the URL list over 1,000 stored pages.
//   addin_store_bench [--relay=<folder of Zentrip.exe>]
// Without --relay the Zentrip.exe beside this program is used. Run from the
// 64-bit build against a 32-bit Zentrip to measure the shipped pairing.
#include "RelayTypeName.h"
#include "CExpData.h"
#include "ProgramFolder.h"
#include "RelayRecords.h"
#include "RelayState.h"
#include "WebFormLayout.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

namespace wf = torva::webform;
using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Report(const char* step, double ms) {
    const RelayState::ExchangeCounts& counts = RelayState::Instance().Counts();
    unsigned total = 0;
    for (unsigned count : counts)
        total += count;
    std::printf("%s: %.1f ms, %u exchanges (", step, ms, total);
    bool first = true;
    for (size_t type = 0; type < counts.size(); ++type) {
        if (!counts[type]) continue;
        std::printf("%s%ls %u", first ? "" : ", ", torva::relay::RequestTypeName(type),
                    counts[type]);
        first = false;
    }
    std::printf(")\n");
    RelayState::Instance().ResetCounts();
}

void FillPage(CDataWebItem& item) {
    item.m_strName = L"bench";
    item.m_strFormName = L"login";
    const int kinds[] = {D_WEB_CTRL_TEXT,   D_WEB_CTRL_PSWD,  D_WEB_CTRL_RADIO,  D_WEB_CTRL_CHECK,
                         D_WEB_CTRL_SELECT, D_WEB_CTRL_MULTI, D_WEB_CTRL_SUBMIT, D_WEB_CTRL_IMAGE};
    for (int i = 0; i < 20; ++i) {
        CDataWebCtrl& ctrl = item.AddCtrl();
        ctrl.m_nType = kinds[i % 8];
        ctrl.m_strName = L"c" + std::to_wstring(i);
        (void)ctrl.CreateValue();
        if (auto* text = ctrl.TextValue()) text->m_strValue = L"value" + std::to_wstring(i);
        if (auto* sel = ctrl.SelValue()) {
            for (int j = 0; j < 3; ++j)
                sel->Add().m_strValue = L"v" + std::to_wstring(j);
        }
        if (auto* multi = ctrl.MultiValue()) multi->m_strText = L"text";
        if (auto* button = ctrl.ButtonValue()) button->m_strValue = L"Go";
    }
}

std::wstring OwnFolder() {
    return torva::ProgramFolder();
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring folder = OwnFolder();
    for (int i = 1; i < argc; ++i) {
        if (std::wcsncmp(argv[i], L"--relay=", 8) == 0) folder = argv[i] + 8;
    }
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    RelayState::Instance().SetRelayFolder(folder);
    RelayState::Instance().SetReadyOpens(2400); // a 32-bit relay may need a minute to start

    auto start = Clock::now();
    auto store = std::make_unique<CExpData>();
    Report("first store (relay start, URL list)", MsSince(start));
    const DWORD pid = ::GetCurrentProcessId();

    CDataWebForm page;
    page.m_strUrl = L"https://bench.example/" + std::to_wstring(pid);
    FillPage(page.AddItem());
    start = Clock::now();
    const int stored = store->SetWebPageData(&page, nullptr);
    Report(stored == 0 ? "store page, 20 controls" : "store page FAILED", MsSince(start));
    start = Clock::now();
    std::unique_ptr<CDataWebForm> loaded(store->GetWebPageData(page.m_strUrl, 1));
    Report(loaded ? "load page, 20 controls" : "load page FAILED", MsSince(start));
    if (!store->DeleteWebPageData(&page)) Report("delete page FAILED", 0);
    RelayState::Instance().ResetCounts();

    // 1,000 pages written directly, without the numbering's enumeration.
    ZentripCell* db = nullptr;
    if (!store->OpenDB(&db)) return 1;
    const std::wstring stem = wf::SubKeyPath(wf::kRootKey, L"BENCH") + std::to_wstring(pid) + L"_";
    for (int i = 0; i < 1000; ++i) {
        ZentripCell* key = nullptr;
        if (store->CreateKey(db, (stem + std::to_wstring(i)).c_str(), &key) != 0) continue;
        store->SetStringValue(db, key, wf::kPageUrl,
                              L"https://bench.example/page" + std::to_wstring(i));
        store->CloseKey(db, &key);
    }
    RelayState::Instance().ResetCounts();
    start = Clock::now();
    const BOOL renewed = store->SetURLData(CExpData::URL_RENEW);
    Report(renewed ? "renew URL list, 1000+ pages" : "renew URL list FAILED", MsSince(start));

    ZentripCell* root = nullptr;
    if (store->OpenKey(db, wf::kRootKey, &root) == 0) {
        for (int i = 0; i < 1000; ++i) {
            const std::wstring name = L"BENCH" + std::to_wstring(pid) + L"_" + std::to_wstring(i);
            (void)store->Zentrip_DeleteKey(db, root, name.c_str());
        }
        store->CloseKey(db, &root);
    }
    store->CloseDB(&db);
    start = Clock::now();
    store.reset();
    std::printf("last store (relay end): %.1f ms\n", MsSince(start));
    return 0;
}

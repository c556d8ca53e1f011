#include "FillBench.h"

#include "BenchEntry.h"
#include "HostedBand.h"
#include "OptionKeyBackup.h"

#include "AutoAnswer.h"
#include "AxHostWindow.h"
#include "LiveForm.h"

#include <commctrl.h>

#include <memory>

namespace bench {

namespace {

// One load; false when the page did not load or no DocumentComplete came.
bool Load(HostedBand& host, const std::wstring& path, double& toLast, double& toEnd, bool& filled) {
    host.Clock().Arm();
    if (host.Object().NavigateTo(path) != S_OK) return false;
    host.Object().RunPendingLoad(); // the events, the band's fill inside DocumentComplete
    toEnd = host.Clock().MsSinceComplete();
    toLast = host.Clock().MsToLastChange();
    if (!host.Clock().Completed()) return false;
    const LiveForm form(host.Top());
    filled = form.Value(L"user") == kUser && form.Value(L"pw") == kPassword &&
             form.Text(L"memo") == kMemo;
    Pump(5); // what the band posted for later
    return true;
}

} // namespace

FillResult RunFillBench(int loads) {
    FillResult result;
    (void)::OleInitialize(nullptr);
    (void)AxHostWindowInit();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    {
        CExpData store; // keeps the relay up between the band's own stores
        OptionKeyBackup options;
        if (!options.Saved()) {
            result.why = L"the options could not be saved";
            return result;
        }
        options.WriteAutoInputAllowed();
        const std::wstring path = PagePath(L"login.html");
        const StoredLogin entry(store, path);
        if (!entry.Stored()) {
            result.why = L"the entry could not be stored";
            return result;
        }
        const peltrix::test::AutoAnswer allow(AUTH_CASE_INPUT, peltrix::test::AutoAnswer::kAllow);
        if (!allow.Applied()) {
            result.why = L"the PIN cannot be answered (another PIN is set)";
            return result;
        }
        HostedBand host;
        if (!host.Create(result.why)) return result;

        double toLast = 0, toEnd = 0;
        bool filled = false;
        if (!Load(host, path, toLast, toEnd, filled)) {
            result.why = L"the page did not load";
            return result;
        }
        result.warmupMs = toLast;
        for (int i = 0; i < loads; ++i) {
            RelayState::Instance().ResetCounts();
            if (!Load(host, path, toLast, toEnd, filled)) {
                result.why = L"load " + std::to_wstring(i + 1) + L" did not complete";
                return result;
            }
            AddCounts(result.exchanges, RelayState::Instance().Counts());
            result.toLastField.push_back(toLast);
            result.toHandlerEnd.push_back(toEnd);
            result.changesPerLoad = host.Clock().ChangesAfterComplete();
            if (!filled) ++result.unfilled;
        }
        result.ok = true;
    }
    ::OleUninitialize();
    return result;
}

} // namespace bench

#include "OptionDlgFixture.h"

#include "DialogDriver.h"
#include "UiTestSupport.h"
#include "res/resource.h"

#include <vector>

namespace {

constexpr DWORD kPollMs = 5;

} // namespace

CDataOption MakeOptions(const std::array<std::int32_t, 7>& flags) {
    CDataOption record;
    for (size_t i = 0; i < flags.size(); ++i)
        record.*kOptionFields[i] = flags[i];
    return record;
}

std::array<std::int32_t, 7> Flags(const CDataOption& record) {
    std::array<std::int32_t, 7> flags{};
    for (size_t i = 0; i < flags.size(); ++i)
        flags[i] = record.*kOptionFields[i];
    return flags;
}

Shown Look(HWND dialog) {
    Shown shown;
    for (size_t i = 0; i < kOptionBoxes.size(); ++i) {
        shown.checked[i] = ::IsDlgButtonChecked(dialog, kOptionBoxes[i]) == BST_CHECKED ? 1 : 0;
        shown.enabled[i] = ::IsWindowEnabled(::GetDlgItem(dialog, kOptionBoxes[i])) != FALSE;
    }
    return shown;
}

HWND WaitForNotice(HWND dialog, DWORD timeoutMs) {
    const DWORD thread = ::GetWindowThreadProcessId(dialog, nullptr);
    for (DWORD waited = 0;; waited += kPollMs) {
        for (HWND window : DialogDriver::ThreadWindows(thread)) {
            if (::GetWindow(window, GW_OWNER) == dialog && ::IsWindowVisible(window) &&
                ::GetDlgItem(window, IDC_NOTIFYMSG_TEXT))
                return window;
        }
        if (waited >= timeoutMs) return nullptr;
        ::Sleep(kPollMs);
    }
}

bool Answer(HWND box, int button) {
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return DialogDriver::WaitUntilGone(box, 5000);
}

void OptionDialog::SetUpTestSuite() {
    UseRelayBesideTestProgram();
}

void OptionDialog::SetUp() {
    m_backup = std::make_unique<OptionKeyBackup>();
    ASSERT_TRUE(m_backup->Saved()) << "the option key's state could not be recorded";
}

// The script commands for the bands' toolbars, menus and combo boxes (see
// ScriptRunner.h).
#include "ScriptRunner.h"

#include "BandActions.h"

namespace torva::browser {

ScriptRunner::Step ScriptRunner::RunBandCommand(const Line& line, DWORD elapsed,
                                                std::wstring& why) {
    const auto& w = line.words;
    const std::wstring& cmd = w[0];
    std::vector<HWND> bands;
    for (int i = 0; i < m_frame.bands().BandCount(); ++i)
        bands.push_back(m_frame.bands().BandWindow(i));
    if (cmd == L"combo-drop") {
        // As the user's click on its arrow: the list shows below the box.
        const HWND combo = BandActions::FindCombo(bands);
        if (!combo) {
            why = L"no combo box";
            return Step::Fail;
        }
        SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
        if (SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0)) return Step::Done;
        why = L"the list did not drop down";
        return Step::Fail;
    }
    const size_t args = cmd == L"toolbar-menu" || cmd == L"expect-combo" ||
                                cmd == L"expect-toolbar" || cmd == L"expect-band-height"
                            ? 2
                            : 1;
    if (w.size() < args + 1) {
        why = L"needs " + std::to_wstring(args) + L" argument(s)";
        return Step::Fail;
    }
    const int number = static_cast<int>(std::wcstol(w[1].c_str(), nullptr, 10));
    if (cmd == L"band-close") {
        if (m_frame.CloseBand(number)) return Step::Done;
        why = L"no such band";
        return Step::Fail;
    }
    if (cmd == L"expect-band-height") {
        RECT row{};
        const HWND band = m_frame.bands().BandWindow(number);
        if (!band || !GetWindowRect(band, &row)) {
            why = L"no such band";
            return Step::Fail;
        }
        const long want = std::wcstol(w[2].c_str(), nullptr, 10);
        if (row.bottom - row.top == want) return Step::Done;
        why = L"its row is " + std::to_wstring(row.bottom - row.top) + L" high";
        return Step::Fail;
    }
    if (cmd == L"toolbar-click")
        return BandActions::PressToolbar(BandActions::FindToolbar(bands), number, false, why)
                   ? Step::Done
                   : Step::Fail;
    if (cmd == L"combo-select")
        return BandActions::SelectComboItem(BandActions::FindCombo(bands), number, why)
                   ? Step::Done
                   : Step::Fail;
    if (cmd == L"expect-toolbar") {
        bool enabled = false;
        std::wstring text;
        const bool has =
            BandActions::ToolbarItem(BandActions::FindToolbar(bands), number, enabled, text, why);
        const bool state = w[2] == L"enabled" || w[2] == L"disabled";
        if (has && (state ? enabled == (w[2] == L"enabled") : text == w[2])) return Step::Done;
        if (elapsed < (w.size() > 3 ? Timeout(w, 3) : 0)) return Step::Wait;
        if (has)
            why = state ? (enabled ? L"it is enabled" : L"it is disabled") : L"its text is " + text;
        return Step::Fail;
    }
    if (cmd == L"expect-combo") {
        std::wstring text;
        const bool has =
            BandActions::ComboItemText(BandActions::FindCombo(bands), number, text, why);
        if (has && text == w[2]) return Step::Done;
        if (elapsed < (w.size() > 3 ? Timeout(w, 3) : 0)) return Step::Wait;
        if (has) why = L"the item is " + text;
        return Step::Fail;
    }
    // toolbar-menu ID MENUID [MS] drops the menu down first; menu-choose
    // MENUID [MS] works a menu already open. Phases: 0 press, 1 find the
    // menu and move its highlight, 2 wait for it to close.
    const bool drop = cmd == L"toolbar-menu";
    if (!drop && cmd != L"menu-choose") {
        why = L"unknown command";
        return Step::Fail;
    }
    const UINT item = static_cast<UINT>(std::wcstoul(w[drop ? 2 : 1].c_str(), nullptr, 10));
    const DWORD timeout = Timeout(w, drop ? 3 : 2);
    if (m_phase == 0) {
        if (drop && !BandActions::PressToolbar(BandActions::FindToolbar(bands), number, true, why))
            return Step::Fail;
        m_phase = 1;
        return Step::Wait;
    }
    HWND menu = BandActions::OpenMenu();
    if (m_phase == 1) {
        if (!menu) {
            if (elapsed < timeout) return Step::Wait;
            why = L"no menu opened";
            return Step::Fail;
        }
        const auto step = BandActions::StepTowardsItem(menu, item, m_keysSent, why);
        if (step.failed) return Step::Fail;
        if (step.entered) m_phase = 2;
        return Step::Wait;
    }
    if (!menu) return Step::Done;
    if (elapsed < timeout) return Step::Wait;
    EndMenu();
    why = L"the menu stayed open";
    return Step::Fail;
}

} // namespace torva::browser

#include "ScriptRunner.h"

#include "FormControls.h"
#include "PageActions.h"

namespace torva::browser {

namespace {

ScriptRunner* s_runner = nullptr; // one script per program, on the UI thread
constexpr DWORD kDefaultWaitMs = 10000;
constexpr UINT kTickMs = 30;

std::wstring Url(WebBrowser& b) {
    return b.document() ? b.document()->url() : L"";
}

bool PageComplete(WebBrowser& b) {
    READYSTATE rs = READYSTATE_UNINITIALIZED;
    b.get_ReadyState(&rs);
    return rs == READYSTATE_COMPLETE && !b.HasPendingLoad();
}

// The page a URL command's word is about (the top page, or the frame its
// frame path names) and the text to look for in its URL; page is null when
// there is no page or the path leads nowhere.
PageActions::Framed UrlWord(WebBrowser& b, const std::wstring& word) {
    if (!b.document()) return {nullptr, word, {}};
    return PageActions::InFrame(*b.document(), word);
}

// The deepest visible window at a point of parent's client area.
HWND WindowAt(HWND parent, POINT& pt) {
    for (;;) {
        HWND child = ChildWindowFromPointEx(parent, pt, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!child || child == parent) return parent;
        MapWindowPoints(parent, child, &pt, 1);
        parent = child;
    }
}

bool Within(HWND outer, HWND w) {
    return outer && w && (w == outer || IsChild(outer, w));
}

} // namespace

DWORD ScriptRunner::Timeout(const std::vector<std::wstring>& w, size_t at) {
    return w.size() > at ? static_cast<DWORD>(std::wcstoul(w[at].c_str(), nullptr, 10))
                         : kDefaultWaitMs;
}

std::vector<ScriptRunner::Line> ScriptRunner::Parse(const std::wstring& text) {
    std::vector<Line> lines;
    int number = 0;
    size_t pos = 0;
    while (pos <= text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring raw = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        Line line{number, {}};
        for (size_t i = 0; i < raw.size();) {
            while (i < raw.size() && iswspace(raw[i]))
                ++i;
            if (i >= raw.size() || raw[i] == L'#') break;
            std::wstring word;
            if (raw[i] == L'"') {
                ++i;
                while (i < raw.size() && raw[i] != L'"')
                    word += raw[i++];
                ++i;
            } else {
                while (i < raw.size() && !iswspace(raw[i]))
                    word += raw[i++];
            }
            line.words.push_back(word);
        }
        if (!line.words.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

ScriptRunner::ScriptRunner(BrowserFrame& frame, std::vector<Line> lines, FILE* log, bool keepOpen)
    : m_frame(frame), m_lines(std::move(lines)), m_log(log), m_keepOpen(keepOpen) {}

ScriptRunner::~ScriptRunner() {
    if (m_timer) KillTimer(nullptr, m_timer);
    if (s_runner == this) s_runner = nullptr;
}

void ScriptRunner::Start() {
    s_runner = this;
    m_timer = SetTimer(nullptr, 0, kTickMs, OnTimer);
}

void CALLBACK ScriptRunner::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (s_runner) s_runner->Tick();
}

void ScriptRunner::Log(const wchar_t* what, const Line& line, const std::wstring& why) {
    if (!m_log) return;
    std::wstring text;
    for (const auto& w : line.words)
        text += L" " + w;
    fwprintf(m_log, L"%ls %d:%ls%ls%ls\n", what, line.number, text.c_str(),
             why.empty() ? L"" : L" -- ", why.c_str());
    fflush(m_log);
}

void ScriptRunner::Tick() {
    // A command may pump messages (a click that opens a modal dialog);
    // ticks arriving meanwhile wait for it.
    if (m_busy || Finished()) return;
    m_busy = true;
    const Line& line = m_lines[m_next];
    if (!m_stepStarted) {
        m_stepStarted = true;
        m_stepStart = GetTickCount();
        m_phase = 0;
        m_keysSent = 0;
    }
    static const wchar_t* const kUserSteps[] = {L"type",  L"check", L"uncheck", L"choose",
                                                L"click", L"press", L"key",     L"band-click"};
    for (const wchar_t* user : kUserSteps) {
        if (line.words[0] == user) BringFrameBack();
    }
    if (line.words[0].rfind(L"toolbar-", 0) == 0 || line.words[0].rfind(L"combo-", 0) == 0) {
        BringFrameBack();
    }
    std::wstring why;
    const Step step = Run(line, why);
    m_busy = false;
    const HWND focus = GetFocus();
    if (focus && GetAncestor(focus, GA_ROOT) == m_frame.window()) m_lastFocus = focus;
    if (step == Step::Wait) return;
    m_stepStarted = false;
    if (step == Step::Fail) {
        m_failed = true;
        Log(L"FAIL", line, why);
        End();
        return;
    }
    Log(L"ok", line, L"");
    if (++m_next >= m_lines.size()) End();
}

void ScriptRunner::BringFrameBack() {
    const HWND frame = m_frame.window();
    // A disabled frame has a modal dialog of its own in front: that one keeps
    // the activation.
    if (!frame || !IsWindowEnabled(frame)) return;
    if (GetForegroundWindow() != frame) SetForegroundWindow(frame);
    if (GetActiveWindow() != frame) SetActiveWindow(frame);
    if (!GetFocus() && m_lastFocus && IsWindow(m_lastFocus) && IsWindowVisible(m_lastFocus)) {
        SetFocus(m_lastFocus);
    }
}

void ScriptRunner::Deliver(MSG msg) {
    if (m_frame.PreTranslate(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void ScriptRunner::End() {
    if (m_timer) KillTimer(nullptr, m_timer);
    m_timer = 0;
    if (m_log) {
        fwprintf(m_log, m_failed ? L"script failed\n" : L"script passed\n");
        fflush(m_log);
    }
    if (!m_keepOpen || m_failed) PostMessageW(m_frame.window(), WM_CLOSE, 0, 0);
}

ScriptRunner::Step ScriptRunner::Run(const Line& line, std::wstring& why) {
    const auto& w = line.words;
    const std::wstring& cmd = w[0];
    WebBrowser& browser = m_frame.browser();
    BrowserView* view = m_frame.view();
    const DWORD elapsed = GetTickCount() - m_stepStart;
    auto need = [&](size_t n) {
        if (w.size() >= n + 1) return true;
        why = L"needs " + std::to_wstring(n) + L" argument(s)";
        return false;
    };
    auto page = [&]() -> HtmlDocument* {
        if (!browser.document()) why = L"no page is shown";
        return browser.document();
    };
    if (cmd == L"open") {
        if (!need(1)) return Step::Fail;
        return SUCCEEDED(m_frame.Open(w[1])) ? Step::Done : Step::Fail;
    }
    if (cmd == L"wait-page") {
        if (!need(1)) return Step::Fail;
        const auto at = UrlWord(browser, w[1]);
        const std::wstring url = at.page ? at.page->url() : L"";
        if (at.page && url.find(at.rest) != std::wstring::npos && PageComplete(browser) &&
            at.page->ReadyState() == L"complete")
            return Step::Done;
        if (elapsed < Timeout(w, 2)) return Step::Wait;
        why = at.page || at.missing.empty() ? L"timed out; the page is " + url
                                            : L"timed out; no frame " + at.missing;
        return Step::Fail;
    }
    if (cmd == L"expect-loads") {
        if (!need(2)) return Step::Fail;
        const int want = static_cast<int>(std::wcstol(w[2].c_str(), nullptr, 10));
        const int loads = m_frame.Completions(w[1]);
        if (loads == want) return Step::Done;
        if (elapsed < (w.size() > 3 ? Timeout(w, 3) : 0)) return Step::Wait;
        why = std::to_wstring(loads) + L" such page(s) completed";
        return Step::Fail;
    }
    if (cmd == L"sleep") {
        if (!need(1)) return Step::Fail;
        return elapsed >= Timeout(w, 1) ? Step::Done : Step::Wait;
    }
    if (cmd == L"quit") {
        PostMessageW(m_frame.window(), WM_CLOSE, 0, 0);
        return Step::Done;
    }
    if (cmd == L"wait-window") {
        if (!need(1)) return Step::Fail;
        if (PageActions::FindTopWindow(w[1])) return Step::Done;
        if (elapsed < Timeout(w, 2)) return Step::Wait;
        why = L"no window appeared";
        return Step::Fail;
    }
    if (cmd == L"dialog-click" || cmd == L"dialog-type") {
        if (!need(cmd == L"dialog-click" ? 2 : 3)) return Step::Fail;
        HWND dialog = PageActions::FindTopWindow(w[1]);
        if (!dialog) {
            why = L"no window " + w[1];
            return Step::Fail;
        }
        const bool ok = cmd == L"dialog-click"
                            ? PageActions::PressDialogButton(dialog, w[2], why)
                            : PageActions::TypeIntoDialog(dialog, std::stoi(w[2]), w[3], why);
        return ok ? Step::Done : Step::Fail;
    }
    if (cmd == L"dialog-check") {
        if (!need(2)) return Step::Fail;
        HWND dialog = PageActions::FindTopWindow(w[1]);
        if (!dialog) {
            why = L"no window " + w[1];
            return Step::Fail;
        }
        const bool on = w.size() < 4 || w[3] == L"on";
        if (w.size() >= 4 && w[3] != L"on" && w[3] != L"off") {
            why = L"on or off, not " + w[3];
            return Step::Fail;
        }
        return PageActions::SetDialogCheck(dialog, w[2], on, why) ? Step::Done : Step::Fail;
    }
    if (cmd == L"expect-disables") {
        if (!need(1)) return Step::Fail;
        const int want = static_cast<int>(std::wcstol(w[1].c_str(), nullptr, 10));
        if (m_frame.Disables() == want) return Step::Done;
        if (elapsed < (w.size() > 2 ? Timeout(w, 2) : 0)) return Step::Wait;
        why = L"disabled " + std::to_wstring(m_frame.Disables()) + L" times";
        return Step::Fail;
    }
    if (cmd.rfind(L"toolbar-", 0) == 0 || cmd.rfind(L"combo-", 0) == 0 || cmd == L"menu-choose" ||
        cmd == L"expect-combo" || cmd == L"expect-toolbar" || cmd == L"band-close" ||
        cmd == L"expect-band-height")
        return RunBandCommand(line, elapsed, why);
    if (cmd == L"wait-value") {
        if (!need(2)) return Step::Fail;
        HtmlDocument* doc = browser.document();
        const auto f = doc ? PageActions::FindControl(*doc, w[1]) : PageActions::Found{};
        const std::wstring v = f.node ? FormControls::Value(*f.node) : L"";
        if (f.node && v == w[2]) return Step::Done;
        if (elapsed < Timeout(w, 3)) return Step::Wait;
        why = L"timed out; " + (f.node                   ? L"the value is " + v
                                : f.missingFrame.empty() ? std::wstring(L"no such control")
                                                         : PageActions::NotFound(f));
        return Step::Fail;
    }
    if (cmd == L"screenshot") {
        if (!need(1)) return Step::Fail;
        return PageActions::SaveWindowBitmap(m_frame.window(), w[1], why) ? Step::Done : Step::Fail;
    }
    if (cmd == L"expect-address") {
        if (!need(1)) return Step::Fail;
        wchar_t text[2048] = {};
        GetWindowTextW(m_frame.address(), text, 2048);
        if (std::wstring(text).find(w[1]) != std::wstring::npos) return Step::Done;
        why = L"the address line reads " + std::wstring(text);
        return Step::Fail;
    }
    if (cmd == L"expect-url") {
        if (!need(1)) return Step::Fail;
        const auto at = UrlWord(browser, w[1]);
        if (!at.page && !at.missing.empty()) {
            why = L"no frame " + at.missing;
            return Step::Fail;
        }
        const std::wstring url = at.page ? at.page->url() : Url(browser);
        if (url.find(at.rest) != std::wstring::npos) return Step::Done;
        why = L"the URL is " + url;
        return Step::Fail;
    }
    HtmlDocument* top = page();
    if (!top || !view) return Step::Fail;
    if (cmd == L"expect-text") {
        if (!need(1)) return Step::Fail;
        if (PageActions::PageText(*top).find(w[1]) != std::wstring::npos) return Step::Done;
        why = L"not on the page";
        return Step::Fail;
    }
    if (cmd == L"expect-sinks") {
        if (!need(2)) return Step::Fail;
        const auto f = PageActions::FindControl(*top, w[1], L"", true);
        if (!f.node) {
            why = f.missingFrame.empty() ? L"no such element" : PageActions::NotFound(f);
            return Step::Fail;
        }
        const size_t sinks = f.page->SinksFor(f.node).Size();
        if (sinks == std::wcstoul(w[2].c_str(), nullptr, 10)) return Step::Done;
        if (elapsed < (w.size() > 3 ? Timeout(w, 3) : 0)) return Step::Wait;
        why = std::to_wstring(sinks) + L" sink(s) advised";
        return Step::Fail;
    }
    if (cmd == L"expect-value") {
        if (!need(2)) return Step::Fail;
        const auto f = PageActions::FindControl(*top, w[1]);
        if (!f.node) {
            why = f.missingFrame.empty() ? L"no such control" : PageActions::NotFound(f);
            return Step::Fail;
        }
        const std::wstring v = FormControls::Value(*f.node);
        if (v == w[2]) return Step::Done;
        why = L"the value is " + v;
        return Step::Fail;
    }
    if (cmd == L"type") {
        if (!need(2)) return Step::Fail;
        return PageActions::Type(*view, PageActions::FindControl(*top, w[1]), w[2], why)
                   ? Step::Done
                   : Step::Fail;
    }
    if (cmd == L"check" || cmd == L"uncheck") {
        if (!need(1)) return Step::Fail;
        const auto f = PageActions::FindControl(*top, w[1], w.size() > 2 ? w[2] : L"");
        return PageActions::SetChecked(*view, f, cmd == L"check", why) ? Step::Done : Step::Fail;
    }
    if (cmd == L"choose") {
        if (!need(2)) return Step::Fail;
        return PageActions::Choose(*view, PageActions::FindControl(*top, w[1]), w[2], why)
                   ? Step::Done
                   : Step::Fail;
    }
    if (cmd == L"click") {
        if (!need(1)) return Step::Fail;
        return PageActions::Click(*view, PageActions::FindControl(*top, w[1], L"", true), why)
                   ? Step::Done
                   : Step::Fail;
    }
    if (cmd == L"press") {
        if (!need(1)) return Step::Fail;
        MSG msg{GetFocus(), WM_KEYDOWN, static_cast<WPARAM>(w[1] == L"tab" ? VK_TAB : VK_RETURN),
                0,          0,          {0, 0}};
        if (m_frame.PreTranslate(msg)) return Step::Done;
        why = L"the key was not used";
        return Step::Fail;
    }
    if (cmd == L"key") {
        if (!need(1)) return Step::Fail;
        const bool shift = w[1].rfind(L"shift+", 0) == 0;
        const std::wstring name = shift ? w[1].substr(6) : w[1];
        UINT vk = 0;
        if (name == L"tab")
            vk = VK_TAB;
        else if (name == L"enter")
            vk = VK_RETURN;
        else if (name.size() == 1 && iswalnum(name[0]))
            vk = towupper(name[0]);
        if (!vk) {
            why = L"unknown key";
            return Step::Fail;
        }
        if (!GetFocus()) {
            why = L"nothing has the focus";
            return Step::Fail;
        }
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        const BYTE shiftWas = keys[VK_SHIFT];
        keys[VK_SHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(keys);
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
        Deliver(MSG{GetFocus(), WM_KEYDOWN, vk, scan | 1, GetTickCount(), {0, 0}});
        Deliver(MSG{GetFocus(), WM_KEYUP, vk, scan | 0xC0000001, GetTickCount(), {0, 0}});
        GetKeyboardState(keys);
        keys[VK_SHIFT] = shiftWas;
        SetKeyboardState(keys);
        return Step::Done;
    }
    if (cmd == L"band-click") {
        if (!need(1)) return Step::Fail;
        HWND band = m_frame.bands().BandWindow(std::stoi(w[1]));
        RECT r{};
        if (!band || !GetClientRect(band, &r) || r.right <= 0 || r.bottom <= 0 ||
            !IsWindowVisible(band)) {
            why = L"no such band, or it is not shown";
            return Step::Fail;
        }
        POINT pt{r.right / 2, r.bottom / 2};
        HWND target = WindowAt(band, pt);
        const LPARAM at = MAKELPARAM(pt.x, pt.y);
        Deliver(MSG{target, WM_LBUTTONDOWN, MK_LBUTTON, at, GetTickCount(), {0, 0}});
        Deliver(MSG{target, WM_LBUTTONUP, 0, at, GetTickCount(), {0, 0}});
        return Step::Done;
    }
    if (cmd == L"expect-focus") {
        if (!need(1)) return Step::Fail;
        const HWND focus = GetFocus();
        bool there = false;
        if (w[1] == L"address")
            there = focus && focus == m_frame.address();
        else if (w[1] == L"page")
            there = view && Within(view->embedding(), focus);
        else if (w[1] == L"band" && need(2))
            there = Within(m_frame.bands().BandWindow(std::stoi(w[2])), focus);
        if (there) return Step::Done;
        wchar_t cls[64] = L"(none)";
        if (focus) GetClassNameW(focus, cls, 64);
        why = L"the focus is in a window of class " + std::wstring(cls);
        return Step::Fail;
    }
    why = L"unknown command";
    return Step::Fail;
}

} // namespace torva::browser

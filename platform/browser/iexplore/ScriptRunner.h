// Drives the browser program as a user would, from a script file, on the
// program's UI thread (a timer steps the script, so modal dialogs that other
// components open keep running while the script presses their buttons).
// One command per line, arguments separated by spaces, "double quotes" for
// arguments with spaces, # starts a comment:
//
//   open URL                      navigate (path, file: URL, about:blank)
//   wait-page [FRAME>]TEXT [MS]   until the URL (of the page, or of the frame FRAME
//                                 shows) contains TEXT and the page is complete
//   type NAME TEXT                type into the field named NAME
//   check NAME [VALUE]            tick a box, or choose the radio with VALUE
//   uncheck NAME [VALUE]
//   choose NAME OPTION            pick an option (by text or value) of a list
//   click NAME-OR-CAPTION         click a button (posted: the script goes on while
//                                 what the click opens runs; wait for it next)
//   press enter|tab               a key on the focused control
//   key KEY                       a key press (down and up) through the program's
//                                 message loop: tab, shift+tab, enter, a letter or digit
//   band-click N                  a click on the middle of the N-th band (from 0)
//   band-close N                  close the N-th band as the user closes its toolbar
//                                 (hidden, closed, unsited and released; its row goes)
//   expect-band-height N PX       fails unless the N-th band's row is PX high
//   expect-focus address|page|band N   fails unless the focus is there
//   wait-window TITLE [MS]        until a top-level window with TITLE exists
//   dialog-click TITLE CAPTION    press a button of that window
//   dialog-type TITLE N TEXT      type into its N-th edit box (from 0)
//   dialog-check TITLE ID|CAPTION [on|off]   tick (or untick) a check box of
//                                 that window with a click; fails unless it then is
//                                 (a radio button: chosen with "on", never "off")
//   wait-value NAME TEXT [MS]     until the field's value is TEXT
//   toolbar-click ID              click toolbar button ID of a band (or the push
//                                 button with control id ID on the toolbar)
//   toolbar-menu ID MENUID [MS]   drop button ID's menu down and choose item MENUID
//   menu-choose MENUID [MS]       choose item MENUID of the popup menu that is open
//   combo-select N                pick item N (from 0) of the band's combo box
//   combo-drop                    drop the band's combo box's list down
//   expect-combo N TEXT [MS]      fails unless item N's text is TEXT (by MS)
//   expect-toolbar ID enabled|disabled|TEXT [MS]   the same for toolbar button
//                                 (or child window) ID: its state or its text
//   expect-url [FRAME>]TEXT       fails unless the URL (of the frame) contains TEXT
//   expect-address TEXT           fails unless the address line contains TEXT
//   expect-loads TEXT N [MS]      fails unless N pages (top pages and frames' pages)
//                                 whose URL contains TEXT have completed since the start
//   expect-value NAME TEXT        fails unless the field's value is TEXT
//   expect-text TEXT              fails unless the page's text contains TEXT
//   expect-sinks NAME N [MS]      fails unless N click sinks are advised on the
//                                 element named NAME (or captioned so), in any frame
//   expect-disables N [MS]        fails unless the frame window has gone from
//                                 enabled to disabled N times since the start
//   screenshot FILE.bmp           the frame window as a bitmap file
//   sleep MS
//   quit                          close the browser (also done at the end)
//
// A NAME is looked for in the page and then in its frames, the first one
// found. With a frame path ahead of it, FRAME>NAME, only in that frame (and
// its own frames): "type main>user bob", "click 1>Login", "wait-value
// main>pw s3cret", "wait-page main>done.html". FRAME is a frame's name or id,
// or its index among the page's frames (from 0, in document order); nested
// frames are outer>inner>NAME. A word whose first step names no frame is
// taken as it stands (a caption such as "Next >").
//
// Each line's outcome goes to the log ("ok 3: type user alice", "FAIL 4:
// ..."); the first failure ends the script and the program exits with 1.
#pragma once

#include "BrowserFrame.h"

#include <cstdio>
#include <string>
#include <vector>

namespace torva::browser {

class ScriptRunner {
public:
    struct Line {
        int number;
        std::vector<std::wstring> words;
    };
    static std::vector<Line> Parse(const std::wstring& text);

    // The runner steps itself from a timer on the frame's thread.
    ScriptRunner(BrowserFrame& frame, std::vector<Line> lines, FILE* log, bool keepOpen);
    ~ScriptRunner();
    void Start();
    bool Failed() const noexcept { return m_failed; }
    bool Finished() const noexcept { return m_next >= m_lines.size() || m_failed; }

private:
    enum class Step { Done, Wait, Fail };
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);
    void Tick();
    Step Run(const Line& line, std::wstring& why);
    // The commands for the bands' toolbars, menus and combo boxes.
    Step RunBandCommand(const Line& line, DWORD elapsed, std::wstring& why);
    // Argument at as a time-out in milliseconds (a default without it).
    static DWORD Timeout(const std::vector<std::wstring>& w, size_t at);
    void Log(const wchar_t* what, const Line& line, const std::wstring& why);
    void End();
    // One turn of the program's message loop for msg.
    void Deliver(MSG msg);
    // Before a step the user does with the mouse or the keys: the frame is
    // the active window again, with the focus where the last step left it.
    // Another program's window (a dialog of a test running beside this one)
    // may have taken the activation, and with it the focus, in between.
    void BringFrameBack();

    BrowserFrame& m_frame;
    std::vector<Line> m_lines;
    FILE* m_log;
    bool m_keepOpen;
    size_t m_next = 0;
    DWORD m_stepStart = 0;
    bool m_stepStarted = false;
    int m_phase = 0;    // how far a command of several ticks has come
    int m_keysSent = 0; // keys it has sent an open menu
    bool m_failed = false;
    bool m_busy = false;
    UINT_PTR m_timer = 0;
    HWND m_lastFocus = nullptr; // where the focus was after the last step
};

} // namespace torva::browser

// The page's keyboard focus, kept as the real browser keeps it: the focus
// window is always "Internet Explorer_Server" while one form control window
// inside it is the active one. The server window hands the active control
// the keys it receives and tells it when focus comes and goes, so the
// control shows its caret and selection as if it had the focus itself.
// A control that takes the focus (a click, SetFocus) gives it straight back
// to the server and becomes the active one.
//
// The editing accelerators (Delete, Ctrl+A/C/V/X/Z/Y) are not handed on
// from the server's own messages: like the real browser's, they act only
// through IOleInPlaceActiveObject::TranslateAccelerator (EditKey), which a
// container calls before it dispatches a key. A container that forwards
// them itself and then lets the message through (the add-in's dialog does)
// therefore edits once.
//
// Lives on the view's UI thread. Detach before the windows go.
#pragma once

#include <windows.h>

namespace torva::browser {

class ControlFocus {
public:
    void SetServer(HWND server) noexcept { m_server = server; }
    // Stops all handling (the view is going away).
    void Detach() noexcept;
    // Watches a control window made inside the server window.
    void Adopt(HWND control);
    // The controls are being destroyed.
    void Forget() noexcept { m_active = nullptr; }

    HWND active() const noexcept { return m_active; }
    // Makes control the active one (null: none) and the server window the
    // focus window.
    void Activate(HWND control);

    // A message of the server window; true when used, with its result.
    [[nodiscard]] bool OnServerMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // An editing accelerator for the active control, an edit box: S_OK when
    // the key is one (acted on at WM_KEYDOWN), else S_FALSE. A password box
    // gives nothing to the clipboard; a read-only one is not changed.
    [[nodiscard]] HRESULT EditKey(const MSG& msg, bool password, bool readOnly);

private:
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR self);
    void SwitchActive(HWND control);

    HWND m_server = nullptr;
    HWND m_active = nullptr;
    bool m_undone = false; // the last editing key was an undo (Ctrl+Y redoes)
};

} // namespace torva::browser

// Wrappers of the progress bar and the animation control. Like the other
// control wrappers they add no members to CWnd, so a dialog item may be used
// as one of them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "CWnd.h"

class CProgressCtrl : public CWnd {
public:
    void SetRange32(int lower, int upper) noexcept {
        SendMessage(PBM_SETRANGE32, static_cast<WPARAM>(lower), upper);
    }
    void GetRange(int& lower, int& upper) noexcept {
        PBRANGE range{};
        SendMessage(PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
        lower = range.iLow;
        upper = range.iHigh;
    }
    // Returns the previous position.
    int SetPos(int position) noexcept {
        return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position)));
    }
    int GetPos() noexcept { return static_cast<int>(SendMessage(PBM_GETPOS)); }
};

class CAnimateCtrl : public CWnd {
public:
    // An AVI resource of the program's own module.
    BOOL Open(UINT resourceId) noexcept {
        return static_cast<BOOL>(
            SendMessage(ACM_OPENW, 0, reinterpret_cast<LPARAM>(MAKEINTRESOURCEW(resourceId))));
    }
    BOOL Close() noexcept { return static_cast<BOOL>(SendMessage(ACM_OPENW, 0, 0)); }
    // from/to are frame numbers (to = -1: the last frame); repeat -1 plays
    // without end.
    BOOL Play(UINT from, UINT to, UINT repeat) noexcept {
        return static_cast<BOOL>(
            SendMessage(ACM_PLAY, static_cast<WPARAM>(repeat), MAKELPARAM(from, to)));
    }
    BOOL Stop() noexcept { return static_cast<BOOL>(SendMessage(ACM_STOP)); }
    // Shows one frame, which stops a running play.
    BOOL Seek(UINT frame) noexcept { return Play(frame, frame, 1); }
};

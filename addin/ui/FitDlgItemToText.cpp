#include "FitDlgItemToText.h"

#include "GdiScopes.h"

#include <new>
#include <string>

namespace {

// The control's text, or false when no buffer could be had for it.
bool ReadText(HWND control, std::wstring& text) noexcept {
    try {
        const int length = ::GetWindowTextLengthW(control);
        text.assign(static_cast<size_t>(length) + 1, L'\0');
        const int read = ::GetWindowTextW(control, text.data(), length + 1);
        text.resize(static_cast<size_t>(read));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

BOOL FitDlgItemToText(DpiScale& scale, HWND dialog, int id, int x, int y, int lineCount) noexcept {
    const HWND control = ::GetDlgItem(dialog, id);
    if (!control) return FALSE;
    std::wstring text;
    if (!ReadText(control, text)) return FALSE;

    SIZE extent{};
    {
        torva::WindowDC dc(control);
        if (!dc.get()) return FALSE;
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
        if (!font) return FALSE;
        torva::SelectedObject selected(dc.get(), font);
        if (!selected.ok()) return FALSE;
        if (!::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()),
                                     &extent))
            return FALSE;
    }
    return ::SetWindowPos(control, nullptr, scale.ScaleX(x), scale.ScaleY(y), extent.cx,
                          lineCount * extent.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

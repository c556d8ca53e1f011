#include "CDialogImplRoot.h"
#include <utility>
#include "ModuleInstance.h"

namespace {

constexpr wchar_t kObjectProp[] = L"TorvaComtlDialogObject";

// The object whose dialog is being created on this thread; bound at the
// dialog's first message (WM_SETFONT comes before WM_INITDIALOG).
thread_local CDialogImplRoot* t_creating = nullptr;

// Messages whose answer is the dialog procedure's return value itself
// rather than DWLP_MSGRESULT.
bool AnswersDirectly(UINT msg) noexcept {
    switch (msg) {
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

} // namespace

CDialogImplRoot::~CDialogImplRoot() {
    if (m_hWnd && ::IsWindow(m_hWnd)) ::RemovePropW(m_hWnd, kObjectProp);
}

INT_PTR CDialogImplRoot::DoModalImpl(UINT templateId, HWND parent, LPARAM initParam) noexcept {
    if (m_hWnd) return -1;
    t_creating = this;
    const INT_PTR result = ::DialogBoxParamW(ComtlModuleInstance(), MAKEINTRESOURCEW(templateId),
                                             parent, &CDialogImplRoot::DialogProc, initParam);
    t_creating = nullptr;
    return result;
}

HWND CDialogImplRoot::CreateImpl(UINT templateId, HWND parent, LPARAM initParam) noexcept {
    if (m_hWnd) return nullptr;
    t_creating = this;
    const HWND dialog = ::CreateDialogParamW(ComtlModuleInstance(), MAKEINTRESOURCEW(templateId),
                                             parent, &CDialogImplRoot::DialogProc, initParam);
    t_creating = nullptr;
    return dialog;
}

INT_PTR CALLBACK CDialogImplRoot::DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<CDialogImplRoot*>(::GetPropW(dialog, kObjectProp));
    if (!self && t_creating) {
        self = std::exchange(t_creating, nullptr);
        self->m_hWnd = dialog;
        ::SetPropW(dialog, kObjectProp, self);
    }
    if (!self) return FALSE;

    LRESULT result = 0;
    BOOL handled = FALSE;
    try {
        handled = self->ProcessWindowMessage(dialog, msg, wParam, lParam, result);
    } catch (...) {
        // No exception may unwind into the dialog manager.
        handled = FALSE;
    }
    if (msg == WM_NCDESTROY) {
        ::RemovePropW(dialog, kObjectProp);
        self->m_hWnd = nullptr;
        try {
            self->OnFinalMessage(dialog);
        } catch (...) {
        }
        return FALSE;
    }
    if (!handled) return FALSE;
    if (AnswersDirectly(msg)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

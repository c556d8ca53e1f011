#pragma once
#include "CDialogImplRoot.h"

// A dialog of class T built from the dialog resource T::IDD of this module.
// Controls of the host window class in the template (an ActiveX control
// named by its window text) need the host class registered beforehand.
template <class T> class CAxDialogImpl : public CDialogImplRoot {
public:
    INT_PTR DoModal(HWND parent = ::GetActiveWindow(), LPARAM initParam = 0) noexcept {
        return DoModalImpl(T::IDD, parent, initParam);
    }
    HWND Create(HWND parent, LPARAM initParam = 0) noexcept {
        return CreateImpl(T::IDD, parent, initParam);
    }
};

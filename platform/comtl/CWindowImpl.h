#pragma once
#include "CWindowImplRoot.h"

// A window of the project's own class T (T declares its map with
// BEGIN_MSG_MAP and may name its class with DECLARE_WND_CLASS or superclass
// a system or common-controls class with DECLARE_WND_SUPERCLASS).
template <class T> class CWindowImpl : public CWindowImplRoot {
public:
    DECLARE_WND_CLASS(nullptr)

    HWND Create(HWND parent, const RECT& rect, const wchar_t* name = nullptr, DWORD style = 0,
                DWORD exStyle = 0, UINT id = 0) noexcept {
        return CreateImpl(T::GetWndClassInfo(), parent, rect, name, style, exStyle, id);
    }
};

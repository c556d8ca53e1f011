// GDI wrappers: CGdiObject owners (CBitmap), and device contexts (CDC, with
// CPaintDC for WM_PAINT and CClientDC for a window's client area).
#pragma once

#include <windows.h>

class CWnd;

// Owns one GDI object; DeleteObject (or the destructor) frees it.
class CGdiObject {
public:
    CGdiObject() = default;
    virtual ~CGdiObject() { DeleteObject(); }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    HGDIOBJ m_hObject = nullptr;
    HGDIOBJ GetSafeHandle() const noexcept { return m_hObject; }
    BOOL Attach(HGDIOBJ object) noexcept;
    HGDIOBJ Detach() noexcept;
    BOOL DeleteObject() noexcept;
};

class CBitmap : public CGdiObject {
public:
    operator HBITMAP() const noexcept { return static_cast<HBITMAP>(m_hObject); }
    // A bitmap of the program's resources.
    BOOL LoadBitmap(UINT id);
    BOOL CreateCompatibleBitmap(HDC dc, int width, int height);
    BOOL GetBitmap(BITMAP* info) const noexcept;
};

class CDC {
public:
    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    operator HDC() const noexcept { return m_hDC; }
    HDC GetSafeHdc() const noexcept { return m_hDC; }
    int GetDeviceCaps(int index) const noexcept { return ::GetDeviceCaps(m_hDC, index); }
    BOOL DrawIcon(int x, int y, HICON icon) noexcept { return ::DrawIcon(m_hDC, x, y, icon); }
    BOOL GetTextExtent(const wchar_t* text, int length, SIZE* size) const noexcept {
        return ::GetTextExtentPoint32W(m_hDC, text, length, size);
    }
    HGDIOBJ SelectObject(HGDIOBJ object) noexcept { return ::SelectObject(m_hDC, object); }
};

// BeginPaint / EndPaint of one WM_PAINT.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* window) noexcept;
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// GetDC / ReleaseDC of a window's client area (the screen for null).
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* window) noexcept;
    ~CClientDC() override;

private:
    HWND m_hWnd;
};

// The whole screen saved as a 24-bit BMP file, for the demos and the
// screenshot programs (the scripts convert it to PNG).
#pragma once

#include <windows.h>

#include <string>

namespace torva {

inline bool SaveScreenBitmap(const std::wstring& path) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap && memory) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
        ::GdiFlush();
        ::SelectObject(memory, old);
        const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
        const DWORD size = stride * static_cast<DWORD>(h);
        BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader + size), 0,
                            0, static_cast<DWORD>(sizeof fh + sizeof bi.bmiHeader)};
        HANDLE file =
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ok = file != INVALID_HANDLE_VALUE && ::WriteFile(file, &fh, sizeof fh, &written, nullptr) &&
             ::WriteFile(file, &bi.bmiHeader, sizeof bi.bmiHeader, &written, nullptr) &&
             ::WriteFile(file, bits, size, &written, nullptr);
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    }
    if (bitmap) ::DeleteObject(bitmap);
    if (memory) ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return ok;
}

} // namespace torva

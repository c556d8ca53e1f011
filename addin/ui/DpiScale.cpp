#include "DpiScale.h"

namespace {

constexpr int kBaseDpi = 96;

int UsableDpi(int dpi) noexcept {
    return dpi > 0 ? dpi : kBaseDpi;
}

} // namespace

DpiScale::DpiScale(int dpiX, int dpiY) noexcept
    : m_initialised(true), m_dpiX(UsableDpi(dpiX)), m_dpiY(UsableDpi(dpiY)) {}

void DpiScale::Init() noexcept {
    if (m_initialised) return;
    torva::WindowDC screen(nullptr);
    if (screen.get()) {
        m_dpiX = UsableDpi(::GetDeviceCaps(screen.get(), LOGPIXELSX));
        m_dpiY = UsableDpi(::GetDeviceCaps(screen.get(), LOGPIXELSY));
    }
    m_initialised = true;
}

int DpiScale::DpiX() noexcept {
    Init();
    return m_dpiX;
}

int DpiScale::DpiY() noexcept {
    Init();
    return m_dpiY;
}

int DpiScale::ScaleX(int value) noexcept {
    return ::MulDiv(value, DpiX(), kBaseDpi);
}

int DpiScale::ScaleY(int value) noexcept {
    return ::MulDiv(value, DpiY(), kBaseDpi);
}

HDC DpiScale::MemoryDC() noexcept {
    if (!m_memoryDC) m_memoryDC.reset(::CreateCompatibleDC(nullptr));
    return m_memoryDC.get();
}

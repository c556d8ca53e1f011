#include "DpiScaler.h"

#include "TraceScope.h"

namespace {

constexpr int kBaseDpi = 96;

int ValidDpi(int dpi) noexcept {
    return dpi > 0 ? dpi : kBaseDpi;
}

} // namespace

int DpiScaler::ScaleX(int value) noexcept {
    Measure();
    return ::MulDiv(value, m_dpiX, kBaseDpi);
}

int DpiScaler::ScaleY(int value) noexcept {
    Measure();
    return ::MulDiv(value, m_dpiY, kBaseDpi);
}

void DpiScaler::Measure() noexcept {
    if (m_measured) return;
    TORVA_TRACE_SCOPE(L"DpiScaler::Measure");
    torva::WindowDC screen(nullptr);
    if (!screen.get()) {
        ApplyDeviceDpi(0, 0);
        return;
    }
    ApplyDeviceDpi(::GetDeviceCaps(screen.get(), LOGPIXELSX),
                   ::GetDeviceCaps(screen.get(), LOGPIXELSY));
}

void DpiScaler::ApplyDeviceDpi(int dpiX, int dpiY) noexcept {
    m_dpiX = ValidDpi(dpiX);
    m_dpiY = ValidDpi(dpiY);
    m_measured = true;
}

void DpiScaler::CleanUp() noexcept {
    m_dc.reset();
    m_bitmap.reset();
}

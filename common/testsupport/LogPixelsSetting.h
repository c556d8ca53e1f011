// Test support: the desktop's logical DPI as Wine reads it when a process
// starts. The value before is put back when the setting goes.
#pragma once

#include <windows.h>

#include "Win32Handles.h"

namespace torva::test {

class LogPixelsSetting {
public:
    explicit LogPixelsSetting(DWORD dpi) {
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0,
                            KEY_QUERY_VALUE | KEY_SET_VALUE, m_key.put()) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof m_old;
        DWORD type = 0;
        m_hadValue = ::RegQueryValueExW(m_key.get(), L"LogPixels", nullptr, &type,
                                        reinterpret_cast<BYTE*>(&m_old), &size) == ERROR_SUCCESS &&
                     type == REG_DWORD;
        m_set = ::RegSetValueExW(m_key.get(), L"LogPixels", 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&dpi), sizeof dpi) == ERROR_SUCCESS;
    }
    ~LogPixelsSetting() {
        if (!m_set) return;
        if (m_hadValue)
            ::RegSetValueExW(m_key.get(), L"LogPixels", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&m_old), sizeof m_old);
        else
            ::RegDeleteValueW(m_key.get(), L"LogPixels");
    }
    LogPixelsSetting(const LogPixelsSetting&) = delete;
    LogPixelsSetting& operator=(const LogPixelsSetting&) = delete;
    bool Set() const noexcept { return m_set; }

private:
    torva::UniqueRegKey m_key;
    DWORD m_old = 0;
    bool m_hadValue = false;
    bool m_set = false;
};

} // namespace torva::test

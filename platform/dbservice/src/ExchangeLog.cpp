#include "ExchangeLog.h"

#include <string>

namespace dbservice {

bool ExchangeLog::Open(const std::wstring& path) {
    if (path.empty()) return true;
    // Readers (tests) open it while the service runs.
    m_file.reset(::CreateFileW(
        path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    return static_cast<bool>(m_file);
}

void ExchangeLog::Write(const std::wstring& line) noexcept {
    if (!m_file) return;
    try {
        const std::wstring text = line + L"\r\n";
        const int bytes = ::WideCharToMultiByte(
            CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
        if (bytes <= 0) return;
        std::string utf8(static_cast<size_t>(bytes), '\0');
        ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(),
                              bytes, nullptr, nullptr);
        std::lock_guard<std::mutex> guard(m_mutex);
        DWORD written = 0;
        (void)::WriteFile(m_file.get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written,
                          nullptr);
    } catch (...) {
        // Out of memory: the line is lost, the exchange goes on.
    }
}

} // namespace dbservice

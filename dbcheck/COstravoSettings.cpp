#include "COstravoSettings.h"

#include "RegistryText.h"
#include "Win32Handles.h"

#include <algorithm>

namespace ostravo {
namespace {

std::wstring TrimSeparators(std::wstring path) {
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return path;
}

} // namespace

COstravoSettings::COstravoSettings()
    : m_pipePath(std::wstring(L"\\\\.\\pipe\\") + kDefaultPipeName),
      m_retryCount(kDefaultRetryCount), m_retryTimer(kDefaultRetryTimer) {}

void COstravoSettings::Load(const std::wstring& programFolder) {
    LoadFrom(HKEY_LOCAL_MACHINE, kKeyPath, KEY_WOW64_32KEY, programFolder);
}

void COstravoSettings::LoadFrom(HKEY root, const wchar_t* subKey, REGSAM view,
                                const std::wstring& programFolder) {
    *this = COstravoSettings();
    torva::UniqueRegKey key;
    const bool open =
        ::RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE | view, key.put()) == ERROR_SUCCESS;

    std::wstring text;
    if (open && RegistryText::Read(key.get(), L"PipeName", kMaxText, text) && !text.empty()) {
        SetPipeName(text);
    }
    DWORD value = 0;
    if (open && RegistryText::ReadDword(key.get(), L"RetryCount", value)) m_retryCount = value;
    if (open && RegistryText::ReadDword(key.get(), L"RetryTimer", value)) {
        m_retryTimer = std::min(value, kMaxRetryTimer);
    }
    BoundRetryCount();
    if (open && RegistryText::Read(key.get(), L"DbPath", kMaxText, text)) {
        m_dbPath = TrimSeparators(text);
    }
    if (m_dbPath.empty()) {
        m_dbPath = TrimSeparators(programFolder) + L"\\Storage";
        if (m_dbPath.size() > kMaxText) m_dbPath.clear(); // sent nowhere: no folder fits
    }
}

void COstravoSettings::SetPipeName(const std::wstring& name) {
    m_pipePath = L"\\\\.\\pipe\\" + name;
}

void COstravoSettings::SetRetry(DWORD count, DWORD timerMs) noexcept {
    m_retryCount = count;
    m_retryTimer = std::min(timerMs, kMaxRetryTimer);
    BoundRetryCount();
}

void COstravoSettings::BoundRetryCount() noexcept {
    // A timer of 0 polls without waiting: each attempt still counts as a
    // millisecond, so the attempts stay bounded too.
    m_retryCount = std::min(m_retryCount, kMaxReplyWaitMs / std::max<DWORD>(m_retryTimer, 1));
}

void COstravoSettings::SetDbPath(const std::wstring& path) {
    m_dbPath = TrimSeparators(path);
}

} // namespace ostravo

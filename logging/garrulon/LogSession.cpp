#include "LogSession.h"

#include "ReadableMemory.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>

namespace torva::garrulon {

namespace {

// Reads at most one character past the longest allowed name, so an
// unterminated name is never scanned to its end.
bool UsableName(const wchar_t* name) {
    if (name == nullptr) return false;
    const std::size_t length = ::wcsnlen(name, kMaxNameChars + 1);
    return length > 0 && length <= kMaxNameChars;
}

} // namespace

LogSession::LogSession(const wchar_t* name, LogEndpoint& endpoint, RecordClock& clock,
                       std::size_t maxRecords)
    : m_buffer(maxRecords), m_endpoint(endpoint), m_clock(clock) {
    const wchar_t* chosen = UsableName(name) ? name : kDefaultSessionName;
    ::wcsncpy(m_name, chosen, kMaxNameChars);
    m_name[kMaxNameChars] = L'\0';
}

LogSession::~LogSession() {
    // A plain store to an object about to die may be optimised away.
    *static_cast<volatile std::uint32_t*>(&m_tag) = 0;
}

DWORD LogSession::Append(const void* data, DWORD size) {
    if (data == nullptr || size == 0) return TVRLOG_E_INVALID_ARG;
    if (!IsReadable(data, size)) return TVRLOG_E_UNREADABLE;

    LogRecord record{};
    record.localTime = m_clock.LocalTime();
    record.tickCount = m_clock.TickCount();
    std::memcpy(record.data, data, std::min<std::size_t>(size, sizeof(record.data)));
    try {
        m_buffer.Append(record);
    } catch (const std::bad_alloc&) {
        return TVRLOG_E_NOT_BUFFERED;
    }
    return TVRLOG_OK;
}

bool LogSession::SendOldest(LogChannel& channel) {
    const MailslotMessage message =
        ComposeMessage(m_name, m_buffer.Oldest(), ::GetCurrentProcessId());
    if (!channel.Write(message)) return false;
    m_buffer.RemoveOldest();
    return true;
}

bool LogSession::ResendToMark(LogChannel& channel) {
    while (m_buffer.HasMark() && !m_buffer.Empty()) {
        // RemoveOldest clears the mark as the marked record goes out.
        if (!SendOldest(channel)) return false;
    }
    return true;
}

DWORD LogSession::Flush() {
    const auto channel = m_endpoint.Open();
    if (!channel) {
        m_buffer.MarkNewest();
        return TVRLOG_E_MAILSLOT;
    }
    while (!m_buffer.Empty()) {
        if (!SendOldest(*channel)) {
            m_buffer.MarkNewest();
            return TVRLOG_E_MAILSLOT;
        }
    }
    return TVRLOG_OK;
}

DWORD LogSession::ClearBuffer() {
    if (m_buffer.HasMark()) {
        if (const auto channel = m_endpoint.Open()) (void)ResendToMark(*channel);
    }
    // Records appended after the failed flush were never promised to the
    // reader; a mark still standing keeps the ones that were.
    const bool resendFailed = m_buffer.HasMark();
    m_buffer.RemoveNewerThanMark();
    return resendFailed ? TVRLOG_E_MAILSLOT : TVRLOG_OK;
}

DWORD LogSession::Shutdown() {
    bool resendFailed = false;
    if (m_buffer.HasMark()) {
        std::unique_ptr<LogChannel> channel;
        for (int attempt = 1; attempt <= kCloseOpenAttempts; ++attempt) {
            channel = m_endpoint.Open();
            if (channel) break;
            if (attempt < kCloseOpenAttempts) m_endpoint.Pause(kCloseRetryPauseMs);
        }
        resendFailed = !channel || !ResendToMark(*channel);
    }
    m_buffer.RemoveAll();
    return resendFailed ? TVRLOG_E_MAILSLOT : TVRLOG_OK;
}

} // namespace torva::garrulon

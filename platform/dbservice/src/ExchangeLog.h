// The service's log: one line per exchange, in the order requests were
// decided, so a test can read back what the clients asked for.
//
// Line format (UTF-8, CRLF): "<code> <status> <state> <name>" for a request
// answered or about to be answered ("-" for no name), "malformed <why>" for
// a request closed without a reply. Thread-safe; each line is written
// through before the reply it describes goes out.
#pragma once

#include "Win32Handles.h"

#include <windows.h>

#include <mutex>
#include <string>

namespace dbservice {

class ExchangeLog {
public:
    // An empty path logs nothing.
    [[nodiscard]] bool Open(const std::wstring& path);
    void Write(const std::wstring& line) noexcept;

private:
    std::mutex m_mutex;
    torva::UniqueFile m_file;
};

} // namespace dbservice

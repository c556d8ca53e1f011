// The way to the log reader. A session opens one channel per flush, clear or
// close and drops it when done, so sessions used from different threads never
// share a channel. Injected so that tests can make the reader vanish, refuse
// a write half-way or appear only at a later attempt.
#pragma once

#include "MailslotMessage.h"

#include <memory>

namespace torva::garrulon {

class LogChannel {
public:
    virtual ~LogChannel() = default;
    // True only when the whole message reached the reader.
    [[nodiscard]] virtual bool Write(const MailslotMessage& message) = 0;
};

class LogEndpoint {
public:
    virtual ~LogEndpoint() = default;
    // Null when the reader cannot be reached. Called from any thread at once.
    [[nodiscard]] virtual std::unique_ptr<LogChannel> Open() = 0;
    // Waits between attempts to reach the reader.
    virtual void Pause(DWORD milliseconds) = 0;
};

} // namespace torva::garrulon

// The product's log mailslot, opened for writing by name. The reader creates
// it; when no reader runs, opening fails and the records stay buffered.
#pragma once

#include "LogEndpoint.h"

#include <string>

namespace torva::garrulon {

class MailslotEndpoint final : public LogEndpoint {
public:
    explicit MailslotEndpoint(std::wstring name = kMailslotName) : m_name(std::move(name)) {}

    std::unique_ptr<LogChannel> Open() override;
    void Pause(DWORD milliseconds) override;

private:
    const std::wstring m_name;
};

} // namespace torva::garrulon

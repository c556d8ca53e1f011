#include "MailslotEndpoint.h"

#include "Win32Handles.h"

namespace torva::garrulon {

namespace {

class MailslotChannel final : public LogChannel {
public:
    explicit MailslotChannel(UniqueFile file) : m_file(std::move(file)) {}

    bool Write(const MailslotMessage& message) override {
        DWORD written = 0;
        if (!::WriteFile(m_file.get(), &message, sizeof(message), &written, nullptr)) return false;
        // A mailslot delivers a message whole or not at all; a short count
        // would mean the reader got something it cannot parse.
        return written == sizeof(message);
    }

private:
    UniqueFile m_file;
};

} // namespace

std::unique_ptr<LogChannel> MailslotEndpoint::Open() {
    UniqueFile file(::CreateFileW(m_name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return nullptr;
    return std::make_unique<MailslotChannel>(std::move(file));
}

void MailslotEndpoint::Pause(DWORD milliseconds) {
    ::Sleep(milliseconds);
}

} // namespace torva::garrulon

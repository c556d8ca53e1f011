#include "MailslotMessage.h"

#include <cstring>

namespace torva::garrulon {

MailslotMessage ComposeMessage(const wchar_t (&name)[kNameRoomChars], const LogRecord& record,
                               DWORD processId) {
    MailslotMessage message{};
    message.kind = kMessageKind;
    message.processId = processId;
    message.formatVersion = kFormatVersion;
    message.messageSize = sizeof(MailslotMessage);
    // The last character stays zero whatever the session holds: the reader
    // relies on the terminator.
    for (std::size_t i = 0; i + 1 < kNameRoomChars && name[i] != L'\0'; ++i)
        message.sessionName[i] = name[i];
    std::memcpy(&message.record, &record, sizeof(record));
    return message;
}

} // namespace torva::garrulon

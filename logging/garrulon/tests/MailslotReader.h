// A real reader of a mailslot, as the product's log service would be: it
// creates the slot (the library only opens an existing one) and takes the
// messages waiting, whole, in arrival order.
#pragma once

#include "Win32Handles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace torva::garrulon::testing {

class MailslotReader {
public:
    explicit MailslotReader(const wchar_t* name) : m_slot(::CreateMailslotW(name, 0, 0, nullptr)) {}

    bool IsOpen() const { return static_cast<bool>(m_slot); }

    std::vector<std::vector<std::uint8_t>> TakeAll() {
        std::vector<std::vector<std::uint8_t>> messages;
        DWORD size = 0;
        while (::GetMailslotInfo(m_slot.get(), nullptr, &size, nullptr, nullptr) &&
               size != MAILSLOT_NO_MESSAGE) {
            std::vector<std::uint8_t> message(size);
            DWORD read = 0;
            if (!::ReadFile(m_slot.get(), message.data(), size, &read, nullptr)) break;
            message.resize(read);
            messages.push_back(std::move(message));
        }
        return messages;
    }

private:
    UniqueFile m_slot;
};

} // namespace torva::garrulon::testing

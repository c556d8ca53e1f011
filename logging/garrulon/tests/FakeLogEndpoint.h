// A reader the test controls: absent, answering only after some failed
// opens, or refusing writes after a number of them. It keeps what it took,
// in order, and counts every open attempt and pause.
#pragma once

#include "LogEndpoint.h"

#include <vector>

namespace torva::garrulon::testing {

class FakeLogEndpoint final : public LogEndpoint {
public:
    bool present = true;
    int failingOpens = 0;
    int writesAccepted = -1; // negative: no limit
    std::vector<MailslotMessage> delivered;
    int opens = 0;
    std::vector<DWORD> pauses;

    std::unique_ptr<LogChannel> Open() override {
        ++opens;
        if (!present || failingOpens-- > 0) return nullptr;
        return std::make_unique<Channel>(*this);
    }
    void Pause(DWORD milliseconds) override { pauses.push_back(milliseconds); }

private:
    struct Channel final : LogChannel {
        explicit Channel(FakeLogEndpoint& owner) : owner(owner) {}
        bool Write(const MailslotMessage& message) override {
            if (owner.writesAccepted == 0) return false;
            if (owner.writesAccepted > 0) --owner.writesAccepted;
            owner.delivered.push_back(message);
            return true;
        }
        FakeLogEndpoint& owner;
    };
};

} // namespace torva::garrulon::testing

// What the service does with one well-framed request: the check or the
// initialisation it asks for, or the refusal.
#pragma once

#include "Caller.h"
#include "ServiceOptions.h"

#include <cstdint>
#include <string>
#include <vector>

namespace dbservice {

class RequestHandler {
public:
    explicit RequestHandler(const ServiceOptions& options);

    // request holds a whole record whose code and data size fit (see
    // RequestFrame); reply receives the answer of the same size. line is
    // the exchange's log line.
    void Handle(const std::vector<uint8_t>& request, const Caller& caller,
                std::vector<uint8_t>& reply, std::wstring& line) const;

private:
    // The served folder's canonical spelling equals that of folder.
    bool IsServedFolder(const std::wstring& folder) const;

    const ServiceOptions& m_options;
    std::wstring m_servedFolder; // folded full path
};

} // namespace dbservice

// Whether bytes read from a client make a request at all. A request that
// does not is closed without a reply: a reply could only be a guess at what
// was meant.
#pragma once

#include "DbServiceRecord.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace dbservice {

class RequestFrame {
public:
    // The whole record's size for this header, or 0 with why set when the
    // code is none or the data size does not belong to the code.
    static size_t RecordSize(const ostravo::DbsvcHeader& header, std::wstring& why);
    // For codes 14 and 16: both text fields end within their field.
    static bool TextsTerminated(const ostravo::DbsvcNamedRecord& record, std::wstring& why);
};

} // namespace dbservice

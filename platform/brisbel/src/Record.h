// One change to a database, as written to and replayed from its log.
#pragma once

#include "StorageFormat.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brisbel {

struct Record {
    format::RecordKind kind = format::kCreateKey;
    std::wstring path;         // key path, components joined by '\'
    std::wstring name;         // value name: kSetValue and kDeleteValue only
    DWORD type = 0;            // kSetValue only
    std::vector<uint8_t> data; // kSetValue only
};

} // namespace brisbel

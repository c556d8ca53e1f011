// A client of the service's pipe that sends whatever bytes a test gives and
// reports exactly what came back, and records built by offset, independent
// of the structures the programs use.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace dbservice::test {

struct RawReply {
    bool opened = false;
    std::vector<uint8_t> bytes;
    bool closed = false; // the service closed the connection
};

// Opens the pipe (waiting while it is busy), writes request, and reads
// until expect bytes arrived, the service closed, or timeoutMs passed. The
// default leaves room for a machine loaded by a whole test run: it only
// bounds a reply that is expected, never one that must not come.
RawReply RawExchange(const std::wstring& pipeName, const std::vector<uint8_t>& request,
                     size_t expect, DWORD timeoutMs = 20000);

// A record as the layout gives it: header fields at 0, 4, 8 and 12; for
// codes 14 and 16 the folder at 16 and the name at 1040 (512 UTF-16 units
// each), the state at 2064; for 13 and 15 the state at 16.
std::vector<uint8_t> Golden(uint32_t processId, uint32_t code, uint32_t status,
                            const std::wstring& folder, const std::wstring& name, uint32_t state);

uint32_t Field(const std::vector<uint8_t>& record, size_t offset);

// This process's user SID as text.
std::wstring OwnSid();

} // namespace dbservice::test

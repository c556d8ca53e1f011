// Who is at the other end of a pipe connection, taken from the pipe itself
// (by impersonating the client), never from what the client writes.
#pragma once

#include <windows.h>

#include <string>

namespace dbservice {

struct Caller {
    bool known = false;
    std::wstring sid; // the user's SID as text: the name of the user's database
    bool administrator = false;

    // The client of a connected pipe that has already sent data.
    static Caller FromPipe(HANDLE pipe) noexcept;
};

} // namespace dbservice

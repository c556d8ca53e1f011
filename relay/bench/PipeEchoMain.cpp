// The far end of the bare named-pipe round trip that the relay benchmark
// compares an exchange with: opens the pipe named by its last argument and,
// for every request {size, reply size, ...}, reads the whole request and
// writes a reply of the asked size. Plain blocking I/O, nothing else.
#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "Win32Handles.h"

namespace {

bool ReadAll(HANDLE pipe, BYTE* buffer, DWORD length) {
    for (DWORD done = 0, read = 0; done < length; done += read) {
        if (!::ReadFile(pipe, buffer + done, length - done, &read, nullptr) || read == 0)
            return false;
    }
    return true;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const torva::UniqueLocalMem arguments(argv);
    if (!argv || argc < 2) return 1;
    torva::UniqueFile pipe;
    for (int i = 0; i < 1000 && !pipe; ++i) {
        pipe.reset(::CreateFileW(argv[argc - 1], GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
        if (!pipe) ::Sleep(10);
    }
    if (!pipe) return 2;

    std::vector<BYTE> request(8), reply;
    for (;;) {
        if (!ReadAll(pipe.get(), request.data(), 8)) break;
        uint32_t size, replySize;
        std::memcpy(&size, request.data(), 4);
        std::memcpy(&replySize, request.data() + 4, 4);
        if (size < 8 || replySize < 8 || size > (1u << 20) || replySize > (1u << 20)) break;
        request.resize(size);
        if (size > 8 && !ReadAll(pipe.get(), request.data() + 8, size - 8)) break;
        reply.assign(replySize, 0x5A);
        std::memcpy(reply.data(), &replySize, 4);
        DWORD written = 0;
        if (!::WriteFile(pipe.get(), reply.data(), replySize, &written, nullptr) ||
            written != replySize)
            break;
    }
    return 0;
}

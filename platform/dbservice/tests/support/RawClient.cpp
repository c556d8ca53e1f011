#include "RawClient.h"

#include "Win32Handles.h"

#include <sddl.h>

#include <cstring>

namespace dbservice::test {

RawReply RawExchange(const std::wstring& pipeName, const std::vector<uint8_t>& request,
                     size_t expect, DWORD timeoutMs) {
    RawReply reply;
    const std::wstring path = L"\\\\.\\pipe\\" + pipeName;
    torva::UniqueFile pipe;
    for (int attempt = 0; attempt < 20 && !pipe; ++attempt) {
        pipe.reset(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
        if (!pipe && ::GetLastError() == ERROR_PIPE_BUSY)
            ::WaitNamedPipeW(path.c_str(), 1000);
        else if (!pipe)
            return reply;
    }
    if (!pipe) return reply;
    reply.opened = true;
    torva::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));

    auto transfer = [&](bool write, uint8_t* data, DWORD size, DWORD wait, DWORD& done) {
        OVERLAPPED ov{};
        ov.hEvent = event.get();
        ::ResetEvent(event.get());
        done = 0;
        const BOOL ok = write ? ::WriteFile(pipe.get(), data, size, nullptr, &ov)
                              : ::ReadFile(pipe.get(), data, size, nullptr, &ov);
        if (!ok && ::GetLastError() != ERROR_IO_PENDING) return ::GetLastError();
        if (!ok && ::WaitForSingleObject(event.get(), wait) != WAIT_OBJECT_0) {
            ::CancelIoEx(pipe.get(), &ov);
            ::GetOverlappedResult(pipe.get(), &ov, &done, TRUE);
            return DWORD{WAIT_TIMEOUT};
        }
        return ::GetOverlappedResult(pipe.get(), &ov, &done, TRUE) ? DWORD{ERROR_SUCCESS}
                                                                   : ::GetLastError();
    };

    std::vector<uint8_t> out = request;
    DWORD done = 0;
    if (!out.empty() && transfer(true, out.data(), static_cast<DWORD>(out.size()), timeoutMs,
                                 done) != ERROR_SUCCESS) {
        return reply;
    }
    const DWORD start = ::GetTickCount();
    std::vector<uint8_t> buffer(expect + 64);
    while (reply.bytes.size() < expect) {
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= timeoutMs) break;
        const DWORD error = transfer(false, buffer.data(), static_cast<DWORD>(buffer.size()),
                                     timeoutMs - spent, done);
        reply.bytes.insert(reply.bytes.end(), buffer.begin(), buffer.begin() + done);
        if (error == ERROR_BROKEN_PIPE || error == ERROR_PIPE_NOT_CONNECTED ||
            (error == ERROR_SUCCESS && done == 0)) {
            reply.closed = true;
            break;
        }
        if (error != ERROR_SUCCESS && error != ERROR_MORE_DATA) break;
    }
    return reply;
}

std::vector<uint8_t> Golden(uint32_t processId, uint32_t code, uint32_t status,
                            const std::wstring& folder, const std::wstring& name, uint32_t state) {
    const bool named = code == 14 || code == 16;
    std::vector<uint8_t> bytes(named ? 2068 : 20, 0);
    auto put = [&](size_t at, uint32_t value) { std::memcpy(&bytes[at], &value, 4); };
    put(0, processId);
    put(4, code);
    put(8, status);
    put(12, named ? 2052 : 4);
    if (named) {
        for (size_t i = 0; i < folder.size() && i < 511; ++i) {
            bytes[16 + 2 * i] = static_cast<uint8_t>(folder[i] & 0xFF);
            bytes[17 + 2 * i] = static_cast<uint8_t>(folder[i] >> 8);
        }
        for (size_t i = 0; i < name.size() && i < 511; ++i) {
            bytes[1040 + 2 * i] = static_cast<uint8_t>(name[i] & 0xFF);
            bytes[1041 + 2 * i] = static_cast<uint8_t>(name[i] >> 8);
        }
        put(2064, state);
    } else {
        put(16, state);
    }
    return bytes;
}

uint32_t Field(const std::vector<uint8_t>& record, size_t offset) {
    uint32_t value = 0xDEADBEEF;
    if (offset + 4 <= record.size()) std::memcpy(&value, &record[offset], 4);
    return value;
}

std::wstring OwnSid() {
    torva::UniqueHandle token;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
    BYTE buffer[256];
    DWORD bytes = 0;
    if (!::GetTokenInformation(token.get(), TokenUser, buffer, sizeof(buffer), &bytes)) return {};
    wchar_t* text = nullptr;
    if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &text)) {
        return {};
    }
    torva::UniqueLocalMem owner(text);
    return text;
}

} // namespace dbservice::test

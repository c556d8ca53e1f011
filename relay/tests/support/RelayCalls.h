// The add-in's relay-backed library calls over an AddinChannel: each builds
// its request, performs one exchange and accepts the reply only when its type
// and size are the expected ones. Every failure of the exchange or of the
// reply check is 13 (0x8001FFFF for the crypt call, FALSE for IsAuthent).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "AddinChannel.h"

namespace torva::relay::test {

constexpr DWORD kRelayFailure = 13;
constexpr DWORD kCryptFailure = 0x8001FFFF;

class RelayCalls {
public:
    explicit RelayCalls(AddinChannel& channel) : m_channel(channel) {}

    DWORD OpenDB(uint64_t& db);
    DWORD CloseDB(uint64_t db);
    DWORD EnumKey(uint64_t db, uint64_t key, uint32_t index, std::wstring& name, uint32_t& length);
    DWORD OpenKey(uint64_t db, const std::wstring& path, uint64_t& key);
    DWORD CreateKey(uint64_t db, const std::wstring& path, uint64_t& key);
    DWORD CloseKey(uint64_t db, uint64_t key);
    DWORD DeleteKey(uint64_t db, uint64_t parent, const std::wstring& subKey);
    // With a null buffer only the type and size come back. With a buffer, at
    // most buffer->size() bytes are copied into it; `size` receives the size
    // that the library reported.
    DWORD QueryValue(uint64_t db, uint64_t key, const std::wstring& name, uint32_t& type,
                     std::vector<BYTE>* buffer, uint32_t& size);
    DWORD SetValue(uint64_t db, uint64_t key, const std::wstring& name, uint32_t type,
                   const std::vector<BYTE>& data);
    DWORD DeleteValue(uint64_t db, uint64_t key, const std::wstring& name);
    // mode 1 encrypts, 2 decrypts; output is resized to what came back.
    DWORD Crypt(uint32_t mode, const std::vector<BYTE>& input, uint32_t capacity,
                std::vector<BYTE>& output);
    BOOL IsAuthent(uint32_t authCase);

    ExchangeStatus LastStatus() const noexcept { return m_status; }
    const std::vector<BYTE>& LastReply() const noexcept { return m_reply; }

private:
    // True when the exchange succeeded and the reply has this type and size
    // (size 0: any size of at least minSize).
    bool Call(const std::vector<BYTE>& request, DWORD wait, uint32_t type, uint32_t size,
              uint32_t minSize = 0);
    DWORD KeyCall(uint32_t type, uint64_t db, uint64_t key, const std::wstring& name,
                  uint64_t* keyOut);

    AddinChannel& m_channel;
    ExchangeStatus m_status = ExchangeStatus::Ok;
    std::vector<BYTE> m_reply;
};

} // namespace torva::relay::test

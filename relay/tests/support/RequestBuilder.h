// Builds relay request messages exactly as the add-in sends them: records
// zero-filled, names cut to 1023 characters and terminated, handles as
// 64-bit fields.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace torva::relay::test {

using Message = std::vector<BYTE>;

Message MakeAuth(uint32_t authCase);
Message MakeOpenDb();
Message MakeCloseDb(uint64_t db);
Message MakeEnumKey(uint64_t db, uint64_t key, uint32_t index);
// Types 7 and 9 (key 0, path), 10 (parent key, sub key) and 13 (key, value).
Message MakeKeyRequest(uint32_t type, uint64_t db, uint64_t key, const std::wstring& name);
Message MakeCloseKey(uint64_t db, uint64_t key);
// bufferSize 0 and wantData 0 ask for the size only.
Message MakeQueryValue(uint64_t db, uint64_t key, const std::wstring& name, uint32_t bufferSize,
                       uint32_t wantData);
Message MakeSetValue(uint64_t db, uint64_t key, const std::wstring& name, uint32_t valueType,
                     const std::vector<BYTE>& data);
// Types 1 and 2.
Message MakeCrypt(uint32_t type, const std::vector<BYTE>& input, uint32_t capacity);
Message MakeEnd();

// Header fields of any message (0 when it is too short to hold them).
uint32_t MessageSize(const Message& message);
uint32_t MessageType(const Message& message);

// UTF-16 text as database bytes, without terminator, and back.
std::vector<BYTE> TextBytes(const std::wstring& text);
std::wstring BytesText(const BYTE* bytes, size_t size);

} // namespace torva::relay::test

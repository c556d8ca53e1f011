#include "RequestBuilder.h"

#include <cstring>

#include "RelayRecords.h"

namespace torva::relay::test {
namespace {

Message Record(size_t size, uint32_t type) {
    Message message(size, 0);
    Store32(message.data(), kOffSize, static_cast<uint32_t>(size));
    Store32(message.data(), kOffType, type);
    return message;
}

void PutName(Message& message, size_t offset, const std::wstring& name) {
    const size_t count = name.size() < RELAY_NAME_LENGTH - 1 ? name.size() : RELAY_NAME_LENGTH - 1;
    std::memcpy(message.data() + offset, name.data(), count * sizeof(WCHAR));
}

} // namespace

Message MakeAuth(uint32_t authCase) {
    Message m = Record(sizeof(RELAY_AUTH), TYPE_TVRAUTH_AUTHENTICATEUSER);
    Store32(m.data(), offsetof(RELAY_AUTH, dwAuthCase), authCase);
    return m;
}

Message MakeOpenDb() {
    return Record(sizeof(RELAY_DB), TYPE_TVRDB_OPENDB);
}

Message MakeCloseDb(uint64_t db) {
    Message m = Record(sizeof(RELAY_DB), TYPE_TVRDB_CLOSEDB);
    Store64(m.data(), kOffDb, db);
    return m;
}

Message MakeEnumKey(uint64_t db, uint64_t key, uint32_t index) {
    Message m = Record(sizeof(RELAY_ENUMKEY), TYPE_TVRDB_ENUMKEY);
    Store64(m.data(), kOffDb, db);
    Store64(m.data(), kOffKey, key);
    Store32(m.data(), offsetof(RELAY_ENUMKEY, dwIndex), index);
    return m;
}

Message MakeKeyRequest(uint32_t type, uint64_t db, uint64_t key, const std::wstring& name) {
    Message m = Record(sizeof(RELAY_KEY), type);
    Store64(m.data(), kOffDb, db);
    Store64(m.data(), kOffKey, key);
    PutName(m, offsetof(RELAY_KEY, szName), name);
    return m;
}

Message MakeCloseKey(uint64_t db, uint64_t key) {
    Message m = Record(sizeof(RELAY_KEY_HANDLE), TYPE_TVRDB_CLOSEKEY);
    Store64(m.data(), kOffDb, db);
    Store64(m.data(), kOffKey, key);
    return m;
}

Message MakeQueryValue(uint64_t db, uint64_t key, const std::wstring& name, uint32_t bufferSize,
                       uint32_t wantData) {
    Message m = Record(sizeof(RELAY_QUERYVALUE), TYPE_TVRDB_QUERYVALUE);
    Store64(m.data(), kOffDb, db);
    Store64(m.data(), kOffKey, key);
    Store32(m.data(), offsetof(RELAY_QUERYVALUE, dwBufferSize), bufferSize);
    Store32(m.data(), offsetof(RELAY_QUERYVALUE, dwWantData), wantData);
    PutName(m, offsetof(RELAY_QUERYVALUE, szName), name);
    return m;
}

Message MakeSetValue(uint64_t db, uint64_t key, const std::wstring& name, uint32_t valueType,
                     const std::vector<BYTE>& data) {
    Message m = Record(sizeof(RELAY_SETVALUE) + data.size(), TYPE_TVRDB_SETVALUE);
    Store64(m.data(), kOffDb, db);
    Store64(m.data(), kOffKey, key);
    Store32(m.data(), offsetof(RELAY_SETVALUE, dwValueType), valueType);
    Store32(m.data(), offsetof(RELAY_SETVALUE, dwDataSize), static_cast<uint32_t>(data.size()));
    PutName(m, offsetof(RELAY_SETVALUE, szName), name);
    if (!data.empty()) std::memcpy(m.data() + sizeof(RELAY_SETVALUE), data.data(), data.size());
    return m;
}

Message MakeCrypt(uint32_t type, const std::vector<BYTE>& input, uint32_t capacity) {
    Message m = Record(sizeof(RELAY_CRYPT) + input.size(), type);
    Store32(m.data(), offsetof(RELAY_CRYPT, dwInputLength), static_cast<uint32_t>(input.size()));
    Store32(m.data(), offsetof(RELAY_CRYPT, dwOutputCapacity), capacity);
    if (!input.empty()) std::memcpy(m.data() + sizeof(RELAY_CRYPT), input.data(), input.size());
    return m;
}

Message MakeEnd() {
    return Record(sizeof(RELAY_COMMON), TYPE_END);
}

uint32_t MessageSize(const Message& message) {
    return message.size() >= 8 ? Load32(message.data(), kOffSize) : 0;
}

uint32_t MessageType(const Message& message) {
    return message.size() >= 8 ? Load32(message.data(), kOffType) : 0;
}

std::vector<BYTE> TextBytes(const std::wstring& text) {
    std::vector<BYTE> bytes(text.size() * sizeof(WCHAR));
    if (!bytes.empty()) std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}

std::wstring BytesText(const BYTE* bytes, size_t size) {
    std::wstring text(size / sizeof(WCHAR), L'\0');
    if (!text.empty()) std::memcpy(&text[0], bytes, text.size() * sizeof(WCHAR));
    return text;
}

} // namespace torva::relay::test

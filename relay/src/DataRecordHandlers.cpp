#include "RecordHandlers.h"

#include <cstring>

#include "RelayRecords.h"
#include "ZentripTrace.h"

namespace torva::relay {
namespace {

// Largest output buffer a crypt request may ask for, and the largest data
// buffer a query may ask for: their replies must still fit in one message.
constexpr uint32_t kMaxCryptCapacity = kMaxMessageSize - sizeof(RELAY_CRYPT_RESULT);
constexpr uint32_t kMaxQueryBuffer = kMaxMessageSize - sizeof(RELAY_QUERYVALUE_RESULT);

TVRDB_HDB Db(const BYTE* record) noexcept {
    return HandleFromWire<TVRDB_HDB>(Load64(record, kOffDb));
}
TVRDB_HKEY Key(const BYTE* record) noexcept {
    return HandleFromWire<TVRDB_HKEY>(Load64(record, kOffKey));
}
const WCHAR* TerminatedName(BYTE* record, size_t offset) noexcept {
    WCHAR* name = reinterpret_cast<WCHAR*>(record + offset);
    name[RELAY_NAME_LENGTH - 1] = L'\0';
    return name;
}

} // namespace

bool AnswerCrypt(const RelayLibraries& libraries, uint32_t type, BYTE* request, DWORD size,
                 Reply& reply) {
    const bool encrypt = type == TYPE_TVRCT_ENCRYPT;
    ZT_TRACE_PROGRESS(encrypt ? L"[Zentrip]TYPE_TVRCT_ENCRYPT\n"
                              : L"[Zentrip]TYPE_TVRCT_DECRYPT\n");
    auto* call = encrypt ? libraries.Encrypt : libraries.Decrypt;
    if (!call || size < sizeof(RELAY_CRYPT)) return false;
    const uint32_t inputLength = Load32(request, offsetof(RELAY_CRYPT, dwInputLength));
    const uint32_t capacity = Load32(request, offsetof(RELAY_CRYPT, dwOutputCapacity));
    // 64-bit sum: a length near 4 GiB must not wrap into a small match.
    if (inputLength == 0 || uint64_t{inputLength} + sizeof(RELAY_CRYPT) != size) return false;
    if (capacity == 0 || capacity > kMaxCryptCapacity) return false;

    // The reply is built around the output buffer, which the library fills in
    // place; what it leaves untouched stays zero.
    reply.assign(sizeof(RELAY_CRYPT_RESULT) + size_t{capacity}, 0);
    BYTE* output = reply.data() + sizeof(RELAY_CRYPT_RESULT);
    DWORD outputLength = Load32(request, offsetof(RELAY_CRYPT, dwOutputLength));
    const DWORD result =
        call(request + sizeof(RELAY_CRYPT), inputLength, output, capacity, &outputLength);

    BYTE* head = reply.data();
    Store32(head, kOffSize, static_cast<uint32_t>(reply.size()));
    Store32(head, kOffType, encrypt ? TYPE_TVRCT_ENCRYPT_RESULT : TYPE_TVRCT_DECRYPT_RESULT);
    Store32(head, offsetof(RELAY_CRYPT_RESULT, dwOutputCapacity), capacity);
    Store32(head, offsetof(RELAY_CRYPT_RESULT, dwOutputLength), outputLength);
    Store32(head, offsetof(RELAY_CRYPT_RESULT, dwResult), result);
    return true;
}

bool AnswerQueryValue(const RelayLibraries& libraries, BYTE* request, DWORD size, Reply& reply) {
    ZT_TRACE_PROGRESS(L"[Zentrip]TYPE_TVRDB_QUERYVALUE\n");
    if (!libraries.QueryValue || size < sizeof(RELAY_QUERYVALUE)) return false;
    const uint32_t bufferSize = Load32(request, offsetof(RELAY_QUERYVALUE, dwBufferSize));
    const uint32_t wantData = Load32(request, offsetof(RELAY_QUERYVALUE, dwWantData));
    const bool withBuffer = wantData == 1 && bufferSize != 0;
    if (withBuffer && bufferSize > kMaxQueryBuffer) return false;

    std::vector<BYTE> buffer(withBuffer ? bufferSize : 0);
    DWORD valueType = Load32(request, offsetof(RELAY_QUERYVALUE, dwValueType));
    DWORD dataSize = bufferSize;
    const DWORD result = libraries.QueryValue(
        Db(request), Key(request), TerminatedName(request, offsetof(RELAY_QUERYVALUE, szName)),
        &valueType, withBuffer ? buffer.data() : nullptr, &dataSize);

    // Data travels only when the library says it wrote it into our buffer. A
    // size query, a too-small buffer or a failure sends the size alone; a
    // library that claims to have written more than the buffer holds is not
    // believed.
    const bool sendData = withBuffer && result == TVRDB_OK && dataSize != 0;
    if (sendData && dataSize > bufferSize) return false;
    const size_t dataBytes = sendData ? dataSize : 0;
    reply.assign(sizeof(RELAY_QUERYVALUE_RESULT) + dataBytes, 0);
    BYTE* head = reply.data();
    Store32(head, kOffSize, static_cast<uint32_t>(reply.size()));
    Store32(head, kOffType, TYPE_TVRDB_QUERYVALUE_RESULT);
    Store32(head, offsetof(RELAY_QUERYVALUE_RESULT, dwResult), result);
    Store32(head, offsetof(RELAY_QUERYVALUE_RESULT, dwValueType), valueType);
    Store32(head, offsetof(RELAY_QUERYVALUE_RESULT, dwDataSize), dataSize);
    Store32(head, offsetof(RELAY_QUERYVALUE_RESULT, dwWantData), wantData);
    if (dataBytes) std::memcpy(head + sizeof(RELAY_QUERYVALUE_RESULT), buffer.data(), dataBytes);
    return true;
}

bool AnswerSetValue(const RelayLibraries& libraries, BYTE* request, DWORD size, Reply& reply) {
    ZT_TRACE_PROGRESS(L"[Zentrip]TYPE_TVRDB_SETVALUE\n");
    if (!libraries.SetValue || size < sizeof(RELAY_SETVALUE)) return false;
    const uint32_t dataSize = Load32(request, offsetof(RELAY_SETVALUE, dwDataSize));
    // The data must be inside what arrived; a shorter message is truncated.
    if (uint64_t{dataSize} + sizeof(RELAY_SETVALUE) > size) return false;

    reply.assign(sizeof(RELAY_RESULT), 0);
    const DWORD result = libraries.SetValue(
        Db(request), Key(request), TerminatedName(request, offsetof(RELAY_SETVALUE, szName)),
        Load32(request, offsetof(RELAY_SETVALUE, dwValueType)),
        dataSize ? request + sizeof(RELAY_SETVALUE) : nullptr, dataSize);
    BYTE* head = reply.data();
    Store32(head, kOffSize, sizeof(RELAY_RESULT));
    Store32(head, kOffType, TYPE_TVRDB_SETVALUE_RESULT);
    Store32(head, kOffResult, result);
    return true;
}

} // namespace torva::relay

#include "RelayCalls.h"

#include <algorithm>
#include <cstring>

#include "RelayRecords.h"
#include "RequestBuilder.h"

namespace torva::relay::test {

bool RelayCalls::Call(const std::vector<BYTE>& request, DWORD wait, uint32_t type, uint32_t size,
                      uint32_t minSize) {
    m_status = m_channel.Exchange(request, wait, m_reply);
    if (m_status != ExchangeStatus::Ok || m_reply.size() < sizeof(RELAY_COMMON)) return false;
    if (MessageType(m_reply) != type || MessageSize(m_reply) != m_reply.size()) return false;
    if (size) return m_reply.size() == size;
    return m_reply.size() >= minSize;
}

DWORD RelayCalls::OpenDB(uint64_t& db) {
    if (!Call(MakeOpenDb(), AddinChannel::kDatabaseReplyWait, TYPE_TVRDB_OPENDB,
              sizeof(RELAY_DB))) {
        return kRelayFailure;
    }
    db = Load64(m_reply.data(), kOffDb);
    return Load32(m_reply.data(), kOffResult);
}

DWORD RelayCalls::CloseDB(uint64_t db) {
    if (!Call(MakeCloseDb(db), AddinChannel::kDatabaseReplyWait, TYPE_TVRDB_CLOSEDB,
              sizeof(RELAY_DB))) {
        return kRelayFailure;
    }
    return Load32(m_reply.data(), kOffResult);
}

DWORD RelayCalls::EnumKey(uint64_t db, uint64_t key, uint32_t index, std::wstring& name,
                          uint32_t& length) {
    if (!Call(MakeEnumKey(db, key, index), AddinChannel::kDatabaseReplyWait, TYPE_TVRDB_ENUMKEY,
              sizeof(RELAY_ENUMKEY))) {
        return kRelayFailure;
    }
    const WCHAR* text =
        reinterpret_cast<const WCHAR*>(m_reply.data() + offsetof(RELAY_ENUMKEY, szName));
    name.assign(text, std::find(text, text + RELAY_NAME_LENGTH, L'\0'));
    length = Load32(m_reply.data(), offsetof(RELAY_ENUMKEY, dwNameLength));
    return Load32(m_reply.data(), kOffResult);
}

DWORD RelayCalls::KeyCall(uint32_t type, uint64_t db, uint64_t key, const std::wstring& name,
                          uint64_t* keyOut) {
    if (!Call(MakeKeyRequest(type, db, key, name), AddinChannel::kDatabaseReplyWait, type,
              sizeof(RELAY_KEY))) {
        return kRelayFailure;
    }
    if (keyOut) *keyOut = Load64(m_reply.data(), kOffKey);
    return Load32(m_reply.data(), kOffResult);
}

DWORD RelayCalls::OpenKey(uint64_t db, const std::wstring& path, uint64_t& key) {
    return KeyCall(TYPE_TVRDB_OPENKEY, db, 0, path, &key);
}

DWORD RelayCalls::CreateKey(uint64_t db, const std::wstring& path, uint64_t& key) {
    return KeyCall(TYPE_TVRDB_CREATEKEY, db, 0, path, &key);
}

DWORD RelayCalls::DeleteKey(uint64_t db, uint64_t parent, const std::wstring& subKey) {
    return KeyCall(TYPE_TVRDB_DELETEKEY, db, parent, subKey, nullptr);
}

DWORD RelayCalls::DeleteValue(uint64_t db, uint64_t key, const std::wstring& name) {
    return KeyCall(TYPE_TVRDB_DELETEVALUE, db, key, name, nullptr);
}

DWORD RelayCalls::CloseKey(uint64_t db, uint64_t key) {
    if (!Call(MakeCloseKey(db, key), AddinChannel::kDatabaseReplyWait, TYPE_TVRDB_CLOSEKEY,
              sizeof(RELAY_KEY_HANDLE))) {
        return kRelayFailure;
    }
    return Load32(m_reply.data(), kOffResult);
}

DWORD RelayCalls::QueryValue(uint64_t db, uint64_t key, const std::wstring& name, uint32_t& type,
                             std::vector<BYTE>* buffer, uint32_t& size) {
    const uint32_t capacity = buffer ? static_cast<uint32_t>(buffer->size()) : 0;
    if (!Call(MakeQueryValue(db, key, name, capacity, buffer ? 1 : 0),
              AddinChannel::kDatabaseReplyWait, TYPE_TVRDB_QUERYVALUE_RESULT, 0,
              sizeof(RELAY_QUERYVALUE_RESULT))) {
        return kRelayFailure;
    }
    const BYTE* r = m_reply.data();
    type = Load32(r, offsetof(RELAY_QUERYVALUE_RESULT, dwValueType));
    size = Load32(r, offsetof(RELAY_QUERYVALUE_RESULT, dwDataSize));
    const uint32_t flag = Load32(r, offsetof(RELAY_QUERYVALUE_RESULT, dwWantData));
    if (buffer && flag == 1 && size != 0 &&
        m_reply.size() == sizeof(RELAY_QUERYVALUE_RESULT) + uint64_t{size}) {
        std::memcpy(buffer->data(), r + sizeof(RELAY_QUERYVALUE_RESULT), std::min(size, capacity));
    }
    return Load32(r, offsetof(RELAY_QUERYVALUE_RESULT, dwResult));
}

DWORD RelayCalls::SetValue(uint64_t db, uint64_t key, const std::wstring& name, uint32_t type,
                           const std::vector<BYTE>& data) {
    if (!Call(MakeSetValue(db, key, name, type, data), AddinChannel::kDatabaseReplyWait,
              TYPE_TVRDB_SETVALUE_RESULT, sizeof(RELAY_RESULT))) {
        return kRelayFailure;
    }
    return Load32(m_reply.data(), kOffResult);
}

DWORD RelayCalls::Crypt(uint32_t mode, const std::vector<BYTE>& input, uint32_t capacity,
                        std::vector<BYTE>& output) {
    output.clear();
    const uint32_t replyType = mode == 1 ? TYPE_TVRCT_ENCRYPT_RESULT : TYPE_TVRCT_DECRYPT_RESULT;
    if (!Call(MakeCrypt(mode == 1 ? TYPE_TVRCT_ENCRYPT : TYPE_TVRCT_DECRYPT, input, capacity),
              INFINITE, replyType, 0, sizeof(RELAY_CRYPT_RESULT))) {
        return kCryptFailure;
    }
    const BYTE* r = m_reply.data();
    const uint32_t carried = static_cast<uint32_t>(m_reply.size() - sizeof(RELAY_CRYPT_RESULT));
    const uint32_t length = Load32(r, offsetof(RELAY_CRYPT_RESULT, dwOutputLength));
    if (carried != 0) {
        const uint32_t copy = std::min({length, carried, capacity});
        output.assign(r + sizeof(RELAY_CRYPT_RESULT), r + sizeof(RELAY_CRYPT_RESULT) + copy);
    }
    return Load32(r, offsetof(RELAY_CRYPT_RESULT, dwResult));
}

BOOL RelayCalls::IsAuthent(uint32_t authCase) {
    if (!Call(MakeAuth(authCase), INFINITE, TYPE_TVRAUTH_AUTHENTICATEUSER, sizeof(RELAY_AUTH))) {
        return FALSE;
    }
    return Load32(m_reply.data(), kOffResult) == 0 ? TRUE : FALSE;
}

} // namespace torva::relay::test

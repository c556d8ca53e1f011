// The name of a request type, for the figures benchmarks and tools print.
#pragma once

#include "RelayRecords.h"

#include <cstddef>

namespace torva::relay {

inline const wchar_t* RequestTypeName(size_t type) noexcept {
    switch (type) {
    case TYPE_TVRCT_ENCRYPT:
        return L"Encrypt";
    case TYPE_TVRCT_DECRYPT:
        return L"Decrypt";
    case TYPE_TVRAUTH_AUTHENTICATEUSER:
        return L"Authenticate";
    case TYPE_TVRDB_OPENDB:
        return L"OpenDB";
    case TYPE_TVRDB_CLOSEDB:
        return L"CloseDB";
    case TYPE_TVRDB_ENUMKEY:
        return L"EnumKey";
    case TYPE_TVRDB_OPENKEY:
        return L"OpenKey";
    case TYPE_TVRDB_CLOSEKEY:
        return L"CloseKey";
    case TYPE_TVRDB_CREATEKEY:
        return L"CreateKey";
    case TYPE_TVRDB_DELETEKEY:
        return L"DeleteKey";
    case TYPE_TVRDB_QUERYVALUE:
        return L"QueryValue";
    case TYPE_TVRDB_SETVALUE:
        return L"SetValue";
    case TYPE_TVRDB_DELETEVALUE:
        return L"DeleteValue";
    default:
        return L"other";
    }
}

} // namespace torva::relay

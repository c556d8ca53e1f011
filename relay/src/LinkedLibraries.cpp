#include "LinkedLibraries.h"

namespace torva::relay {

RelayLibraries LinkedLibraries() noexcept {
    RelayLibraries libraries;
    libraries.OpenDB = &TvrDB_OpenDB;
    libraries.CloseDB = &TvrDB_CloseDB;
    libraries.OpenKey = &TvrDB_OpenKey;
    libraries.CreateKey = &TvrDB_CreateKey;
    libraries.CloseKey = &TvrDB_CloseKey;
    libraries.DeleteKey = &TvrDB_DeleteKey;
    libraries.EnumKey = &TvrDB_EnumKey;
    libraries.QueryValue = &TvrDB_QueryValue;
    libraries.SetValue = &TvrDB_SetValue;
    libraries.DeleteValue = &TvrDB_DeleteValue;
    libraries.Encrypt = &TvrCT_Encrypt;
    libraries.Decrypt = &TvrCT_Decrypt;
    libraries.AuthenticateUser = &TvrAuth_AuthenticateUser;
    return libraries;
}

} // namespace torva::relay

#include "DbApi.h"

const DbApi& LibraryDbApi() {
    static const DbApi api = {&TvrDB_OpenDB,     &TvrDB_OpenDBEx, &TvrDB_CloseDB, &TvrDB_OpenKey,
                              &TvrDB_CreateKey,  &TvrDB_CloseKey, &TvrDB_EnumKey, &TvrDB_EnumValue,
                              &TvrDB_QueryValue, &TvrDB_SetValue};
    return api;
}

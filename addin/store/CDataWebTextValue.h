// Value record of a text or password control. A password is held in clear
// only while in memory; the store encrypts it on the way to the database.
#pragma once

#include <cstdint>
#include <string>

class CDataWebTextValue {
public:
    std::wstring m_strValue;
    std::int32_t m_nDataLen = -1; // the input's maximum length; -1 = none
    // A run-time state of a password, neither stored nor shown: 1 when the
    // stored cipher could not be had in clear (loaded without decryption,
    // the decryption failed or its key did not open). m_strValue is then
    // empty and stands for no password at all: it is never filled into a
    // page as the password, and a save does not write it over the stored
    // cipher unless a new, non-empty value has been put in.
    std::int32_t m_nNotDecrypted = 0;
};

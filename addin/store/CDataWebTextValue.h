// Value record of a text or password control. A password is held in clear
// only while in memory; the store encrypts it on the way to the database.
#pragma once

#include <cstdint>
#include <string>

class CDataWebTextValue {
public:
    std::wstring m_strValue;
    std::int32_t m_nDataLen = -1; // the input's maximum length; -1 = none
};

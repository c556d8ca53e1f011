// Value record of a submit or image button.
#pragma once

#include <cstdint>
#include <string>

class CDataWebButtonValue {
public:
    std::wstring m_strValue;
    std::int32_t m_nSelected = 0; // 1 = the button that submits (stored as SELECT)
};

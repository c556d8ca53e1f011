// Value record of a text area.
#pragma once

#include <cstdint>
#include <string>

class CDataWebMultiText {
public:
    std::int32_t m_nRows = 0;
    std::int32_t m_nCols = 0;
    std::wstring m_strText;
};

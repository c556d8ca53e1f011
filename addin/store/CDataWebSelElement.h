// One radio button, check box or option of a SELECT.
#pragma once

#include "ElementRef.h"

#include <cstdint>
#include <string>

class CDataWebSelElement {
public:
    // Copies VALUE, SELECT, TEXT and the element; the entry flag stays.
    void Copy(const CDataWebSelElement& source);

    std::wstring m_strValue;
    std::wstring m_strText;
    ElementRef m_element;
    std::int32_t m_nSelect = 0;
    // The page update rewrites the numbered VALUE and TEXT only when 1.
    std::int32_t m_nEntry = 1;
};

#include "CDataWebSelElement.h"

void CDataWebSelElement::Copy(const CDataWebSelElement& source) {
    if (this == &source) return;
    m_strValue = source.m_strValue;
    m_nSelect = source.m_nSelect;
    m_strText = source.m_strText;
    m_element = source.m_element;
}

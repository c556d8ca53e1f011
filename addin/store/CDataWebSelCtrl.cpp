#include "CDataWebSelCtrl.h"

CDataWebSelCtrl::~CDataWebSelCtrl() {
    RemoveAll();
}

void CDataWebSelCtrl::RemoveAll() noexcept {
    m_elements.clear();
}

CDataWebSelElement& CDataWebSelCtrl::Add() {
    m_elements.push_back(std::make_unique<CDataWebSelElement>());
    return *m_elements.back();
}

void CDataWebSelCtrl::Copy(const CDataWebSelCtrl& source) {
    if (this == &source) return;
    RemoveAll();
    m_nMultiple = source.m_nMultiple;
    for (const auto& from : source.m_elements) {
        CDataWebSelElement& to = Add();
        to.m_strValue = from->m_strValue;
        to.m_nSelect = from->m_nSelect;
        to.m_strText = from->m_strText;
        to.m_element = from->m_element;
    }
}

#include "CDataWebItem.h"

CDataWebItem::~CDataWebItem() {
    RemoveAllCtrls();
}

CDataWebCtrl& CDataWebItem::AddCtrl() {
    m_ctrls.push_back(std::make_unique<CDataWebCtrl>());
    return *m_ctrls.back();
}

void CDataWebItem::Copy(const CDataWebItem& source) {
    if (this == &source) return;
    RemoveAllCtrls();
    m_strKey = source.m_strKey;
    m_strName = source.m_strName;
    m_strFormName = source.m_strFormName;
    m_nAutoInput = source.m_nAutoInput;
    m_nAutoSend = source.m_nAutoSend;
    m_nIndex = source.m_nIndex;
    for (const auto& ctrl : source.m_ctrls)
        AddCtrl().Copy(*ctrl);
}

#include "CDataWebCtrl.h"

CDataWebCtrl::~CDataWebCtrl() {
    DeleteValue();
}

void CDataWebCtrl::DeleteValue() noexcept {
    m_value = std::monostate{};
}

bool CDataWebCtrl::CreateValue() {
    switch (m_nType) {
    case D_WEB_CTRL_TEXT:
    case D_WEB_CTRL_PSWD:
        m_value = std::make_unique<CDataWebTextValue>();
        return true;
    case D_WEB_CTRL_RADIO:
    case D_WEB_CTRL_CHECK:
    case D_WEB_CTRL_SELECT:
        m_value = std::make_unique<CDataWebSelCtrl>();
        return true;
    case D_WEB_CTRL_MULTI:
        m_value = std::make_unique<CDataWebMultiText>();
        return true;
    case D_WEB_CTRL_SUBMIT:
    case D_WEB_CTRL_IMAGE:
        m_value = std::make_unique<CDataWebButtonValue>();
        return true;
    default:
        DeleteValue();
        return false;
    }
}

void CDataWebCtrl::Copy(const CDataWebCtrl& source) {
    if (this == &source) return;
    DeleteValue();
    m_strKey = source.m_strKey;
    m_nType = source.m_nType;
    m_strName = source.m_strName;
    m_nChanged = source.m_nChanged;
    m_element = source.m_element;
    m_nPosition = source.m_nPosition;
    if (!source.HasValue() || !CreateValue()) return;

    // The new record is of this control's kind; a source whose record does
    // not match its kind contributes nothing beyond the empty record.
    if (CDataWebTextValue* to = TextValue(); to && source.TextValue()) {
        *to = *source.TextValue();
    } else if (CDataWebSelCtrl* sel = SelValue(); sel && source.SelValue()) {
        sel->Copy(*source.SelValue());
    } else if (CDataWebMultiText* multi = MultiValue(); multi && source.MultiValue()) {
        *multi = *source.MultiValue();
    } else if (CDataWebButtonValue* button = ButtonValue(); button && source.ButtonValue()) {
        *button = *source.ButtonValue();
    }
}

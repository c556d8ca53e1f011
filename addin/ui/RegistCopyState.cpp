#include "RegistCopyState.h"

#include "RegistHtml.h"

namespace {

// Reads (and, with store, takes over) the copy's state of one control.
bool Compare(CDataWebCtrl& ctrl, bool nameEmpty, bool store) {
    if (!ctrl.m_element && !ctrl.SelValue()) return false;
    bool differs = false;
    switch (ctrl.m_nType) {
    case D_WEB_CTRL_TEXT:
    case D_WEB_CTRL_PSWD: {
        CDataWebTextValue* v = ctrl.TextValue();
        std::wstring value;
        if (!v || !ctrl.m_element || !regist::ReadValue(ctrl.m_element.Get(), value)) return false;
        differs = value != v->m_strValue;
        if (store) v->m_strValue = value;
        break;
    }
    case D_WEB_CTRL_MULTI: {
        CDataWebMultiText* v = ctrl.MultiValue();
        std::wstring value;
        if (!v || !ctrl.m_element || !regist::ReadValue(ctrl.m_element.Get(), value)) return false;
        differs = value != v->m_strText;
        if (store) v->m_strText = value;
        break;
    }
    case D_WEB_CTRL_RADIO:
    case D_WEB_CTRL_CHECK:
    case D_WEB_CTRL_SELECT: {
        CDataWebSelCtrl* v = ctrl.SelValue();
        if (!v) return false;
        const bool select = ctrl.m_nType == D_WEB_CTRL_SELECT;
        const bool skipFirst = select && v->m_nMultiple == 0 && nameEmpty;
        for (size_t i = 0; i < v->m_elements.size(); ++i) {
            CDataWebSelElement& e = *v->m_elements[i];
            if (!e.m_element) continue;
            int state = 0;
            const bool read = select ? regist::ReadSelected(e.m_element.Get(), state)
                                     : regist::ReadChecked(e.m_element.Get(), state);
            if (!read) continue;
            const bool untouchedFirst = skipFirst && i == 0 && state == 1;
            if (!untouchedFirst && state != e.m_nSelect) differs = true;
            if (store) e.m_nSelect = state;
        }
        break;
    }
    case D_WEB_CTRL_SUBMIT:
    case D_WEB_CTRL_IMAGE: {
        CDataWebButtonValue* v = ctrl.ButtonValue();
        int state = 0;
        if (!v || !ctrl.m_element || !regist::ReadSelected(ctrl.m_element.Get(), state))
            return false;
        differs = state != v->m_nSelected;
        if (store) v->m_nSelected = state;
        break;
    }
    default:
        break;
    }
    return differs;
}

} // namespace

bool CopyDiffers(const CDataWebCtrl& ctrl, bool nameEmpty) {
    return Compare(const_cast<CDataWebCtrl&>(ctrl), nameEmpty, false);
}

bool ReadCopyInto(CDataWebCtrl& ctrl, bool nameEmpty) {
    return Compare(ctrl, nameEmpty, true);
}

void RestoreCopy(const CDataWebCtrl& ctrl) {
    switch (ctrl.m_nType) {
    case D_WEB_CTRL_TEXT:
    case D_WEB_CTRL_PSWD:
        if (const CDataWebTextValue* v = ctrl.TextValue())
            (void)regist::WriteValue(ctrl.m_element.Get(), v->m_strValue);
        break;
    case D_WEB_CTRL_MULTI:
        if (const CDataWebMultiText* v = ctrl.MultiValue())
            (void)regist::WriteValue(ctrl.m_element.Get(), v->m_strText);
        break;
    case D_WEB_CTRL_RADIO:
    case D_WEB_CTRL_CHECK:
    case D_WEB_CTRL_SELECT:
        if (const CDataWebSelCtrl* v = ctrl.SelValue())
            for (const auto& e : v->m_elements) {
                if (!e->m_element) continue;
                if (ctrl.m_nType == D_WEB_CTRL_SELECT) {
                    (void)regist::WriteSelected(e->m_element.Get(), e->m_nSelect);
                } else {
                    (void)regist::WriteChecked(e->m_element.Get(), e->m_nSelect);
                }
            }
        break;
    case D_WEB_CTRL_SUBMIT:
    case D_WEB_CTRL_IMAGE:
        if (const CDataWebButtonValue* v = ctrl.ButtonValue())
            (void)regist::WriteSelected(ctrl.m_element.Get(), v->m_nSelected);
        break;
    default:
        break;
    }
}

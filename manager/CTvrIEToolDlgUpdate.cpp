// Rewriting a stored item from the dialog's fields and the preview. Every
// value written is also put into the model, so that the model always says
// what the database holds and a second save finds nothing left to write.
#include "CTvrIEToolDlg.h"
#include "CTvrIEToolDlgElements.h"
#include "CTvrIEToolDlgHandles.h"
#include "TraceScope.h"
#include "WebFormLayout.h"

namespace {
namespace wf = torva::webform;
} // namespace

int CTvrIEToolDlg::UpdateWebItem(CDataWebItem* item, int mode) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::UpdateWebItem");
    m_nUpdateWrites = 0;
    if (!item || item->m_strKey.empty()) TORVA_RETURN_INT(-1);
    TVRDB_HDB db = nullptr;
    if (!OpenDB(&db)) TORVA_RETURN_INT(-2);
    DlgDbScope dbScope(*this, db);

    UpdateDialogFields(TRUE);
    std::wstring name = m_strItemName;
    std::int32_t autoInput = m_bAutoInput ? 1 : 0;
    std::int32_t autoSend = m_bAutoSend ? 1 : 0;
    if (item->m_nState == kItemCopySaving) {
        // A copy saved while another item is shown: the fields are that
        // item's, so the copy keeps its own name and sending.
        autoInput = 1;
        name = item->m_strName;
        autoSend = Flag(item->m_nAutoSend);
    }
    const std::wstring& key = item->m_strKey;

    switch (mode) {
    case 2:
        if (!SetDwordValue(db, key, wf::kItemAutoInput, 0)) TORVA_RETURN_INT(-1);
        item->m_nAutoInput = 0;
        ++m_nUpdateWrites;
        TORVA_RETURN_INT(1);
    case 0:
        if (!SetStringValue(db, key, wf::kItemName, std::wstring())) TORVA_RETURN_INT(-1);
        item->m_strName.clear();
        ++m_nUpdateWrites;
        if (!SetDwordValue(db, key, wf::kItemAutoInput, DWORD(autoInput))) TORVA_RETURN_INT(-1);
        item->m_nAutoInput = autoInput;
        ++m_nUpdateWrites;
        if (!SetDwordValue(db, key, wf::kItemAutoSend, 0)) TORVA_RETURN_INT(-1);
        item->m_nAutoSend = 0;
        ++m_nUpdateWrites;
        break;
    case 1:
    case 3:
        if (name != item->m_strName) {
            if (!IsItemName(FindPageOfItem(item), item, name)) TORVA_RETURN_INT(-1);
            if (!SetStringValue(db, key, wf::kItemName, name)) TORVA_RETURN_INT(-1);
            item->m_strName = name;
            ++m_nUpdateWrites;
        }
        if (mode == 3 || Flag(item->m_nAutoInput) != autoInput) {
            if (!SetDwordValue(db, key, wf::kItemAutoInput, DWORD(autoInput))) TORVA_RETURN_INT(-1);
            item->m_nAutoInput = autoInput;
            ++m_nUpdateWrites;
        }
        if (Flag(item->m_nAutoSend) != autoSend) {
            if (!SetDwordValue(db, key, wf::kItemAutoSend, DWORD(autoSend))) TORVA_RETURN_INT(-1);
            item->m_nAutoSend = autoSend;
            ++m_nUpdateWrites;
        }
        break;
    default:
        TORVA_RETURN_INT(-1);
    }
    TORVA_RETURN_INT(WriteBoundValues(db, *item) ? 1 : -1);
}

bool CTvrIEToolDlg::WriteBoundValues(TVRDB_HDB db, CDataWebItem& item) {
    TORVA_TRACE_SCOPE(L"CTvrIEToolDlg::WriteBoundValues");
    bool ok = true;
    for (const auto& ctrl : item.m_ctrls) {
        // A control never stored has nowhere to go; an unbound one is not
        // shown and so not changed.
        if (ctrl->m_strKey.empty()) continue;
        const std::wstring& key = ctrl->m_strKey;
        switch (ctrl->m_nType) {
        case D_WEB_CTRL_TEXT: {
            CDataWebTextValue* text = ctrl->TextValue();
            const auto shown = mablix::ElementText(ctrl->m_element);
            if (!text || !shown || *shown == text->m_strValue) break;
            if (SetStringValue(db, key, wf::kCtrlValue, *shown)) {
                text->m_strValue = *shown;
                ++m_nUpdateWrites;
            } else {
                ok = false;
            }
            break;
        }
        case D_WEB_CTRL_PSWD: {
            CDataWebTextValue* text = ctrl->TextValue();
            const auto shown = mablix::ElementText(ctrl->m_element);
            // Unchanged, or a password never had in clear and left empty: the
            // stored cipher stays as it is.
            if (!text || !shown || *shown == text->m_strValue) break;
            if (SetStringValue_Encord(db, key, wf::kCtrlValue, *shown)) {
                text->m_strValue = *shown;
                text->m_nNotDecrypted = 0;
                ++m_nUpdateWrites;
            } else {
                ok = false;
            }
            break;
        }
        case D_WEB_CTRL_RADIO:
        case D_WEB_CTRL_CHECK:
        case D_WEB_CTRL_SELECT: {
            CDataWebSelCtrl* choices = ctrl->SelValue();
            if (!choices) break; // no choices stored
            const std::wstring element = wf::SubKeyPath(key, wf::kElementKey);
            int i = 1;
            for (auto& choice : choices->m_elements) {
                const auto state = ctrl->m_nType == D_WEB_CTRL_SELECT
                                       ? mablix::OptionSelected(choice->m_element)
                                       : mablix::ElementChecked(choice->m_element);
                const std::int32_t value = state && *state ? 1 : 0;
                if (state && value != (choice->m_nSelect == 1 ? 1 : 0)) {
                    if (SetDwordValue(db, element,
                                      wf::NumberedValueName(wf::kElementSelectStem, i).c_str(),
                                      DWORD(value))) {
                        choice->m_nSelect = value;
                        ++m_nUpdateWrites;
                    } else {
                        ok = false;
                    }
                }
                ++i;
            }
            break;
        }
        case D_WEB_CTRL_MULTI: {
            CDataWebMultiText* area = ctrl->MultiValue();
            const auto shown = mablix::ElementText(ctrl->m_element);
            if (!area || !shown || *shown == area->m_strText) break;
            if (SetStringValue(db, key, wf::kCtrlText, *shown)) {
                area->m_strText = *shown;
                ++m_nUpdateWrites;
            } else {
                ok = false;
            }
            break;
        }
        case D_WEB_CTRL_SUBMIT:
        case D_WEB_CTRL_IMAGE: {
            CDataWebButtonValue* button = ctrl->ButtonValue();
            const auto chosen = mablix::OptionSelected(ctrl->m_element);
            if (!button || !chosen) break;
            const std::int32_t value = *chosen ? 1 : 0;
            if (value == (button->m_nSelected == 1 ? 1 : 0)) break;
            if (SetDwordValue(db, key, wf::kCtrlSelect, DWORD(value))) {
                button->m_nSelected = value;
                ++m_nUpdateWrites;
            } else {
                ok = false;
            }
            break;
        }
        default:
            break;
        }
    }
    TORVA_RETURN_BOOL(ok);
}

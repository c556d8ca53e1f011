// The page capture: reads the live page into the page form and lists it.
#include "CRegistDlg.h"

#include "RegistHtml.h"

#include <algorithm>
#include <memory>

using regist::As;
using regist::TakeBstr;

namespace {

constexpr wchar_t kNewMark[] = L"(新規登録)";
constexpr wchar_t kNoName[] = L"名前なし";
constexpr size_t kTitleChars = 50;
constexpr size_t kUrlLineChars = 55;
constexpr int kUrlLines = 3;
constexpr long kMaxDataLen = 500;
constexpr wchar_t kSelectedMark[] = L" selected";

// A value carrying " selected" means a chosen entry; the mark is dropped.
void TakeSelectedMark(std::wstring& value, int& select) {
    const size_t at = value.find(kSelectedMark);
    if (at == std::wstring::npos) return;
    value.erase(at, sizeof kSelectedMark / sizeof kSelectedMark[0] - 1);
    select = 1;
}

CDataWebCtrl* FindCtrl(CDataWebItem* item, int kind, const std::wstring& name) {
    for (auto& ctrl : item->m_ctrls)
        if (ctrl->m_nType == kind && ctrl->m_strName == name) return ctrl.get();
    return nullptr;
}

// Before the index-th control, or at the end.
CDataWebCtrl* PlaceAt(CDataWebItem* item, std::unique_ptr<CDataWebCtrl> ctrl, int index) {
    CDataWebCtrl* raw = ctrl.get();
    auto& list = item->m_ctrls;
    if (index >= 0 && static_cast<size_t>(index) < list.size()) {
        list.insert(list.begin() + index, std::move(ctrl));
    } else {
        list.push_back(std::move(ctrl));
    }
    return raw;
}

std::unique_ptr<CDataWebCtrl> NewCtrl(int kind, const std::wstring& name) {
    auto ctrl = std::make_unique<CDataWebCtrl>();
    ctrl->m_nType = kind;
    ctrl->m_strName = name;
    (void)ctrl->CreateValue();
    return ctrl;
}

bool AnyButtonMarked(const CDataWebItem* item) {
    for (const auto& ctrl : item->m_ctrls) {
        const CDataWebButtonValue* button = ctrl->ButtonValue();
        if ((ctrl->m_nType == D_WEB_CTRL_SUBMIT || ctrl->m_nType == D_WEB_CTRL_IMAGE) && button &&
            button->m_nSelected == 1)
            return true;
    }
    return false;
}

bool SameSelection(const CDataWebSelCtrl& a, const CDataWebSelCtrl& b) {
    if (a.m_elements.size() != b.m_elements.size()) return false;
    for (size_t i = 0; i < a.m_elements.size(); ++i) {
        const auto& x = *a.m_elements[i];
        const auto& y = *b.m_elements[i];
        if (x.m_strValue != y.m_strValue || x.m_nSelect != y.m_nSelect ||
            x.m_strText != y.m_strText)
            return false;
    }
    return true;
}

// Stored values of an item are replaced by the page's only while it is being
// overwritten, added, or has never been named.
bool TakesPageValues(const CDataWebItem* item) {
    return item->m_nState != 0 || item->m_strName.empty();
}

// True when element is one of form's controls (its form owner is form).
bool OwnedBy(IHTMLElement* element, IHTMLFormElement* form) {
    auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement);
    if (!input || !form) return false;
    CComPtr<IHTMLFormElement> owner;
    if (FAILED(input->get_form(&owner)) || !owner) return false;
    return As<IUnknown>(owner.p, IID_IUnknown) == As<IUnknown>(form, IID_IUnknown);
}

std::wstring WrapUrl(const std::wstring& url) {
    std::wstring shown;
    size_t pos = 0;
    int lines = 0;
    while (pos < url.size()) {
        const size_t n = std::min(kUrlLineChars, url.size() - pos);
        shown.append(url, pos, n);
        pos += n;
        if (n == kUrlLineChars) {
            shown += L'\n';
            if (++lines == kUrlLines) break;
        }
    }
    return shown;
}

} // namespace

std::wstring CRegistDlg::NewRowLabel() {
    wchar_t label[64];
    ::swprintf(label, 64, L"アイテム%d%ls", ++m_nRowCounter, kNewMark);
    return label;
}

BOOL CRegistDlg::UpdatePageData() {
    if (m_hList) ListView_DeleteAllItems(m_hList);
    m_nRowCounter = 0;
    (void)m_store.GetOptionData();
    if (!m_pDocument) return FALSE;

    BSTR urlText = nullptr;
    (void)m_pDocument->get_URL(&urlText);
    const std::wstring url = TakeBstr(urlText);
    BSTR titleText = nullptr;
    (void)m_pDocument->get_title(&titleText);
    const std::wstring title = TakeBstr(titleText);

    // The rows pointed into the page form: they were all deleted above. The
    // current index stays, so that the same row is selected again.
    delete m_pWebForm;
    m_pWebForm = nullptr;
    m_store.m_nCryptUsable = 1;
    m_pWebForm = m_store.GetWebPageData(url, 1);
    m_store.m_nCryptUsable = 0;

    if (m_hHidePwd) ::SendMessageW(m_hHidePwd, BM_SETCHECK, m_store.m_option.m_nHidePwd == 1, 0);
    if (m_hChangeFlg)
        ::SendMessageW(m_hChangeFlg, BM_SETCHECK, m_pWebForm && m_pWebForm->m_nChangeFlg == 1, 0);

    if (m_pWebForm && m_nSaveFlg == 0 && m_nState == STATE_REREGIST) {
        delete m_pReplaceForm;
        m_pReplaceForm = m_pWebForm;
        m_pWebForm = nullptr;
    }
    if (!m_pWebForm) {
        m_pWebForm = new CDataWebForm;
        m_pWebForm->m_strTitle = title;
        m_pWebForm->m_strUrl = url;
    }

    if (m_hTitle) {
        ::SendMessageW(m_hTitle, EM_LIMITTEXT, kTitleChars, 0);
        ::SetWindowTextW(m_hTitle, m_pWebForm->m_strTitle.substr(0, kTitleChars).c_str());
    }
    if (m_hUrl) ::SetWindowTextW(m_hUrl, WrapUrl(url).c_str());
    if (m_hDate) ::SetWindowTextW(m_hDate, m_pWebForm->m_strUpdateDate.c_str());

    CComPtr<IHTMLElementCollection> all;
    if (FAILED(m_pDocument->get_all(&all)) || !all) return FALSE;
    const long count = regist::CollectionLength(all);
    if (count < 0) return FALSE;

    CDataWebItem* current = nullptr;
    CComPtr<IHTMLFormElement> currentForm;
    m_pFormSender.Release();
    int formOrdinal = 0;
    delete m_pAddItem;
    m_pAddItem = nullptr;
    for (long i = 0; i < count; ++i) {
        CComPtr<IHTMLElement> element = regist::CollectionItem(all, i);
        if (!element) continue;
        SetPositionInfo(element, current, static_cast<int>(i));
        // An image input is one of the item's controls only where it is one
        // of its form's controls, as the fill-in and the click's comparison
        // read them; one after the form's end belongs to no form.
        CDataWebItem* imageItem = OwnedBy(element, currentForm) ? current : nullptr;
        if (GetInputImageElement(element, imageItem, static_cast<int>(i))) continue;
        auto form = As<IHTMLFormElement>(element, IID_IHTMLFormElement);
        if (!form) continue;
        currentForm = form;

        current = nullptr;
        for (auto& item : m_pWebForm->m_items)
            if (item->m_nIndex == formOrdinal) {
                current = item.get();
                break;
            }
        const bool created = current == nullptr;
        if (created) {
            BSTR formName = nullptr;
            (void)form->get_name(&formName);
            current = &m_pWebForm->AddItem();
            current->m_strFormName = TakeBstr(formName);
            current->m_nIndex = formOrdinal;
        }
        m_pFormSender = FormSender(element);
        if (m_nSaveFlg == 0 && m_nState == STATE_OVERWRITE) current->m_nState = 1;
        if (m_nSaveFlg == 0 && m_nState == STATE_ADD && formOrdinal == m_nSelForm && !m_pAddItem) {
            // A further entry for the same form: a copy of the item that
            // keeps nothing of its stored identity.
            m_pAddItem = new CDataWebItem;
            m_pAddItem->Copy(*current);
            m_pAddItem->m_strKey.clear();
            m_pAddItem->m_strName.clear();
            m_pAddItem->m_nAutoInput = 0;
            m_pAddItem->m_nAutoSend = 0;
            m_pAddItem->m_nState = 2;
            for (auto& ctrl : m_pAddItem->m_ctrls)
                ctrl->m_strKey.clear();
            (void)GetWebCtrl(element, m_pAddItem);
        }
        const int n = GetWebCtrl(element, current);
        if (n > 0) {
            std::wstring label = current->m_strName;
            if (created || label.empty()) label = NewRowLabel();
            (void)InsertRow(label, current->m_strFormName, current);
        } else if (created) {
            auto& items = m_pWebForm->m_items;
            for (auto it = items.begin(); it != items.end(); ++it)
                if (it->get() == current) {
                    items.erase(it);
                    break;
                }
            current = nullptr;
        }
        ++formOrdinal;
    }
    m_pFormSender.Release();

    SetAddItem();

    if (m_pAddItem) {
        CDataWebItem* added = m_pAddItem;
        m_pWebForm->m_items.emplace_back(m_pAddItem);
        m_pAddItem = nullptr;
        const int row = InsertRow(NewRowLabel(), added->m_strFormName, added);
        m_nState = STATE_NEW;
        SelectRow(row);
    } else if (m_nCurIndex == -1) {
        if (m_nSelForm >= 0 && m_nSelForm < ListView_GetItemCount(m_hList)) SelectRow(m_nSelForm);
    } else if (m_nCurIndex < ListView_GetItemCount(m_hList)) {
        SelectRow(m_nCurIndex);
    }
    return TRUE;
}

CComPtr<IUnknown> CRegistDlg::FormSender(IHTMLElement* form) const {
    CComPtr<IUnknown> first;
    CComPtr<IDispatch> controls = As<IDispatch>(form, IID_IDispatch);
    const long count = regist::CollectionLength(controls);
    for (long i = 0; i < count; ++i) {
        CComPtr<IHTMLElement> element = regist::CollectionItem(controls, i);
        if (!element || regist::TagName(element) != L"INPUT") continue;
        const std::wstring type = regist::Lower(regist::InputType(element));
        if (type != L"submit" && type != L"image") continue;
        CComPtr<IUnknown> button = As<IUnknown>(element, IID_IUnknown);
        if (m_pSender && button == m_pSender) return button;
        if (!first) first = button;
    }
    return first;
}

bool CRegistDlg::IsSender(IHTMLElement* element, const CDataWebItem* item) const {
    if (!m_pFormSender || !element || !item) return false;
    return As<IUnknown>(element, IID_IUnknown) == m_pFormSender && !AnyButtonMarked(item);
}

void CRegistDlg::SetAddItem() {
    if (!m_pWebForm || !m_hList) return;
    for (auto& item : m_pWebForm->m_items) {
        if (RowOf(item.get()) >= 0) continue;
        std::wstring label = item->m_strName;
        if (label.empty()) {
            label = item->m_strFormName.empty() ? std::wstring(kNoName) + kNewMark
                                                : item->m_strFormName + kNewMark;
            if (label.compare(0, 4, kNoName) == 0) ++m_nRowCounter;
        }
        (void)InsertRow(label, item->m_strFormName, item.get());
    }
}

void CRegistDlg::SetPositionInfo(IHTMLElement* element, CDataWebItem* item, int index) {
    if (!element || !item) return;
    const std::wstring tag = regist::TagName(element);
    int kind = -1;
    if (tag == L"INPUT") {
        const std::wstring type = regist::Lower(regist::InputType(element));
        if (type == L"text")
            kind = D_WEB_CTRL_TEXT;
        else if (type == L"password")
            kind = D_WEB_CTRL_PSWD;
        else if (type == L"radio")
            kind = D_WEB_CTRL_RADIO;
        else if (type == L"checkbox")
            kind = D_WEB_CTRL_CHECK;
        else if (type == L"submit")
            kind = D_WEB_CTRL_SUBMIT;
    } else if (tag == L"TEXTAREA") {
        kind = D_WEB_CTRL_MULTI;
    } else if (tag == L"SELECT") {
        kind = D_WEB_CTRL_SELECT;
    }
    if (kind < 0) return;
    const std::wstring name = regist::ControlName(element);
    for (auto& ctrl : item->m_ctrls)
        if (ctrl->m_nType == kind && ctrl->m_strName == name && ctrl->m_nPosition == -1)
            ctrl->m_nPosition = index;
}

void CRegistDlg::InsertCtrlList(CDataWebItem* item, CDataWebCtrl* ctrl, int index) {
    if (!item || !ctrl) return;
    ctrl->m_nPosition = index;
    std::unique_ptr<CDataWebCtrl> owned(ctrl);
    auto& list = item->m_ctrls;
    for (auto it = list.begin(); it != list.end(); ++it)
        if ((*it)->m_nPosition == -1) {
            list.insert(it, std::move(owned));
            return;
        }
    list.push_back(std::move(owned));
}

int CRegistDlg::GetWebCtrl(IHTMLElement* form, CDataWebItem* item) {
    if (!form || !item) return 0;
    CComPtr<IDispatch> controls = As<IDispatch>(form, IID_IDispatch);
    const long count = regist::CollectionLength(controls);
    for (long i = 0; i < count; ++i) {
        CComPtr<IHTMLElement> element = regist::CollectionItem(controls, i);
        if (!element) continue;
        const int at = static_cast<int>(i);
        if (GetTextElement(element, item, at)) continue;
        if (m_store.m_option.m_nNoMultiText != 1 && GetTextAreaElement(element, item, at)) continue;
        if (GetSelectElement(element, item, at)) continue;
        (void)GetInputElement(element, item, at);
    }
    return static_cast<int>(item->m_ctrls.size());
}

bool CRegistDlg::GetTextElement(IHTMLElement* element, CDataWebItem* item, int index) {
    auto text = As<IHTMLInputTextElement>(element, IID_IHTMLInputTextElement);
    if (!text) return false;
    BSTR typeText = nullptr;
    (void)text->get_type(&typeText);
    const std::wstring type = TakeBstr(typeText);
    int kind = -1;
    if (type == L"text")
        kind = D_WEB_CTRL_TEXT;
    else if (type == L"password")
        kind = D_WEB_CTRL_PSWD;
    if (kind < 0) return false;

    BSTR nameText = nullptr;
    BSTR valueText = nullptr;
    (void)text->get_name(&nameText);
    (void)text->get_value(&valueText);
    const std::wstring name = TakeBstr(nameText);
    const std::wstring value = TakeBstr(valueText);
    LONG maxLength = -1;
    if (FAILED(text->get_maxLength(&maxLength)) || maxLength > kMaxDataLen || maxLength < 0)
        maxLength = -1;

    if (CDataWebCtrl* ctrl = FindCtrl(item, kind, name)) {
        CDataWebTextValue* stored = ctrl->TextValue();
        if (stored && TakesPageValues(item) &&
            ((!value.empty() && value != stored->m_strValue) || maxLength != stored->m_nDataLen)) {
            stored->m_strValue = value;
            stored->m_nDataLen = maxLength;
            ctrl->m_nChanged = 1;
        }
        return true;
    }
    auto ctrl = NewCtrl(kind, name);
    ctrl->TextValue()->m_strValue = value;
    ctrl->TextValue()->m_nDataLen = maxLength;
    PlaceAt(item, std::move(ctrl), index);
    return true;
}

bool CRegistDlg::GetTextAreaElement(IHTMLElement* element, CDataWebItem* item, int index) {
    auto area = As<IHTMLTextAreaElement>(element, IID_IHTMLTextAreaElement);
    if (!area) return false;
    BSTR nameText = nullptr;
    BSTR valueText = nullptr;
    (void)area->get_name(&nameText);
    (void)area->get_value(&valueText);
    const std::wstring name = TakeBstr(nameText);
    const std::wstring value = TakeBstr(valueText);
    LONG rows = -1;
    LONG cols = -1;
    if (FAILED(area->get_rows(&rows))) rows = -1;
    if (FAILED(area->get_cols(&cols))) cols = -1;

    if (CDataWebCtrl* ctrl = FindCtrl(item, D_WEB_CTRL_MULTI, name)) {
        CDataWebMultiText* stored = ctrl->MultiValue();
        if (stored && TakesPageValues(item) &&
            ((!value.empty() && value != stored->m_strText) || rows != stored->m_nRows ||
             cols != stored->m_nCols)) {
            stored->m_strText = value;
            stored->m_nRows = rows;
            stored->m_nCols = cols;
            ctrl->m_nChanged = 1;
        }
        return true;
    }
    auto ctrl = NewCtrl(D_WEB_CTRL_MULTI, name);
    ctrl->MultiValue()->m_strText = value;
    ctrl->MultiValue()->m_nRows = rows;
    ctrl->MultiValue()->m_nCols = cols;
    PlaceAt(item, std::move(ctrl), index);
    return true;
}

bool CRegistDlg::GetSelectElement(IHTMLElement* element, CDataWebItem* item, int index) {
    auto select = As<IHTMLSelectElement>(element, IID_IHTMLSelectElement);
    if (!select) return false;
    BSTR nameText = nullptr;
    (void)select->get_name(&nameText);
    const std::wstring name = TakeBstr(nameText);
    VARIANT_BOOL multiple = VARIANT_FALSE;
    (void)select->get_multiple(&multiple);

    CDataWebSelCtrl page;
    page.m_nMultiple = multiple != VARIANT_FALSE ? 1 : 0;
    const long count = regist::CollectionLength(select);
    for (long i = 0; i < count; ++i) {
        auto option =
            As<IHTMLOptionElement>(regist::CollectionItem(select, i), IID_IHTMLOptionElement);
        if (!option) continue;
        BSTR valueText = nullptr;
        BSTR textText = nullptr;
        VARIANT_BOOL selected = VARIANT_FALSE;
        (void)option->get_value(&valueText);
        (void)option->get_text(&textText);
        (void)option->get_selected(&selected);
        CDataWebSelElement& entry = page.Add();
        entry.m_strValue = TakeBstr(valueText);
        entry.m_strText = TakeBstr(textText);
        entry.m_nSelect = selected != VARIANT_FALSE ? 1 : 0;
        TakeSelectedMark(entry.m_strValue, entry.m_nSelect);
    }

    if (CDataWebCtrl* ctrl = FindCtrl(item, D_WEB_CTRL_SELECT, name)) {
        CDataWebSelCtrl* stored = ctrl->SelValue();
        if (stored && TakesPageValues(item) && !SameSelection(*stored, page)) {
            stored->Copy(page);
            ctrl->m_nChanged = 1;
        }
        return true;
    }
    auto ctrl = NewCtrl(D_WEB_CTRL_SELECT, name);
    ctrl->SelValue()->Copy(page);
    PlaceAt(item, std::move(ctrl), index);
    return true;
}

bool CRegistDlg::GetInputElement(IHTMLElement* element, CDataWebItem* item, int index) {
    auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement);
    if (!input) return false;
    BSTR typeText = nullptr;
    BSTR nameText = nullptr;
    BSTR valueText = nullptr;
    VARIANT_BOOL checked = VARIANT_FALSE;
    (void)input->get_type(&typeText);
    (void)input->get_name(&nameText);
    (void)input->get_value(&valueText);
    (void)input->get_checked(&checked);
    const std::wstring type = TakeBstr(typeText);
    const std::wstring name = TakeBstr(nameText);
    std::wstring value = TakeBstr(valueText);
    int select = 0;
    TakeSelectedMark(value, select);
    if (select == 0) select = checked != VARIANT_FALSE ? 1 : 0;

    if (type == L"submit") {
        for (auto& ctrl : item->m_ctrls) {
            const CDataWebButtonValue* button = ctrl->ButtonValue();
            if (ctrl->m_nType == D_WEB_CTRL_SUBMIT && ctrl->m_strName == name && button &&
                button->m_strValue == value)
                return true;
        }
        auto ctrl = NewCtrl(D_WEB_CTRL_SUBMIT, name);
        ctrl->ButtonValue()->m_strValue = value;
        ctrl->ButtonValue()->m_nSelected = IsSender(element, item) ? 1 : select;
        item->m_ctrls.push_back(std::move(ctrl));
        return true;
    }
    int kind = -1;
    if (type == L"radio")
        kind = D_WEB_CTRL_RADIO;
    else if (type == L"checkbox")
        kind = D_WEB_CTRL_CHECK;
    if (kind < 0) return false;

    CDataWebCtrl* ctrl = FindCtrl(item, kind, name);
    if (!ctrl) ctrl = PlaceAt(item, NewCtrl(kind, name), index);
    CDataWebSelCtrl* choices = ctrl->SelValue();
    if (!choices) return true;
    for (auto& entry : choices->m_elements) {
        if (entry->m_strValue != value) continue;
        if (TakesPageValues(item) && (entry->m_nSelect != select || !entry->m_strText.empty())) {
            entry->m_nSelect = select;
            entry->m_strText.clear();
        }
        return true;
    }
    CDataWebSelElement& entry = choices->Add();
    entry.m_strValue = value;
    entry.m_nSelect = select;
    return true;
}

bool CRegistDlg::GetInputImageElement(IHTMLElement* element, CDataWebItem* item, int index) {
    auto image = As<IHTMLInputImage>(element, IID_IHTMLInputImage);
    if (!image) return false;
    if (!item) return true;
    BSTR nameText = nullptr;
    BSTR altText = nullptr;
    (void)image->get_name(&nameText);
    (void)image->get_alt(&altText);
    const std::wstring name = TakeBstr(nameText);
    const std::wstring alt = TakeBstr(altText);
    for (auto& ctrl : item->m_ctrls) {
        const CDataWebButtonValue* button = ctrl->ButtonValue();
        if (ctrl->m_nType == D_WEB_CTRL_IMAGE && ctrl->m_strName == name && button &&
            button->m_strValue == alt)
            return true;
    }
    auto ctrl = NewCtrl(D_WEB_CTRL_IMAGE, name);
    ctrl->ButtonValue()->m_strValue = alt;
    ctrl->ButtonValue()->m_nSelected = IsSender(element, item) ? 1 : 0;
    if (item->m_ctrls.empty()) {
        item->m_ctrls.push_back(std::move(ctrl));
    } else {
        InsertCtrlList(item, ctrl.release(), index);
    }
    return true;
}

// Editing in the registration dialog: switching rows, the guard against
// losing edits, Clear, the single automatic item and Cancel.
#include "CRegistDlg.h"
#include "DialogControls.h"

#include "RegistCopyState.h"

#include <commctrl.h>

namespace {

constexpr wchar_t kNewMark[] = L"(新規登録)";
constexpr wchar_t kNoName[] = L"名前なし";
constexpr wchar_t kWarning[] = L"警告";
constexpr wchar_t kClearQuestion[] = L"変更前のデータに戻しますか?";
constexpr wchar_t kRowQuestion[] =
    L"項目の選択を変更すると、編集中のデータは破棄されます。\n選択項目を変更しますか？";
constexpr wchar_t kCancelQuestion[] =
    L"キャンセルすると、編集した内容が破棄されます。\nキャンセルしますか?";
constexpr wchar_t kAutoQuestion[] =
    L"他のアイテムでこの項目がチェックされています。\nこのアイテムで設定しなおしますか?";
constexpr wchar_t kAutoCaption[] = L"質問";
constexpr size_t kTitleChars = 50;

const wchar_t* QuestionFor(int nStatus) {
    if (nStatus == 0) return kClearQuestion;
    if (nStatus == 1) return kRowQuestion;
    return kCancelQuestion;
}

std::wstring WithoutMark(std::wstring text) {
    const size_t at = text.find(kNewMark);
    if (at != std::wstring::npos) text.erase(at, sizeof kNewMark / sizeof kNewMark[0] - 1);
    return text;
}

// The name box's text for a row: the label without the new mark; a label
// made for a form without any name leaves the box empty.
std::wstring NameForRow(const std::wstring& rowText) {
    if (rowText.compare(0, 4, kNoName) == 0) return {};
    return WithoutMark(rowText);
}

} // namespace

int CRegistDlg::Ask(const wchar_t* text, const wchar_t* caption) {
    return ::MessageBoxW(m_hWnd, text, caption, MB_ICONWARNING | MB_YESNO);
}

int CRegistDlg::IsChageItemData(int nStatus) {
    const wchar_t* question = QuestionFor(nStatus);
    CDataWebItem* item = RowItem(m_nCurIndex);
    if (m_nCurIndex < 0 || !item) return 0;
    const std::wstring name = WindowText(m_hItemName);
    const std::wstring row = RowText(m_nCurIndex);
    bool nameKept = false;
    if (row.find(kNewMark) != std::wstring::npos) {
        if (name == WithoutMark(row)) {
            nameKept = true;
        } else if (nStatus == 0) {
            return Ask(question, kWarning) == IDYES ? IDYES : 1;
        }
    }
    const bool changed = (!nameKept && name != item->m_strName) ||
                         Checked(m_hAutoInput) != item->m_nAutoInput ||
                         Checked(m_hAutoSend) != item->m_nAutoSend;
    if (!changed) return 0;
    if (Ask(question, kWarning) != IDYES) return 1;
    return nStatus == 0 ? IDYES : 0;
}

int CRegistDlg::IsChangeCtrlData(int nStatus) {
    CDataWebItem* item = RowItem(m_nCurIndex);
    if (m_nCurIndex < 0 || !item) return 1;
    if (nStatus < 0 || nStatus > 2) return 1;
    const bool nameEmpty = item->m_strName.empty();
    if (nStatus != 0) {
        for (const auto& ctrl : item->m_ctrls) {
            const bool replaced = nStatus == 2 && ctrl->m_nChanged == 1 && !nameEmpty;
            if (replaced || CopyDiffers(*ctrl, nameEmpty))
                return Ask(QuestionFor(nStatus), kWarning);
        }
        return 1;
    }

    int r = IsChageItemData(0);
    if (r == 1) return 0;
    if (r == IDYES) {
        ::SetWindowTextW(m_hItemName, NameForRow(RowText(m_nCurIndex)).c_str());
        SetChecked(m_hAutoInput, item->m_nAutoInput);
        if (item->m_nAutoInput == 1) {
            ::EnableWindow(m_hAutoSend, TRUE);
            SetChecked(m_hAutoSend, item->m_nAutoSend);
        } else {
            SetChecked(m_hAutoSend, 0);
        }
    }
    const std::wstring storedTitle =
        m_pWebForm ? m_pWebForm->m_strTitle.substr(0, kTitleChars) : L"";
    if (WindowText(m_hTitle) != storedTitle) {
        if (r != IDYES) {
            if (Ask(kClearQuestion, kWarning) != IDYES) return 0;
            r = IDYES;
        }
        ::SetWindowTextW(m_hTitle, storedTitle.c_str());
    }
    for (const auto& ctrl : item->m_ctrls) {
        if (!CopyDiffers(*ctrl, nameEmpty)) continue;
        if (r != IDYES) {
            if (Ask(kClearQuestion, kWarning) != IDYES) return IDNO;
            r = IDYES;
        }
        RestoreCopy(*ctrl);
    }
    return 1;
}

LRESULT CRegistDlg::OnLvnItemchangingListItem(int, NMHDR* header, BOOL&) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (!(change->uChanged & LVIF_STATE) || (change->uOldState & LVIS_SELECTED) ||
        !(change->uNewState & LVIS_SELECTED))
        return FALSE;
    if (Saving()) {
        // The save works on the current row: no other row while it runs.
        if (change->iItem == m_nCurIndex) return FALSE;
        m_nGuard = 0;
        ::PostMessageW(m_hWnd, WM_REGIST_RESELECT, 0, 0);
        return TRUE;
    }
    if ((change->uOldState & (LVIS_SELECTED | LVIS_FOCUSED)) == LVIS_FOCUSED) {
        m_nGuard = -1;
        return FALSE;
    }
    if (m_nCurIndex < 0 || change->iItem == m_nCurIndex || m_nGuard == 0) return FALSE;
    const int a = IsChangeCtrlData(1);
    bool allow = a == IDYES || (a == 1 && IsChageItemData(1) != 1);
    if (allow) return FALSE;
    m_nGuard = 0;
    // A click deselects the current row before it asks for the new one:
    // give the current row its selection back once the click is over.
    ::PostMessageW(m_hWnd, WM_REGIST_RESELECT, 0, 0);
    return TRUE;
}

LRESULT CRegistDlg::OnReselect(UINT, WPARAM, LPARAM, BOOL&) {
    if (m_nCurIndex >= 0 &&
        !(ListView_GetItemState(m_hList, m_nCurIndex, LVIS_SELECTED) & LVIS_SELECTED)) {
        SelectRow(m_nCurIndex);
    }
    m_nGuard = 1;
    return 0;
}

LRESULT CRegistDlg::OnLvnItemchangedListItem(int, NMHDR* header, BOOL&) {
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
    if (!(change->uChanged & LVIF_STATE) || (change->uOldState & LVIS_SELECTED) ||
        !(change->uNewState & LVIS_SELECTED))
        return 0;
    if (m_nGuard == 0) {
        SelectRow(m_nCurIndex);
        m_nGuard = 1;
        return 0;
    }
    if (m_nGuard == -1) {
        m_nGuard = 1;
        return 0;
    }
    CDataWebItem* item = RowItem(change->iItem);
    if (!item) return 0;
    m_nCurIndex = change->iItem;
    ::SetWindowTextW(m_hItemName, NameForRow(RowText(m_nCurIndex)).c_str());
    ::SetWindowTextW(m_hFormName, item->m_strFormName.c_str());
    SetChecked(m_hAutoSend, item->m_nAutoSend);
    SetChecked(m_hAutoInput, item->m_nAutoInput);
    EnableAutoCheck();
    CreateFormHTML(item);
    return 0;
}

void CRegistDlg::EnableAutoCheck() {
    CDataWebItem* item = RowItem(ListView_GetNextItem(m_hList, -1, LVNI_SELECTED));
    if (!item) return;
    int checked = Checked(m_hAutoInput);
    if (checked == 1 && m_pWebForm) {
        for (const auto& other : m_pWebForm->m_items) {
            if (other.get() == item || other->m_nAutoInput != 1) continue;
            if (Ask(kAutoQuestion, kAutoCaption) != IDYES) checked = 0;
            break;
        }
    }
    SetChecked(m_hAutoInput, checked);
}

LRESULT CRegistDlg::OnBnClickedButtonClear(WORD, WORD, HWND, BOOL&) {
    (void)IsChangeCtrlData(0);
    return 0;
}

LRESULT CRegistDlg::OnBnClickedCheckAutoInput(WORD, WORD, HWND, BOOL&) {
    EnableAutoCheck();
    return 0;
}

LRESULT CRegistDlg::OnClickedCancel(WORD, WORD, HWND, BOOL&) {
    // A cancel that still arrives while saving (sent by a program, or
    // queued before the click on OK) must not end the dialog under its
    // worker: the save decides how the dialog ends.
    if (Saving()) return 0;
    const int a = IsChangeCtrlData(2);
    if (a == IDNO) return 0;
    if (a == 1) {
        if (IsChageItemData(2) == 1) return 0;
        const std::wstring storedTitle =
            m_pWebForm ? m_pWebForm->m_strTitle.substr(0, kTitleChars) : L"";
        if (WindowText(m_hTitle) != storedTitle && Ask(kCancelQuestion, kWarning) != IDYES)
            return 0;
    }
    DeleteCopyFile();
    RemoveKeyForwarding();
    EndDialog(IDCANCEL);
    return 0;
}

void CRegistDlg::DeleteCopyFile() {
    if (m_strTempPath.empty()) return;
    (void)::DeleteFileW(m_strTempPath.c_str());
    m_strTempPath.clear();
}

#include "CTvrExpItemView.h"

#include "CDataInfoView.h"
#include "CExportStore.h"
#include "CGetDB.h"
#include "CMainFrame.h"
#include "FormLabels.h"
#include "PolicyItems.h"
#include "ResourceStrings.h"
#include "TreeCheckRules.h"
#include "VantrelGlobals.h"

CTvrExpItemView* g_pTvrExpItemView = nullptr;

namespace {

enum ItemType : int32_t {
    kRoot = 0,
    kWebGroup = 16,
    kWebPage = 17,
    kWebItem = 18,
    kPolicyGroup = 32,
    kWebOptions = 48,
    kAuthRules = 64,
    kAuthGroup = 80,
    kTpm = 81,
    kAplGroup = 96,
    kApl = 97,
    kCaption = 98,
    kAplItem = 99,
    kAplOptions = 112,
};

std::wstring Text(UINT id) {
    return GetResourceString(id);
}

bool IsAnyApplication(const CDataApl& application) {
    return application.APLNAME == kAnyApplicationName;
}

// The any-application entry as the store writes it by default: one caption
// holding one item, which is not worth showing.
bool IsDefaultAnyApplication(const CDataApl& application) {
    return IsAnyApplication(application) && application.captions.size() == 1 &&
           application.captions.front()->items.size() == 1;
}

} // namespace

IMPLEMENT_DYNCREATE(CTvrExpItemView, CTreeView)

BEGIN_MESSAGE_MAP(CTvrExpItemView, CTreeView)
ON_NOTIFY_REFLECT(TVN_SELCHANGEDW, &CTvrExpItemView::OnSelChanged)
ON_WM_LBUTTONDOWN()
ON_WM_KEYDOWN()
ON_WM_SYSKEYDOWN()
END_MESSAGE_MAP()

CTvrExpItemView::~CTvrExpItemView() {
    if (g_pTvrExpItemView == this) g_pTvrExpItemView = nullptr;
}

BOOL CTvrExpItemView::PreCreateWindow(CREATESTRUCTW& cs) {
    cs.style |=
        TVS_HASBUTTONS | TVS_HASLINES | TVS_SHOWSELALWAYS | TVS_TRACKSELECT | TVS_CHECKBOXES;
    return CTreeView::PreCreateWindow(cs);
}

void CTvrExpItemView::OnInitialUpdate() {
    CTreeView::OnInitialUpdate();
    g_pTvrExpItemView = this;
}

HTREEITEM CTvrExpItemView::Insert(const std::wstring& text, int32_t type, void* object,
                                  HTREEITEM parent, HTREEITEM after) {
    m_itemData.push_back(std::make_unique<ItemData>(ItemData{type, object}));
    return GetTreeCtrl().InsertItem(TVIF_TEXT | TVIF_PARAM, text.c_str(), 0, 0, 0, 0,
                                    reinterpret_cast<LPARAM>(m_itemData.back().get()), parent,
                                    after);
}

void CTvrExpItemView::Reveal(HTREEITEM item) {
    if (!item) return;
    GetTreeCtrl().Expand(item, TVE_EXPAND);
    GetTreeCtrl().EnsureVisible(item);
}

void CTvrExpItemView::FillTree() {
    CExportStore& store = TheExportStore();
    // Thousands of items: the tree is drawn once, when it is full.
    SetRedraw(FALSE);
    const HTREEITEM root = Insert(Text(22063), kRoot, nullptr, TVI_ROOT);
    Reveal(root);
    FillWebForms(store, root);
    FillApplications(store, root);
    FillPolicies(root);
    if (store.Options().present) Reveal(Insert(Text(22067), kWebOptions, nullptr, root));
    Insert(Text(22068), kAplOptions, nullptr, root);
    Insert(Text(22069), kAuthRules, nullptr, root);
    FillAuthInformation(root);
    Reveal(root);
    // Making the deep items visible may have scrolled the tree sideways:
    // the root's check box is shown again.
    SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    SetRedraw(TRUE);
    Invalidate(TRUE);
}

void CTvrExpItemView::FillWebForms(CExportStore& store, HTREEITEM root) {
    if (store.Pages().empty()) return;
    const HTREEITEM group = Insert(Text(22064), kWebGroup, nullptr, root);
    for (const auto& page : store.Pages()) {
        if (page->TITLE.empty()) continue;
        const HTREEITEM pageItem =
            Insert(page->TITLE + L"(" + page->URL + L")", kWebPage, nullptr, group);
        const std::vector<std::wstring> labels = vantrel::MakeFormLabels(*page);
        for (size_t i = 0; i < page->items.size() && i < labels.size(); ++i)
            page->items[i]->treeItem = Insert(labels[i], kWebItem, nullptr, pageItem);
        Reveal(pageItem);
    }
    Reveal(group);
}

void CTvrExpItemView::FillApplications(const CExportStore& store, HTREEITEM root) {
    const CDataAplList& applications = store.Applications();
    if (applications.empty()) return;
    if (applications.size() == 1 && IsDefaultAnyApplication(*applications.front())) return;
    const HTREEITEM group = Insert(Text(22065), kAplGroup, nullptr, root);
    for (const auto& application : applications) {
        const bool any = IsAnyApplication(*application);
        if (any && IsDefaultAnyApplication(*application)) continue;
        CDataApl* apl = application.get();
        const HTREEITEM aplItem =
            Insert(apl->APLNAME, kApl, apl, group, any ? TVI_FIRST : TVI_LAST);
        for (const auto& caption : apl->captions) {
            const HTREEITEM captionItem =
                Insert(caption->CAPTION, kCaption, caption.get(), aplItem);
            CDataItem* unnamed = nullptr;
            for (const auto& item : caption->items) {
                // The entry " " is the any-application's unnamed one: shown
                // last, as "未登録"; elsewhere it is not shown.
                if (item->NAME == kAnyItemName) {
                    if (any && !unnamed) unnamed = item.get();
                    continue;
                }
                Insert(item->NAME, kAplItem, item.get(), captionItem);
            }
            if (unnamed) Insert(Text(22022), kAplItem, unnamed, captionItem);
            Reveal(captionItem);
        }
        Reveal(aplItem);
    }
    Reveal(group);
}

void CTvrExpItemView::FillPolicies(HTREEITEM root) {
    const HTREEITEM group = Insert(Text(22066), kPolicyGroup, nullptr, root);
    CGetDB lists;
    lists.LoadPolicies();
    for (const vantrel::PolicyItem& item : vantrel::MakePolicyItems(lists))
        Insert(item.label, item.type, nullptr, group);
    Reveal(group);
}

void CTvrExpItemView::FillAuthInformation(HTREEITEM root) {
    const HTREEITEM group = Insert(Text(22070), kAuthGroup, nullptr, root);
    CGetDB lists;
    lists.LoadMedia();
    if (const CDefinedMedia* media = lists.Media()) {
        for (int i = 0; i < media->Count(); ++i) {
            const DefinedMediaRow& row = (*media)[i];
            if (row.kind >= 2 && row.kind <= 6) Insert(row.name, 79 + row.kind, nullptr, group);
        }
    } else {
        Insert(L"TPM", 81, nullptr, group);
        Insert(Text(22071), 82, nullptr, group);
        Insert(Text(22026), 83, nullptr, group);
        Insert(Text(22072), 84, nullptr, group);
        Insert(Text(22073), 85, nullptr, group);
    }
    Reveal(group);
}

int CTvrExpItemView::GetItemType(HTREEITEM item) const {
    const auto* data =
        item ? reinterpret_cast<const ItemData*>(GetTreeCtrl().GetItemData(item)) : nullptr;
    return data ? data->type : -1;
}

void* CTvrExpItemView::GetItemObject(HTREEITEM item) const {
    const auto* data =
        item ? reinterpret_cast<const ItemData*>(GetTreeCtrl().GetItemData(item)) : nullptr;
    return data ? data->object : nullptr;
}

bool CTvrExpItemView::IsCheckable(HTREEITEM item) const {
    if (GetItemType(item) != kTpm) return true;
    return TpmItemCheckable(TheExportStore().FindAuthInfo(kAuthPinCache));
}

int CTvrExpItemView::GetCheckedItems(std::vector<HTREEITEM>& list, HTREEITEM start) const {
    const vantrel::TreeCheckRules rules(m_hWnd,
                                        [this](HTREEITEM item) { return IsCheckable(item); });
    const std::vector<HTREEITEM> checked =
        rules.CheckedItems([this](HTREEITEM item) { return GetItemType(item); }, start);
    list.insert(list.end(), checked.begin(), checked.end());
    return static_cast<int>(checked.size());
}

std::vector<vantrel::CheckedItem> CTvrExpItemView::CheckedItemsForExport() const {
    std::vector<HTREEITEM> items;
    GetCheckedItems(items, nullptr);
    std::vector<vantrel::CheckedItem> result;
    result.reserve(items.size());
    const CTreeCtrl& tree = GetTreeCtrl();
    for (HTREEITEM item : items) {
        vantrel::CheckedItem checked;
        checked.type = GetItemType(item);
        checked.treeItem = item;
        if (checked.type == kAplItem) {
            const HTREEITEM caption = tree.GetParentItem(item);
            const HTREEITEM application = caption ? tree.GetParentItem(caption) : nullptr;
            checked.appItem = static_cast<const CDataItem*>(GetItemObject(item));
            checked.caption = static_cast<const CDataCaption*>(GetItemObject(caption));
            checked.application = static_cast<const CDataApl*>(GetItemObject(application));
        }
        result.push_back(checked);
    }
    return result;
}

int CTvrExpItemView::IsAnyItemChecked(HTREEITEM start) const {
    const vantrel::TreeCheckRules rules(m_hWnd,
                                        [this](HTREEITEM item) { return IsCheckable(item); });
    return rules.IsAnyChecked(start) ? 1 : 0;
}

void CTvrExpItemView::OnSelChanged(NMHDR* header, LRESULT* result) {
    *result = 0;
    const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
    const HTREEITEM item = change->itemNew.hItem;
    if (!g_pDataInfoView || !g_pDataInfoView->GetSafeHwnd()) return;
    g_pDataInfoView->SendMessage(kReportItemMessage, static_cast<WPARAM>(GetItemType(item)),
                                 reinterpret_cast<LPARAM>(item));
}

void CTvrExpItemView::OnLButtonDown(UINT, CPoint point) {
    Default();
    UINT flags = 0;
    const HTREEITEM item = GetTreeCtrl().HitTest(point, &flags);
    if (!item || !(flags & TVHT_ONITEMSTATEICON)) return;
    const vantrel::TreeCheckRules rules(m_hWnd, [this](HTREEITEM hit) { return IsCheckable(hit); });
    rules.AfterToggle(item);
}

void CTvrExpItemView::OnKeyDown(UINT key, UINT, UINT) {
    if (key != VK_SPACE) {
        Default();
        return;
    }
    // The space bar is handled here entirely: the control's own toggle
    // would undo the state set and could check an uncheckable item.
    const vantrel::TreeCheckRules rules(m_hWnd,
                                        [this](HTREEITEM item) { return IsCheckable(item); });
    if (!rules.OnSpace()) Default();
}

void CTvrExpItemView::OnSysKeyDown(UINT, UINT, UINT) {
    const auto* frame = dynamic_cast<const CMainFrame*>(AfxGetMainWnd());
    if (frame && frame->HasProgressWindow()) return;
    Default();
}

// The item tree of the main window: every group and item of the export
// store with a check box. Checking spreads to the descendants and the
// ancestors; the selection is reported to the report view; the export takes
// the checked items from here.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Framework.h"
#include "ItemSections.h"

class CExportStore;

class CTvrExpItemView : public CTreeView {
    DECLARE_DYNCREATE(CTvrExpItemView)
    DECLARE_MESSAGE_MAP()

public:
    ~CTvrExpItemView() override;

    BOOL PreCreateWindow(CREATESTRUCTW& cs) override;
    void OnInitialUpdate() override;

    // Builds the tree from the export store; once, at start-up.
    void FillTree();

    int GetItemType(HTREEITEM item) const;
    void* GetItemObject(HTREEITEM item) const;
    // Appends the checked items below start (null: the whole tree), groups
    // 0, 16, 17, 32 and 80 left out; the number appended.
    int GetCheckedItems(std::vector<HTREEITEM>& list, HTREEITEM start) const;
    // The checked items as the export needs them, in tree order.
    std::vector<vantrel::CheckedItem> CheckedItemsForExport() const;
    int IsAnyItemChecked(HTREEITEM start) const;
    // Every item but a TPM item while the PIN cache cannot be exported.
    bool IsCheckable(HTREEITEM item) const;

    void OnLButtonDown(UINT flags, CPoint point);
    void OnKeyDown(UINT key, UINT repeat, UINT flags);
    void OnSysKeyDown(UINT key, UINT repeat, UINT flags);

private:
    struct ItemData {
        int32_t type;
        void* object;
    };
    void OnSelChanged(NMHDR* header, LRESULT* result);
    HTREEITEM Insert(const std::wstring& text, int32_t type, void* object, HTREEITEM parent,
                     HTREEITEM after = TVI_LAST);
    void Reveal(HTREEITEM item);
    void FillWebForms(CExportStore& store, HTREEITEM root);
    void FillApplications(const CExportStore& store, HTREEITEM root);
    void FillPolicies(HTREEITEM root);
    void FillAuthInformation(HTREEITEM root);

    std::vector<std::unique_ptr<ItemData>> m_itemData;
};

// One stored or captured page with its forms, owned.
#pragma once

#include "CDataWebItem.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDataWebForm {
public:
    CDataWebForm() = default;
    CDataWebForm(const CDataWebForm&) = delete;
    CDataWebForm& operator=(const CDataWebForm&) = delete;
    virtual ~CDataWebForm();

    CDataWebItem& AddItem();
    void RemoveAllItems() noexcept { m_items.clear(); }

    std::wstring m_strKey; // full path of the page key; empty until stored
    std::wstring m_strUrl;
    std::wstring m_strTitle;
    std::wstring m_strUpdateDate; // "%Y/%m/%d %H:%M:%S"
    std::int32_t m_nChangeFlg = 0;
    std::vector<std::unique_ptr<CDataWebItem>> m_items;
    // Run-time only, kept by the data manager: the page's edit state, and the
    // CHANGEFLG as last read or written, apart from the one being edited.
    std::int32_t m_nEditState = 0;
    std::int32_t m_nLoadedChangeFlg = 0;
};

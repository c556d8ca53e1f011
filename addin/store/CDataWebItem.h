// One HTML form of a page with its controls, owned.
#pragma once

#include "CDataWebCtrl.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDataWebItem {
public:
    CDataWebItem() = default;
    CDataWebItem(const CDataWebItem&) = delete;
    CDataWebItem& operator=(const CDataWebItem&) = delete;
    virtual ~CDataWebItem();

    // Deep copy of the stored fields and every control; the run-time state
    // is neither copied nor changed.
    void Copy(const CDataWebItem& source);
    CDataWebCtrl& AddCtrl();
    void RemoveAllCtrls() noexcept { m_ctrls.clear(); }

    std::wstring m_strKey;
    std::wstring m_strName;     // the entry name the user sees
    std::wstring m_strFormName; // the HTML form's name
    std::vector<std::unique_ptr<CDataWebCtrl>> m_ctrls;
    std::int32_t m_nAutoInput = 0;
    std::int32_t m_nAutoSend = 0;
    // Run-time only: 0 normal, 1 overwrite, 2 added copy (the manager keeps
    // its edit states here).
    std::int32_t m_nState = 0;
    std::int32_t m_nIndex = -1; // position among the page's forms
};

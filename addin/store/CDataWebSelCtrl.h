// Value record of a radio group, check box or SELECT: its choices, owned.
#pragma once

#include "CDataWebSelElement.h"

#include <cstdint>
#include <memory>
#include <vector>

class CDataWebSelCtrl {
public:
    CDataWebSelCtrl() = default;
    CDataWebSelCtrl(const CDataWebSelCtrl&) = delete;
    CDataWebSelCtrl& operator=(const CDataWebSelCtrl&) = delete;
    virtual ~CDataWebSelCtrl();

    // Deep copy: the new entries carry the entry flag 1 whatever the source's.
    void Copy(const CDataWebSelCtrl& source);
    // Frees every entry (with its element reference) and empties the list.
    void RemoveAll() noexcept;
    CDataWebSelElement& Add();

    std::int32_t m_nMultiple = 0;
    std::vector<std::unique_ptr<CDataWebSelElement>> m_elements;
};

// The section a checked tree item writes, by its item type: 18 a web-form
// item, 33-41 a policy, 48 the web-form options, 64 the authentication
// rules, 81-85 a device, 99 an application item, 112 the application
// options. Every other type (the groups, the applications and captions)
// writes nothing.
#pragma once

#include "AppDataRecords.h"
#include "ExportBatch.h"

namespace vantrel {

struct CheckedItem {
    int type = 0;
    void* treeItem = nullptr; // the web-form item's tree handle (type 18)
    // Type 99: the item's record and those of its caption and application
    // (the item data of the tree item, its parent and its grandparent).
    const CDataApl* application = nullptr;
    const CDataCaption* caption = nullptr;
    const CDataItem* appItem = nullptr;
};

// The store is read when the section is written, not now.
SectionWrite SectionFor(const CExportStore& store, const CheckedItem& item);

// How many passwords of these items could not be decrypted and are written
// empty (web-form and application items).
size_t UnreadSecrets(const CExportStore& store, const std::vector<CheckedItem>& items);

} // namespace vantrel

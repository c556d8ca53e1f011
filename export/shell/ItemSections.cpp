#include "ItemSections.h"

#include "ExportFileFormat.h"

namespace vantrel {

namespace {

WriteResult NothingToWrite(CExportWriter&) {
    return WriteResult::Nothing;
}

} // namespace

SectionWrite SectionFor(const CExportStore& store, const CheckedItem& item) {
    const int type = item.type;
    if (type == 18) {
        void* handle = item.treeItem;
        const CExportStore* source = &store;
        return [source, handle](CExportWriter& writer) {
            // A tree item the store does not know (none carries its handle)
            // has nothing to write.
            for (const auto& page : source->Pages()) {
                for (const auto& form : page->items) {
                    if (handle && form->treeItem == handle)
                        return writer.WriteWebFormItem(*page, *form);
                }
            }
            return WriteResult::Nothing;
        };
    }
    if (type >= kItemPolicyFirst && type <= kItemPolicyLast)
        return [type](CExportWriter& writer) { return writer.WritePolicy(type); };
    if (type == 48) return [](CExportWriter& writer) { return writer.WriteWebFormOptions(); };
    if (type == 64) return [](CExportWriter& writer) { return writer.WriteAuthRules(); };
    if (type >= kItemTpm && type <= kItemSd)
        return [type](CExportWriter& writer) { return writer.WriteAuthDevice(type); };
    if (type == 99) {
        const CDataApl* application = item.application;
        const CDataCaption* caption = item.caption;
        const CDataItem* appItem = item.appItem;
        if (!appItem) return NothingToWrite;
        return [application, caption, appItem](CExportWriter& writer) {
            return writer.WriteApplicationItem(application, caption, *appItem);
        };
    }
    if (type == 112) return [](CExportWriter& writer) { return writer.WriteApplicationOptions(); };
    return NothingToWrite;
}

size_t UnreadSecrets(const CExportStore& store, const std::vector<CheckedItem>& items) {
    size_t count = 0;
    for (const CheckedItem& item : items) {
        if (item.type == 18 && item.treeItem) {
            for (const auto& page : store.Pages()) {
                for (const auto& form : page->items) {
                    if (form->treeItem != item.treeItem) continue;
                    for (const auto& control : form->controls)
                        count += control->unread ? 1 : 0;
                }
            }
        } else if (item.type == 99 && item.appItem) {
            for (const auto& control : item.appItem->controls)
                count += control->unread ? 1 : 0;
        }
    }
    return count;
}

} // namespace vantrel

#include "AllSections.h"

std::vector<SectionWrite> AllSections(const CExportStore& store, const std::wstring& skipUrl) {
    std::vector<SectionWrite> sections;
    sections.push_back([](CExportWriter& w) { return w.WriteVersionLine(); });
    for (const auto& page : store.Pages()) {
        if (page->URL == skipUrl) continue;
        for (const auto& item : page->items) {
            const WebPageNode* p = page.get();
            const WebItemNode* i = item.get();
            sections.push_back([p, i](CExportWriter& w) { return w.WriteWebFormItem(*p, *i); });
        }
    }
    for (const auto& app : store.Applications()) {
        for (const auto& caption : app->captions) {
            for (const auto& item : caption->items) {
                const CDataApl* a = app.get();
                const CDataCaption* c = caption.get();
                const CDataItem* i = item.get();
                sections.push_back(
                    [a, c, i](CExportWriter& w) { return w.WriteApplicationItem(a, c, *i); });
            }
        }
    }
    for (int type = 33; type <= 41; ++type) {
        sections.push_back([type](CExportWriter& w) { return w.WritePolicy(type); });
    }
    sections.push_back([](CExportWriter& w) { return w.WriteWebFormOptions(); });
    sections.push_back([](CExportWriter& w) { return w.WriteApplicationOptions(); });
    sections.push_back([](CExportWriter& w) { return w.WriteAuthRules(); });
    for (int type = 81; type <= 85; ++type) {
        sections.push_back([type](CExportWriter& w) { return w.WriteAuthDevice(type); });
    }
    return sections;
}

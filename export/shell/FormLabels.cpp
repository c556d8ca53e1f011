#include "FormLabels.h"

#include "ResourceStrings.h"

namespace vantrel {

std::wstring FillFormat(const std::wstring& format, const std::wstring& argument) {
    for (size_t at = format.find(L'%'); at != std::wstring::npos; at = format.find(L'%', at + 2)) {
        if (at + 1 < format.size() && (format[at + 1] == L's' || format[at + 1] == L'd'))
            return format.substr(0, at) + argument + format.substr(at + 2);
    }
    return format;
}

std::vector<std::wstring> MakeFormLabels(WebPageNode& page) {
    std::vector<std::wstring> labels;
    int unnamed = 0;
    for (size_t index = 0; index < page.items.size(); ++index) {
        WebItemNode& item = *page.items[index];
        if (!item.NAME.empty()) {
            labels.push_back(item.NAME);
            continue;
        }
        if (item.FORMNAME.empty()) {
            ++unnamed;
            labels.push_back(unnamed == 1
                                 ? std::wstring(GetResourceString(22100))
                                 : FillFormat(GetResourceString(22101), std::to_wstring(unnamed)));
            continue;
        }
        int number = 0;
        for (;;) {
            const std::wstring candidate =
                number == 0 ? item.FORMNAME : item.FORMNAME + std::to_wstring(number);
            bool taken = false;
            for (size_t earlier = 0; earlier < index && !taken; ++earlier)
                taken = page.items[earlier]->NAME == candidate;
            if (!taken) break;
            ++number;
        }
        if (number > 0) item.FORMNAME += std::to_wstring(number);
        labels.push_back(FillFormat(GetResourceString(22099), item.FORMNAME));
    }
    return labels;
}

} // namespace vantrel

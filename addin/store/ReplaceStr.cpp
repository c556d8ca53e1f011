#include "ReplaceStr.h"

#include "HtmlEntityTable.h"

BOOL ReplaceStr(std::wstring& text) {
    std::wstring result;
    result.reserve(text.size());
    for (const wchar_t unit : text) {
        if (const wchar_t* entity = FindHtmlEntity(unit)) {
            result += entity;
        } else {
            result += unit;
        }
    }
    text = std::move(result);
    return TRUE;
}

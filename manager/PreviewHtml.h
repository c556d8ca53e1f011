// The text of the preview page (temp.htm) that shows one stored form as a
// live HTML form: one fragment per control, in the item's order. Pure text,
// no windows, so that the page can be checked byte for byte.
//
// Every stored text goes into the page escaped with &amp; &lt; &gt; and
// &quot; only, and every attribute value is quoted, so that the browser
// reads each stored character back as itself. A password is never written
// into the page: the binder fills it into its element once the page has
// loaded, so no clear password lies in the temporary folder.
#pragma once

#include "CDataWebItem.h"

#include <string>

namespace mablix {

// The comment placed before and after a password input shown as text.
inline constexpr wchar_t kPasswordMarker[] = L"<!--password-->";

struct PreviewOptions {
    // 1: passwords are shown as password inputs; else as text inputs
    // between two password markers.
    int hidePwd = 1;
    // 1: text areas are left out of the page.
    int noMultiText = 0;
    // The item has never been stored with values (a placeholder): no value
    // and no choice is written.
    bool newItem = false;
};

// text with & < > " written as entities; every other character as it is.
std::wstring EscapeHtml(const std::wstring& text);

// The whole page for item; an empty form for null.
std::wstring BuildPreviewHtml(const CDataWebItem* item, const PreviewOptions& options);

// The page as the file holds it: UTF-8, as its meta tag declares.
std::string ToUtf8(const std::wstring& text);

} // namespace mablix

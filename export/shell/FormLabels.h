// The tree labels of a page's forms. A form without NAME is shown by its
// FORMNAME made distinct from the NAMEs shown before it on the page, or, with
// no FORMNAME either, as "unnamed" with a running number. A number that makes
// a FORMNAME distinct is appended to the stored FORMNAME, so the export
// carries the name the tree shows.
#pragma once

#include <string>
#include <vector>

#include "ExportStoreModel.h"

namespace vantrel {

// The label of each item of the page, in store order; may change the
// FORMNAME of unnamed items.
std::vector<std::wstring> MakeFormLabels(WebPageNode& page);

// format with its one "%s" or "%d" replaced by argument (the format is a
// text of the program's string table; the argument is taken literally).
std::wstring FillFormat(const std::wstring& format, const std::wstring& argument);

} // namespace vantrel

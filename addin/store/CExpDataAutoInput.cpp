// Filling a stored entry into the page: the store's entry point.
#include "CExpData.h"
#include "TraceScope.h"

#include "FormFillIn.h"

#include <new>

int CExpData::AutoInput(IWebBrowser2* browser, std::wstring url, std::wstring entryName) {
    TORVA_TRACE_SCOPE(L"CExpData::AutoInput");
    // The band object calls this from its event handlers: nothing may escape.
    try {
        FormFillIn run(*this);
        TORVA_RETURN_INT(run.Run(browser, url, entryName));
    } catch (const std::bad_alloc&) {
        TORVA_RETURN_INT(-1);
    }
}

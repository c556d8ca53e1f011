#include "CommentElement.h"

namespace torva::browser {

HRESULT CommentElement::QueryKind(REFIID iid, void** out) {
    if (iid != IID_IHTMLCommentElement) return E_NOINTERFACE;
    *out = static_cast<IHTMLCommentElement*>(this);
    AddRef();
    return S_OK;
}

HRESULT CommentElement::get_text(BSTR* p) {
    return ReturnBstr(L"<!--" + node().text() + L"-->", p);
}

HRESULT CommentElement::get_atomic(LONG* p) {
    if (!p) return E_POINTER;
    *p = 0;
    return S_OK;
}

} // namespace torva::browser

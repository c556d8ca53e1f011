#include "UrlLessDocument.h"

HRESULT UrlLessDocument::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != IID_IHTMLDocument2)
        return E_NOINTERFACE;
    *out = static_cast<IHTMLDocument2*>(this);
    return S_OK;
}

HRESULT UrlLessDocument::get_URL(BSTR* p) {
    ++m_urlReads;
    if (!p) return E_POINTER;
    *p = nullptr;
    switch (m_answer) {
    case Answer::EmptyText:
        *p = ::SysAllocString(L"");
        return S_OK;
    case Answer::NullText:
        return S_OK;
    case Answer::Failure:
        return E_FAIL;
    }
    return E_FAIL;
}

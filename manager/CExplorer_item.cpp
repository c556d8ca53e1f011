#include "CExplorer_item.h"

#include "TraceScope.h"

namespace {

constexpr DISPID kNavigate = 104;
constexpr DISPID kDocument = 203;
constexpr DISPID kReadyState = -525;

const CLSID kWebBrowserClsid = {
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

} // namespace

IMPLEMENT_DYNCREATE(CExplorer_item, CWnd)

const CLSID& CExplorer_item::GetClsid() noexcept {
    return kWebBrowserClsid;
}

BOOL CExplorer_item::Create(const wchar_t*, const wchar_t* windowName, DWORD style,
                            const RECT& rect, CWnd* parent, UINT id) {
    TORVA_TRACE_SCOPE(L"CExplorer_item::Create");
    TORVA_RETURN_BOOL(CreateControl(GetClsid(), windowName, style, rect, parent, id));
}

void CExplorer_item::Navigate(const wchar_t* url, VARIANT* flags, VARIANT* targetFrameName,
                              VARIANT* postData, VARIANT* headers) {
    TORVA_TRACE_SCOPE(L"CExplorer_item::Navigate");
    static const BYTE params[] = VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT;
    const HRESULT hr = InvokeHelper(kNavigate, DISPATCH_METHOD, VT_EMPTY, nullptr, params,
                                    url ? url : L"", flags, targetFrameName, postData, headers);
    if (FAILED(hr)) TORVA_TRACE_ERROR(L"Navigate failed hr = 0x%08X", static_cast<unsigned>(hr));
}

LPDISPATCH CExplorer_item::get_Document() {
    TORVA_TRACE_SCOPE(L"CExplorer_item::get_Document");
    LPDISPATCH document = nullptr;
    const HRESULT hr =
        InvokeHelper(kDocument, DISPATCH_PROPERTYGET, VT_DISPATCH, &document, nullptr);
    if (FAILED(hr)) document = nullptr;
    return document;
}

long CExplorer_item::get_ReadyState() {
    TORVA_TRACE_SCOPE(L"CExplorer_item::get_ReadyState");
    long state = 0;
    if (FAILED(InvokeHelper(kReadyState, DISPATCH_PROPERTYGET, VT_I4, &state, nullptr))) state = 0;
    TORVA_RETURN_INT(state);
}

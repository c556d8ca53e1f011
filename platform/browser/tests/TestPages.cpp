#include "TestPages.h"
#include "ProgramFolder.h"

#include "PageSource.h"

namespace browser_test {

std::wstring PagePath(const std::wstring& name) {
    return torva::ProgramFolder() + L"browser-pages\\" + name;
}

std::wstring PageUrl(const std::wstring& name) {
    return torva::browser::CanonicalUrl(PagePath(name));
}

std::wstring Str(BSTR s) {
    std::wstring r = torva::browser::FromBstr(s);
    SysFreeString(s);
    return r;
}

ComPtr<IDispatch> ElementDispatch(IHTMLDocument2* doc, const wchar_t* name, long index) {
    ComPtr<IHTMLElementCollection> all;
    if (FAILED(doc->get_all(all.put())) || !all) return nullptr;
    VARIANT vname, vindex;
    vname.vt = VT_BSTR;
    vname.bstrVal = SysAllocString(name);
    vindex.vt = VT_I4;
    vindex.lVal = index;
    ComPtr<IDispatch> r;
    all->item(vname, vindex, r.put());
    SysFreeString(vname.bstrVal);
    return r;
}

std::wstring TagName(IDispatch* element) {
    ComPtr<IHTMLElement> e = ComPtr<IDispatch>(element).As<IHTMLElement>(IID_IHTMLElement);
    BSTR tag = nullptr;
    if (!e || FAILED(e->get_tagName(&tag))) return L"?";
    return Str(tag);
}

} // namespace browser_test

// What the frame hears of its browser's page loads (DWebBrowserEvents2):
// every completed page, the top page's and each frame's, by URL, for the
// script's "expect-loads" (a form that sends itself twice shows as two
// completions of the page it goes to); and the top page's URL as each
// navigation of the top page arrives, for the address line, whatever
// started it (the address line, a script, a form's submission). Advised on
// the browser for its life; UI thread only.
#pragma once

#include "ComPtr.h"

#include <exdisp.h>

#include <functional>
#include <string>
#include <vector>

namespace torva::browser {

class PageLoads final : public IDispatch {
public:
    // A listener with one reference, advised on browser (when the browser
    // refuses it, it hears nothing); topNavigated gets the top page's URL.
    static PageLoads* Create(IWebBrowser2* browser,
                             std::function<void(const std::wstring&)> topNavigated);
    // Unadvises; call before the last Release.
    void Detach();
    // How many completions since the start had a URL containing text.
    int Count(const std::wstring& text) const;

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override { return ++m_refs; }
    STDMETHOD_(ULONG, Release)() override;
    // IDispatch
    STDMETHOD(GetTypeInfoCount)(UINT* count) override;
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)
    (DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

private:
    PageLoads() = default;
    ~PageLoads() = default;

    ULONG m_refs = 1;
    IDispatch* m_top = nullptr; // identity only: the browser outlives the advice
    std::function<void(const std::wstring&)> m_topNavigated;
    ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
    std::vector<std::wstring> m_completed;
};

} // namespace torva::browser

// A DWebBrowserEvents2 sink that records the URL of every BeforeNavigate2
// (a submitted GET form shows its values there) and lets it go on.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <string>
#include <vector>

class NavigationLog : public IDispatch {
public:
    // Advises on browser; Unadvise before the log goes.
    bool Advise(IUnknown* browser);
    void Unadvise();

    const std::vector<std::wstring>& Urls() const noexcept { return m_urls; }
    void Clear() noexcept { m_urls.clear(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

private:
    ULONG m_refs = 1; // lives on the test's stack
    IUnknown* m_source = nullptr;
    DWORD m_cookie = 0;
    std::vector<std::wstring> m_urls;
};

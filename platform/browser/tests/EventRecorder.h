// A DWebBrowserEvents2 sink for tests: records each event with its URL and
// can cancel navigations or run a callback inside an event.
#pragma once

#include "ComPtr.h"

#include <exdisp.h>
#include <exdispid.h>

#include <functional>
#include <string>
#include <vector>

namespace browser_test {

struct RecordedEvent {
    DISPID id;
    std::wstring url;
    IDispatch* browser; // identity only; not held
    std::wstring target;
    std::string post;
};

class EventRecorder : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT*,
                                     EXCEPINFO*, UINT*) override;

    // Advises on the browser; returns the cookie.
    DWORD Advise(IUnknown* browser);
    void Unadvise(IUnknown* browser, DWORD cookie);
    // The recorded events of one kind, or the ids of all navigation events.
    std::vector<RecordedEvent> Of(DISPID id) const;
    std::vector<std::wstring> Names() const; // "BN2 url" etc. for the navigation events

    long refs = 1;
    bool cancel = false;
    // Cancels the BeforeNavigate2 events it answers true for.
    std::function<bool(const RecordedEvent&)> cancelIf;
    std::function<void(const RecordedEvent&)> onEvent;
    std::vector<RecordedEvent> events;
    std::wstring layoutError; // what was wrong with a DISPPARAMS, empty when fine
};

// Dispatches messages until done() or the timeout; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Pumps until the browser has loaded what it was told to load.
bool WaitForLoad(IWebBrowser2* browser, DWORD timeoutMs = 5000);

} // namespace browser_test

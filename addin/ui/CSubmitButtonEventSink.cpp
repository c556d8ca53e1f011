#include "CSubmitButtonEventSink.h"

#include "CAutoEntryDlg.h"
#include "CRegistDlg.h"
#include "CSelectEntry.h"
#include "SubmitClickFlag.h"

#include "ConnectionPoints.h"
#include "HtmlCom.h"
#include "RelayState.h"
#include "Trace.h"

#include <mshtmdid.h>
#include <ocidl.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <new>

namespace {

constexpr const wchar_t* kReregistText =
    L"フォームの構成が変更されています。\n既存の内容を破棄して再登録しますか？";
constexpr const wchar_t* kWarningCaption = L"警告";

// The browsers whose capture is running. A click that reaches a sink of one
// of them meanwhile (another button of the page, or the page's script, while
// a dialog of the first is open) must not start a second chain of dialogs
// over the first. Browsers of one process run on threads of their own.
class CaptureRegistry {
public:
    static CaptureRegistry& Instance() {
        static CaptureRegistry registry;
        return registry;
    }
    // False when key's capture is running already.
    bool Enter(const void* key) {
        const std::lock_guard<std::mutex> hold(m_mutex);
        if (std::find(m_running.begin(), m_running.end(), key) != m_running.end()) return false;
        m_running.push_back(key);
        return true;
    }
    void Leave(const void* key) noexcept {
        const std::lock_guard<std::mutex> hold(m_mutex);
        const auto it = std::find(m_running.begin(), m_running.end(), key);
        if (it != m_running.end()) m_running.erase(it);
    }

private:
    std::mutex m_mutex;
    std::vector<const void*> m_running;
};

class CaptureScope {
public:
    explicit CaptureScope(const void* key)
        : m_key(key), m_entered(CaptureRegistry::Instance().Enter(key)) {}
    ~CaptureScope() {
        if (m_entered) CaptureRegistry::Instance().Leave(m_key);
    }
    CaptureScope(const CaptureScope&) = delete;
    CaptureScope& operator=(const CaptureScope&) = delete;
    bool Entered() const noexcept { return m_entered; }

private:
    const void* m_key;
    bool m_entered;
};

bool DocumentUrl(IHTMLDocument2* document, std::wstring& url) {
    ScopedBstr text;
    if (!document || FAILED(document->get_URL(text.Out()))) return false;
    url = text.Text();
    return true;
}

} // namespace

CSubmitButtonEventSink::CSubmitButtonEventSink() = default;

CSubmitButtonEventSink::~CSubmitButtonEventSink() {
    Detach();
}

CComPtr<CSubmitButtonEventSink> CSubmitButtonEventSink::Create() {
    CComObject<CSubmitButtonEventSink>* created = nullptr;
    if (FAILED(CComObject<CSubmitButtonEventSink>::CreateInstance(&created))) return {};
    return CComPtr<CSubmitButtonEventSink>(created);
}

HRESULT CSubmitButtonEventSink::InternalQueryInterface(REFIID iid, void** object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_HTMLButtonElementEvents ||
        iid == m_iid) {
        *object = static_cast<IDispatch*>(this);
        InternalAddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT CSubmitButtonEventSink::SetIWB2(IWebBrowser2* browser) noexcept {
    IwebB = browser;
    return S_OK;
}

HRESULT CSubmitButtonEventSink::SetHtmlDoc(IHTMLDocument2* document) noexcept {
    if (pDoc) pDoc->Release();
    pDoc = document;
    return S_OK;
}

HRESULT CSubmitButtonEventSink::GetAdd(const SubmitSinkList* list) noexcept {
    cBAdd = list;
    return S_OK;
}

HRESULT CSubmitButtonEventSink::AdviseToElemenet(IUnknown* element) noexcept {
    TORVA_TRACE_ENTER(L"CSubmitButtonEventSink::AdviseToElemenet");
    if (!element) return E_POINTER;
    if (m_cookie || pUnkIE) return E_UNEXPECTED;
    IID iid = DIID_HTMLButtonElementEvents;
    GUID libid = GUID_NULL;
    WORD major = 0;
    WORD minor = 0;
    if (auto info = As<IProvideClassInfo2>(element, IID_IProvideClassInfo2)) {
        IID source = GUID_NULL;
        if (SUCCEEDED(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source)) &&
            source != GUID_NULL)
            iid = source;
        CComPtr<ITypeInfo> classInfo;
        CComPtr<ITypeLib> library;
        UINT index = 0;
        TLIBATTR* attributes = nullptr;
        if (SUCCEEDED(info->GetClassInfo(&classInfo)) && classInfo &&
            SUCCEEDED(classInfo->GetContainingTypeLib(&library, &index)) && library &&
            SUCCEEDED(library->GetLibAttr(&attributes)) && attributes) {
            libid = attributes->guid;
            major = attributes->wMajorVerNum;
            minor = attributes->wMinorVerNum;
            library->ReleaseTLibAttr(attributes);
        }
    }
    // The connection point asks the sink for the advised interface.
    m_iid = iid;
    DWORD cookie = 0;
    const HRESULT hr = ComAdvise(element, static_cast<IDispatch*>(this), iid, &cookie);
    if (SUCCEEDED(hr)) {
        pUnkIE = element;
        m_cookie = cookie;
        m_libid = libid;
        m_wMajor = major;
        m_wMinor = minor;
    } else {
        m_iid = DIID_HTMLButtonElementEvents;
    }
    TORVA_TRACE_RETURN_HEX(L"CSubmitButtonEventSink::AdviseToElemenet", static_cast<unsigned>(hr));
    return hr;
}

void CSubmitButtonEventSink::Detach() noexcept {
    cBAdd = nullptr;
    IwebB = nullptr;
    if (pUnkIE && m_cookie) {
        // The page may be gone already (its lists cleared): then there is
        // nothing left to unadvise, and the failure says only that.
        (void)ComUnadvise(pUnkIE, m_iid, m_cookie);
    }
    m_cookie = 0;
    pUnkIE.Release();
    if (pDoc) {
        pDoc->Release();
        pDoc = nullptr;
    }
    m_nHoldDoc = 0;
}

bool CSubmitButtonEventSink::Listed() const noexcept {
    if (!cBAdd) return false;
    for (const auto& sink : *cBAdd)
        if (sink.p == this) return true;
    return false;
}

HRESULT CSubmitButtonEventSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CSubmitButtonEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CSubmitButtonEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT CSubmitButtonEventSink::Invoke(DISPID dispidMember, REFIID, LCID, WORD, DISPPARAMS*,
                                       VARIANT*, EXCEPINFO*, UINT*) {
    if (dispidMember != DISPID_HTMLELEMENTEVENTS_ONCLICK) return S_OK;
    TORVA_TRACE_ENTER(L"CSubmitButtonEventSink::Invoke");
    TORVA_TRACE_DETAIL(L"dispidMember = %d", static_cast<int>(dispidMember));
    // Held for the call: the click runs modal loops in which the band may
    // let this page's sinks go.
    CComPtr<IDispatch> self(static_cast<IDispatch*>(this));
    try {
        // A click reached through the message pump of a relay call of this
        // thread (an authentication, a decryption) would only be refused by
        // the store part way; it starts nothing.
        if (RelayState::Instance().ThisThreadHoldsLock()) {
            TORVA_TRACE_ERROR(L"click during a relay call: not captured");
            TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::Invoke", 0);
            return S_OK;
        }
        if (!m_ExpData.GetOptionData()) {
            // Unknown options must not be taken for the defaults (which
            // have the capture on).
            TORVA_TRACE_ERROR(L"options not read: not captured");
            TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::Invoke", 0);
            return S_OK;
        }
        if (m_ExpData.m_option.m_nStopFunc != 0 || m_ExpData.m_option.m_nSetAuto != 1) {
            TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::Invoke", 0);
            return S_OK;
        }
        if (!Listed()) {
            TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::Invoke", 1);
            return S_FALSE; // a sink of a page the band has let go
        }
        const CaptureScope capture(IwebB ? static_cast<const void*>(IwebB)
                                         : static_cast<const void*>(pDoc));
        if (!capture.Entered()) {
            TORVA_TRACE_ERROR(L"click during a capture of this browser: not captured");
            TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::Invoke", 0);
            return S_OK;
        }
        g_bSubmitClicked = 1;
        (void)AutoEntry(snum);
    } catch (...) {
        TORVA_TRACE_RETURN_HEX(L"CSubmitButtonEventSink::Invoke", E_UNEXPECTED);
        return E_UNEXPECTED;
    }
    TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::Invoke", 0);
    return S_OK;
}

HWND CSubmitButtonEventSink::TopWindow() const {
    SHANDLE_PTR handle = 0;
    if (IwebB && SUCCEEDED(IwebB->get_HWND(&handle)) && handle) {
        const HWND window = reinterpret_cast<HWND>(handle);
        if (::IsWindow(window)) {
            const HWND root = ::GetAncestor(window, GA_ROOT);
            return root ? root : window;
        }
    }
    return ::GetActiveWindow();
}

bool CSubmitButtonEventSink::StillOnPage(IHTMLDocument2* document) const {
    if (!Listed()) {
        TORVA_TRACE_ERROR(L"the band let the page go meanwhile");
        return false;
    }
    std::wstring url;
    if (!DocumentUrl(document, url) || url != m_strUrl) {
        TORVA_TRACE_ERROR(L"the page navigated on meanwhile");
        return false;
    }
    return true;
}

bool CSubmitButtonEventSink::ConfirmEntry() {
    CAutoEntryDlg confirm;
    (void)confirm.DoModal(::GetActiveWindow());
    return confirm.Result() == 1;
}

void CSubmitButtonEventSink::RunRegistDlg(IHTMLDocument2* document, int nSelForm, int nState) {
    // The dialog keeps its own reference to the clicked input.
    auto dialog = std::make_unique<CRegistDlg>(document, nSelForm, nState, pUnkIE);
    (void)dialog->DoModal(::GetActiveWindow());
}

int CSubmitButtonEventSink::AutoEntry(int snum) {
    TORVA_TRACE_ENTER(L"CSubmitButtonEventSink::AutoEntry");
    TORVA_TRACE_DETAIL(L"snum = %d", snum);
    // Own references for the whole run: the band may let this sink and its
    // document go while a dialog is open.
    CComPtr<IDispatch> self(static_cast<IDispatch*>(this));
    CComPtr<IHTMLDocument2> document(pDoc);
    if (!document) {
        TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::AutoEntry", 0);
        return 0;
    }
    std::wstring url;
    if (!DocumentUrl(document, url)) {
        TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::AutoEntry", 0);
        return 0;
    }
    m_strUrl = url;

    // A URL the list names whose page cannot be read is a failed read, not
    // a page that was never stored: nothing is offered then.
    // So is a URL list that could not be read in time: nothing is asked and
    // nothing stored over a page that may well be stored.
    std::unique_ptr<CDataWebForm> page;
    std::wstring pageKey;
    if (!m_ExpData.FindPageKey(url, pageKey)) {
        TORVA_TRACE_ERROR(L"URL list not read");
        TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::AutoEntry", 0);
        return 0;
    }
    if (!pageKey.empty()) {
        m_ExpData.m_nCryptUsable = 1;
        page.reset(m_ExpData.GetWebPageData(url, 1));
        m_ExpData.m_nCryptUsable = 0;
        if (!page) {
            TORVA_TRACE_ERROR(L"stored page not read");
            TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::AutoEntry", 0);
            return 0;
        }
    }
    // The reads wait for the relay and dispatch messages meanwhile: a band
    // that let this page's sinks go then has left the page, and nothing is
    // asked about it.
    if (!Listed()) {
        TORVA_TRACE_ERROR(L"the band let the page go during the read");
        TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::AutoEntry", 0);
        return 0;
    }
    if (page) {
        StoredPageEntry(document, page.get(), snum);
        TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::AutoEntry", 0);
        return 0;
    }

    int itemNum = 0;
    const int formnum = GetSubmitNum(document, snum, &itemNum);
    if (m_ExpData.m_option.m_nOnlyPwd == 1 && !CheckPassword(document, formnum)) {
        TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::AutoEntry", 0);
        return 0;
    }
    if (m_ExpData.m_option.m_nCheckSet == 1 && !ConfirmEntry()) {
        TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::AutoEntry", 0);
        return 0;
    }
    if (StillOnPage(document)) RunRegistDlg(document, itemNum, CRegistDlg::STATE_NEW);
    TORVA_TRACE_RETURN_INT(L"CSubmitButtonEventSink::AutoEntry", 0);
    return 0;
}

void CSubmitButtonEventSink::StoredPageEntry(IHTMLDocument2* document, CDataWebForm* page,
                                             int snum) {
    int itemNum = 0;
    const int formnum = GetSubmitNum(document, snum, &itemNum);
    if (m_ExpData.m_option.m_nOnlyPwd == 1 && !CheckPassword(document, formnum)) return;
    const int rc = CheakFormData(document, page, formnum, itemNum);
    if (rc > 0) return; // an identical entry is stored already
    if (rc == -2) {
        if (::MessageBoxW(TopWindow(), kReregistText, kWarningCaption, MB_ICONWARNING | MB_YESNO) !=
            IDYES)
            return;
        if (StillOnPage(document)) RunRegistDlg(document, formnum, CRegistDlg::STATE_REREGIST);
        return;
    }
    if (rc == -1) {
        // An unnamed entry: asked only while the confirmation is on.
        if (m_ExpData.m_option.m_nCheckSet != 1) return;
        if (!ConfirmEntry()) return;
        if (StillOnPage(document)) RunRegistDlg(document, itemNum, CRegistDlg::STATE_NEW);
        return;
    }
    if (m_ExpData.m_option.m_nCheckSet == 1 && !ConfirmEntry()) return;
    bool overwrite = false;
    {
        CSelectEntry select;
        (void)select.DoModal(::GetActiveWindow());
        if (select.Result() != 1) return;
        overwrite = select.Overwrite() == 1;
    }
    if (!StillOnPage(document)) return;
    if (overwrite) {
        RunRegistDlg(document, itemNum, CRegistDlg::STATE_OVERWRITE);
    } else {
        RunRegistDlg(document, formnum, CRegistDlg::STATE_ADD);
    }
}

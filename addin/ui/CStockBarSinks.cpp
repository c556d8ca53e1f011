// The page's completeness and forms, and the click sinks on its submit and
// image inputs.
#include "CStockBar.h"

#include "HtmlFrames.h"

#include "Trace.h"

namespace {

bool SameText(const BSTR text, const wchar_t* expected) {
    return text && ::lstrcmpiW(text, expected) == 0;
}

BOOL IsCompleteAt(IHTMLDocument2* document, int depth) {
    if (!document || depth > kMaxFrameDepth) return FALSE;
    BSTR state = nullptr;
    if (FAILED(document->get_readyState(&state))) return FALSE;
    const bool complete = state && ::lstrcmpW(state, L"complete") == 0;
    ::SysFreeString(state);
    if (!complete) return FALSE;
    CComPtr<IHTMLFramesCollection2> frames;
    long count = 0;
    if (FAILED(document->get_frames(&frames)) || !frames || FAILED(frames->get_length(&count)))
        return FALSE;
    for (long i = 0; i < count; ++i) {
        CComPtr<IHTMLDocument2> child = FrameDocument(frames, i);
        if (child && !IsCompleteAt(child, depth + 1)) return FALSE;
    }
    return TRUE;
}

BOOL IsNewWindowAt(IHTMLDocument2* document, int depth) {
    if (!document || depth > kMaxFrameDepth) return FALSE;
    CComPtr<IHTMLElementCollection> forms;
    long formCount = 0;
    if (FAILED(document->get_forms(&forms)) || !forms || FAILED(forms->get_length(&formCount)) ||
        formCount >= 1)
        return FALSE;
    CComPtr<IHTMLFramesCollection2> frames;
    long count = 0;
    if (FAILED(document->get_frames(&frames)) || !frames || FAILED(frames->get_length(&count)))
        return FALSE;
    for (long i = 0; i < count; ++i) {
        CComPtr<IHTMLDocument2> child = FrameDocument(frames, i);
        if (child && !IsNewWindowAt(child, depth + 1)) return FALSE;
    }
    return TRUE;
}

VARIANT Index(long i) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = i;
    return v;
}

} // namespace

BOOL CStockBar::IsComplete(IHTMLDocument2* document) {
    return IsCompleteAt(document, 0);
}

BOOL CStockBar::IsNewWindow(IHTMLDocument2* document) {
    return IsNewWindowAt(document, 0);
}

void CStockBar::ReleaseSinks() noexcept {
    // Out of the list first: a sink reached by a click meanwhile finds
    // itself no longer listed.
    SubmitSinkList sinks;
    sinks.swap(m_sinks);
    for (auto& sink : sinks)
        if (sink) sink->Detach();
}

int CStockBar::SetButtonEvent() {
    TORVA_TRACE_ENTER(L"CStockBar::SetButtonEvent");
    if (!m_pFrameWB) return 1;
    CComPtr<IDispatch> dispatch;
    CComPtr<IHTMLDocument2> document;
    if (FAILED(m_pFrameWB->get_Document(&dispatch)) || !dispatch ||
        FAILED(dispatch->QueryInterface(IID_IHTMLDocument2, reinterpret_cast<void**>(&document))))
        return 1;
    ReleaseSinks();
    SetButtonEvent(document);
    TORVA_TRACE_RETURN_INT(L"CStockBar::SetButtonEvent", static_cast<int>(m_sinks.size()));
    return 0;
}

void CStockBar::SetButtonEvent(IHTMLDocument2* document) {
    SetButtonEvent(document, 0);
}

void CStockBar::SetButtonEvent(IHTMLDocument2* document, int depth) {
    if (!document || depth > kMaxFrameDepth) return;
    CComPtr<IHTMLElementCollection> forms;
    long formCount = 0;
    if (FAILED(document->get_forms(&forms)) || !forms || FAILED(forms->get_length(&formCount)))
        formCount = 0;
    // Every submit and image input seen takes the next number, whether its
    // sink could be attached or not, so the numbers stay those the click
    // handler counts.
    int n = 0;
    VARIANT empty;
    VariantInit(&empty);
    for (long f = 0; f < formCount; ++f) {
        CComPtr<IDispatch> item;
        CComPtr<IHTMLFormElement> form;
        if (FAILED(forms->item(Index(f), empty, &item)) || !item ||
            FAILED(item->QueryInterface(IID_IHTMLFormElement, reinterpret_cast<void**>(&form))))
            return; // its frames are not visited either
        long elements = 0;
        if (FAILED(form->get_length(&elements))) continue;
        for (long e = 0; e < elements; ++e) {
            CComPtr<IDispatch> element;
            CComPtr<IHTMLElement> html;
            CComPtr<IHTMLInputElement> input;
            if (FAILED(form->item(Index(e), empty, &element)) || !element ||
                FAILED(element->QueryInterface(IID_IHTMLElement, reinterpret_cast<void**>(&html))))
                continue;
            BSTR tag = nullptr;
            const bool isInput = SUCCEEDED(html->get_tagName(&tag)) && SameText(tag, L"input");
            ::SysFreeString(tag);
            if (!isInput || FAILED(element->QueryInterface(IID_IHTMLInputElement,
                                                           reinterpret_cast<void**>(&input))))
                continue;
            BSTR type = nullptr;
            if (FAILED(input->get_type(&type))) continue;
            const bool submit = SameText(type, L"submit");
            const bool image = SameText(type, L"image");
            ::SysFreeString(type);
            if (!submit && !image) continue;
            const int number = n++;

            CComPtr<IUnknown> button;
            HRESULT hr = submit ? element->QueryInterface(IID_IHTMLInputButtonElement,
                                                          reinterpret_cast<void**>(&button))
                                : element->QueryInterface(IID_IHTMLInputImage,
                                                          reinterpret_cast<void**>(&button));
            if (FAILED(hr)) {
                if (image) return; // as a failed element interface
                continue;
            }
            CComPtr<CSubmitButtonEventSink> sink = CSubmitButtonEventSink::Create();
            if (!sink) continue;
            if (FAILED(sink->AdviseToElemenet(button))) {
                TORVA_TRACE_ERROR(L"advise failed for button %d", number);
                continue;
            }
            document->AddRef(); // the sink's own reference
            (void)sink->SetHtmlDoc(document);
            sink->m_nHoldDoc = 1;
            (void)sink->SetIWB2(m_pFrameWB);
            sink->snum = number;
            m_sinks.push_back(sink);
            (void)sink->GetAdd(&m_sinks);
        }
    }
    CComPtr<IHTMLFramesCollection2> frames;
    long count = 0;
    if (FAILED(document->get_frames(&frames)) || !frames || FAILED(frames->get_length(&count)))
        return;
    for (long i = 0; i < count; ++i) {
        CComPtr<IHTMLDocument2> child = FrameDocument(frames, i);
        if (child) SetButtonEvent(child, depth + 1);
    }
}

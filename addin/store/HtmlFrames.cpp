#include "HtmlFrames.h"

#include <oleauto.h>

CComPtr<IHTMLDocument2> FrameDocument(IHTMLFramesCollection2* frames, long i) {
    CComPtr<IHTMLDocument2> document;
    if (!frames) return document;
    VARIANT index;
    ::VariantInit(&index);
    index.vt = VT_I4;
    index.lVal = i;
    VARIANT item;
    ::VariantInit(&item);
    if (FAILED(frames->item(&index, &item))) return document;
    if (item.vt == VT_DISPATCH && item.pdispVal) {
        CComPtr<IHTMLWindow2> window;
        if (SUCCEEDED(item.pdispVal->QueryInterface(IID_IHTMLWindow2,
                                                    reinterpret_cast<void**>(&window))) &&
            window) {
            if (FAILED(window->get_document(&document))) document.Release();
        }
    }
    ::VariantClear(&item);
    return document;
}

#include "HtmlFrames.h"

#include "HtmlCom.h"

CComPtr<IHTMLDocument2> FrameDocument(IHTMLFramesCollection2* frames, long i) {
    CComPtr<IHTMLDocument2> document;
    if (!frames) return document;
    VARIANT index = IndexVariant(i);
    ScopedVariant item;
    if (FAILED(frames->item(&index, item.Out()))) return document;
    if (item.Get().vt == VT_DISPATCH) {
        if (auto window = As<IHTMLWindow2>(item.Get().pdispVal, IID_IHTMLWindow2)) {
            if (FAILED(window->get_document(&document))) document.Release();
        }
    }
    return document;
}

// Which live elements the capture may store.
#include "CExpData.h"
#include "TraceScope.h"

#include "CComPtr.h"
#include "HtmlCom.h"
#include "HtmlFrames.h"

namespace {

bool SameAsciiCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? wchar_t(c - 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

bool IsStorableInputType(const std::wstring& type) {
    for (const wchar_t* kind : {L"TEXT", L"PASSWORD", L"RADIO", L"CHECKBOX", L"SUBMIT", L"IMAGE"}) {
        if (SameAsciiCase(type, kind)) return true;
    }
    return false;
}

// The type attribute of an INPUT element, or empty when it has none.
std::wstring InputType(IHTMLElement* element) {
    auto input = As<IHTMLInputElement>(element, IID_IHTMLInputElement);
    if (!input) return {};
    ScopedBstr type;
    if (FAILED(input->get_type(type.Out()))) return {};
    return type.Text();
}

std::wstring DocumentUrl(IHTMLDocument2* document, bool* ok) {
    ScopedBstr url;
    *ok = SUCCEEDED(document->get_URL(url.Out()));
    return url.Text();
}

IHTMLDocument2* FindDocument(IHTMLDocument2* document, const std::wstring& url, int depth) {
    bool ok = false;
    const std::wstring own = DocumentUrl(document, &ok);
    if (!ok) return nullptr;
    if (own == url) {
        document->AddRef();
        return document;
    }
    if (depth >= kMaxFrameDepth) return nullptr;
    CComPtr<IHTMLFramesCollection2> frames;
    if (FAILED(document->get_frames(&frames)) || !frames) return nullptr;
    long count = 0;
    if (FAILED(frames->get_length(&count))) return nullptr;
    for (long i = 0; i < count; ++i) {
        CComPtr<IHTMLDocument2> frame = FrameDocument(frames, i);
        if (!frame) continue;
        if (IHTMLDocument2* found = FindDocument(frame, url, depth + 1)) return found;
    }
    return nullptr;
}

} // namespace

IHTMLDocument2* CExpData::GetHtmlDocument(IHTMLDocument2* document, const std::wstring& url) {
    if (!document) return nullptr;
    return FindDocument(document, url, 0);
}

BOOL CExpData::CheckTypeName(const std::wstring& expected, const std::wstring& type,
                             int* storable) {
    TORVA_TRACE_SCOPE(L"CExpData::CheckTypeName");
    if (SameAsciiCase(type, expected)) TORVA_RETURN_BOOL(FALSE);
    if (storable && IsStorableInputType(type)) *storable = 1;
    TORVA_RETURN_BOOL(TRUE);
}

BOOL CExpData::CheckTagName(const std::wstring& expected, const std::wstring& tag, int* storable,
                            IHTMLElement* element) {
    TORVA_TRACE_SCOPE(L"CExpData::CheckTagName");
    BOOL differs = TRUE;
    if (SameAsciiCase(tag, expected)) {
        differs = FALSE;
    } else if (storable) {
        if (SameAsciiCase(tag, L"TEXTAREA") || SameAsciiCase(tag, L"SELECT") ||
            (SameAsciiCase(tag, L"INPUT") && IsStorableInputType(InputType(element)))) {
            *storable = 1;
        }
    }
    if (element) element->Release();
    TORVA_RETURN_BOOL(differs);
}

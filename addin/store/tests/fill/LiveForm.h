// Reads the live state of a page's form controls by name, as a script on
// the page would (through the document's all collection).
#pragma once

#include "CComPtr.h"

#include <windows.h>
#include <mshtml.h>

#include <string>
#include <vector>

class LiveForm {
public:
    explicit LiveForm(IHTMLDocument2* document) : m_document(document) {}

    // The value of the index-th input named name; "<none>" when missing.
    std::wstring Value(const std::wstring& name, long index = 0) const;
    // Whether the index-th input named name is ticked.
    bool Checked(const std::wstring& name, long index = 0) const;
    // The selected state of every option of the SELECT named name.
    std::vector<bool> Selected(const std::wstring& name) const;
    // The text of the TEXTAREA named name; "<none>" when missing.
    std::wstring Text(const std::wstring& name) const;

private:
    CComPtr<IDispatch> Element(const std::wstring& name, long index) const;

    CComPtr<IHTMLDocument2> m_document;
};

// Small readers and writers of the browser's object model shared by the
// registration dialog's capture, copy and save code. Every function accepts
// null and answers "nothing" then; none keeps a reference it was handed.
#pragma once

#include "CComPtr.h"
#include "HtmlCom.h"

#include <windows.h>
#include <mshtml.h>

#include <string>

namespace regist {

// The shared owners and queries, under the names this dialog's code uses.
using ::As;
using ::TakeBstr;

// ASCII letters folded to lower case; other characters unchanged.
std::wstring Lower(std::wstring text);
bool EqualsNoCase(const std::wstring& a, const std::wstring& b);

// Element i of a collection (document.all, a form, a select's options), as
// IHTMLElement; null when there is none.
CComPtr<IHTMLElement> CollectionItem(IDispatch* collection, long index);
// -1 when the length cannot be read.
long CollectionLength(IDispatch* collection);

// The element's tag name in upper case.
std::wstring TagName(IHTMLElement* element);
// The name of an INPUT, SELECT or TEXTAREA element; empty for others.
std::wstring ControlName(IHTMLElement* element);
// The type attribute of an INPUT element (as the element reports it).
std::wstring InputType(IHTMLElement* element);

// The element's value / checked / selected state in a copy; false when the
// element does not offer it.
bool ReadValue(IHTMLElement* element, std::wstring& value);
bool WriteValue(IHTMLElement* element, const std::wstring& value);
bool ReadChecked(IHTMLElement* element, int& checked);
bool WriteChecked(IHTMLElement* element, int checked);
bool ReadSelected(IHTMLElement* element, int& selected);
bool WriteSelected(IHTMLElement* element, int selected);

} // namespace regist

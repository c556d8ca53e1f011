// Pieces of the report view's text that need no window. Every stored text
// is filled into a text of the string table; none is used as a format.
#pragma once

#include <cstdint>
#include <string>

#include "AppDataRecords.h"
#include "ExportStoreModel.h"

namespace vantrel {

// 22002 "有効" for exactly 1, else 22003 "無効".
std::wstring OnOffText(int32_t value);

// One mask character per UTF-16 unit of text.
std::wstring Masked(const std::wstring& text, wchar_t mask);

// The lines of one web-form control by its kind; empty without a value
// record, and for a button that is not selected.
std::wstring WebControlText(const WebControlNode& control);

// The report of policy code 33 to 41: the header, the policy's display name
// and its value ("未登録" for -1).
std::wstring PolicyReport(int32_t value, const std::wstring& policyName);

// The auto-click text of an application item: X from the high and Y from the
// low half of clickPos.
std::wstring ClickText(int32_t autoClick, uint32_t clickPos);

} // namespace vantrel

namespace vantrel {

// The report of an application item (code 99). Without the item the view
// stays empty; a missing application or caption shows empty names.
std::wstring ApplicationItemReport(const CDataApl* application, const CDataCaption* caption,
                                   const CDataItem* item);

} // namespace vantrel

class CExportStore;

namespace vantrel {

// The report of a web-form item (code 18): every item of the first page
// whose label "TITLE(URL)" is parentText and whose NAME is itemText, their
// information blocks first, then the controls by kind. A form shown under a
// substitute label (no NAME) is found by its tree handle instead. Empty when
// nothing matches.
std::wstring WebFormItemReport(const CExportStore& store, const std::wstring& itemText,
                               const std::wstring& parentText, void* treeItem);

} // namespace vantrel

namespace vantrel {

// The report of an authentication-information item (codes 81 to 85): the TPM
// PIN cache text for 81; else the device's name (the FeliCa port shown as the
// card) and whether the store holds its information. Other codes: empty.
std::wstring AuthInfoReport(int code, const std::wstring& deviceName, bool registered,
                            const std::wstring& pinCacheText);

} // namespace vantrel

namespace vantrel {

// The policy id whose display name the report of code 33 to 41 shows: 33-40
// are the policies 2 to 9, 41 is policy 1. 0 for any other code.
int PolicyIdOfCode(int code);

} // namespace vantrel

namespace vantrel {

// The report of the web-form options (code 48); "未登録" when the options
// were not stored.
std::wstring WebFormOptionsReport(const WebFormOptions& options);

// The report of the application options (code 112) from the four option
// values STOPAUTOFUNC, STOPAUTOINPUT, STOPASSIST and HIDEPWD (-1, missing,
// shows "無効").
std::wstring ApplicationOptionsReport(const int32_t (&values)[4]);

} // namespace vantrel

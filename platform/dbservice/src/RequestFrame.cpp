#include "RequestFrame.h"

namespace dbservice {
namespace {

bool Terminated(const char16_t* text) {
    for (size_t i = 0; i < ostravo::kDbsvcTextChars; ++i)
        if (text[i] == u'\0') return true;
    return false;
}

} // namespace

size_t RequestFrame::RecordSize(const ostravo::DbsvcHeader& header, std::wstring& why) {
    const size_t size = ostravo::DbsvcRecordSize(header.code);
    if (size == 0) {
        why = L"code " + std::to_wstring(header.code);
        return 0;
    }
    if (header.dataSize != size - sizeof(ostravo::DbsvcHeader)) {
        why = L"size " + std::to_wstring(header.dataSize) + L" for code " +
              std::to_wstring(header.code);
        return 0;
    }
    return size;
}

bool RequestFrame::TextsTerminated(const ostravo::DbsvcNamedRecord& record, std::wstring& why) {
    if (!Terminated(record.folder)) {
        why = L"folder not terminated";
        return false;
    }
    if (!Terminated(record.name)) {
        why = L"name not terminated";
        return false;
    }
    return true;
}

} // namespace dbservice

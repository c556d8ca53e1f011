// The body of the export worker without its windows: authenticate, create
// the target, write the version line and the sections of the checked items.
// The worker thread runs it and tells the progress dialog of the outcome.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ExportBatch.h"

namespace vantrel {

enum class ExportOutcome {
    Done,             // every section handled and the file closed ("成功"; "警告" when
                      // passwords that could not be read were written empty)
    AuthRefused,      // nothing created; the worker ends with -1
    NoItems,          // failure code 2; nothing created
    SharingViolation, // 22096; nothing created
    CreateFailed,     // 22098; nothing created
    WriteFailed,      // a writer or the encoder failed: the file holds what was written
};

// The calls that end the writing of the target: the system's own, unless a
// test stands in for them.
struct ExportFileCalls {
    BOOL(WINAPI* flush)(HANDLE) = &::FlushFileBuffers;
    BOOL(WINAPI* close)(HANDLE) = &::CloseHandle;
};

struct ExportRequest {
    std::wstring path;
    std::vector<SectionWrite> sections; // one per checked item, in tree order
    // Answers 0 when the user is authenticated (case 1, export).
    std::function<int()> authenticate;
    std::function<void(size_t)> progress; // after each section, may be empty
    std::function<void()> started;        // after authentication, may be empty
    ExportFileCalls file;
};

// The store's export passphrase is wiped when the run ends, whatever the
// outcome: it is needed only while the sections are sealed.
ExportOutcome RunExport(CExportStore& store, const ExportRequest& request);

// The string id shown for an outcome that failed at creation (0 otherwise).
unsigned CreateErrorMessageId(ExportOutcome outcome);

} // namespace vantrel

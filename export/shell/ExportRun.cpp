#include "ExportRun.h"

#include "Win32Handles.h"

namespace vantrel {

namespace {

ExportOutcome RunExportSteps(const CExportStore& store, const ExportRequest& request);

} // namespace

ExportOutcome RunExport(CExportStore& store, const ExportRequest& request) {
    const ExportOutcome outcome = RunExportSteps(store, request);
    store.SetExportPassphrase(std::wstring());
    return outcome;
}

namespace {

ExportOutcome RunExportSteps(const CExportStore& store, const ExportRequest& request) {
    // Authentication comes before anything touches the target, so a refused
    // user leaves an existing file as it was.
    if (!request.authenticate || request.authenticate() != 0) return ExportOutcome::AuthRefused;
    if (request.started) request.started();
    if (request.sections.empty()) return ExportOutcome::NoItems;

    torva::UniqueFile file(CreateFileW(request.path.c_str(), GENERIC_WRITE, 0, nullptr,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError() == ERROR_SHARING_VIOLATION ? ExportOutcome::SharingViolation
                                                         : ExportOutcome::CreateFailed;

    ExportSink sink(file.get());
    {
        CExportWriter writer(store, sink);
        // A version line that cannot be written is a failed export, never a
        // success with an unreadable file.
        if (writer.WriteVersionLine() != WriteResult::Written) return ExportOutcome::WriteFailed;
    }
    // Nothing from a writer (a policy of -1, no filled slot) is no failure;
    // Failed from a writer or the encoder ends the export as failed.
    const BatchOutcome outcome = WriteSections(store, sink, request.sections, request.progress);
    if (outcome.result == WriteResult::Failed) return ExportOutcome::WriteFailed;
    // A write the system took into its cache may still fail on its way to
    // the disk: only a flushed and closed file is a success.
    const bool flushed = request.file.flush(file.get()) != FALSE;
    // The handle is gone whether the close succeeded or not.
    const bool closed = request.file.close(file.release()) != FALSE;
    if (!flushed || !closed) return ExportOutcome::WriteFailed;
    return ExportOutcome::Done;
}

} // namespace

unsigned CreateErrorMessageId(ExportOutcome outcome) {
    switch (outcome) {
    case ExportOutcome::SharingViolation:
        return 22096;
    case ExportOutcome::CreateFailed:
        return 22098;
    default:
        return 0;
    }
}

} // namespace vantrel

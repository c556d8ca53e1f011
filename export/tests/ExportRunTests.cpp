#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "ExportRun.h"

using namespace vantrel;

namespace {

std::wstring TempPath(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

std::string ReadAll(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty()) ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

void WriteText(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ExportRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = TempPath(L"vantrel_run_test.csv");
        DeleteFileW(path.c_str());
        request.path = path;
        request.authenticate = [] { return 0; };
    }
    void TearDown() override { DeleteFileW(path.c_str()); }

    CExportStore store;
    ExportRequest request;
    std::wstring path;
};

// A write that fails only when the file is flushed or closed (a full
// network share, a removed disk): the handle is still flushed and closed.
BOOL WINAPI FailingFlush(HANDLE file) {
    ::FlushFileBuffers(file);
    ::SetLastError(ERROR_DISK_FULL);
    return FALSE;
}
int g_closes = 0;
BOOL WINAPI FailingClose(HANDLE file) {
    ++g_closes;
    ::CloseHandle(file);
    ::SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

SectionWrite Answer(WriteResult result) {
    return [result](CExportWriter&) { return result; };
}

} // namespace

TEST_F(ExportRunTest, RefusedAuthenticationLeavesTheTargetAlone) {
    WriteText(path, "kept");
    bool started = false;
    request.authenticate = [] { return 1; };
    request.started = [&] { started = true; };
    request.sections = {Answer(WriteResult::Written)};
    EXPECT_EQ(RunExport(store, request), ExportOutcome::AuthRefused);
    EXPECT_FALSE(started);
    EXPECT_EQ(ReadAll(path), "kept");
}

TEST_F(ExportRunTest, NoCheckedItemCreatesNoFile) {
    EXPECT_EQ(RunExport(store, request), ExportOutcome::NoItems);
    EXPECT_FALSE(Exists(path));
}

TEST_F(ExportRunTest, TargetHeldOpenIsASharingViolation) {
    HANDLE holder = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    request.sections = {Answer(WriteResult::Written)};
    const ExportOutcome outcome = RunExport(store, request);
    CloseHandle(holder);
    EXPECT_EQ(outcome, ExportOutcome::SharingViolation);
    EXPECT_EQ(CreateErrorMessageId(outcome), 22096u);
}

TEST_F(ExportRunTest, UncreatableTargetIsACreationFailure) {
    request.path = TempPath(L"vantrel_no_such_folder\\out.csv");
    request.sections = {Answer(WriteResult::Written)};
    const ExportOutcome outcome = RunExport(store, request);
    EXPECT_EQ(outcome, ExportOutcome::CreateFailed);
    EXPECT_EQ(CreateErrorMessageId(outcome), 22098u);
    EXPECT_EQ(CreateErrorMessageId(ExportOutcome::Done), 0u);
}

TEST_F(ExportRunTest, FailedSectionEndsAsFailure) {
    request.sections = {Answer(WriteResult::Written), Answer(WriteResult::Failed),
                        Answer(WriteResult::Written)};
    EXPECT_EQ(RunExport(store, request), ExportOutcome::WriteFailed);
    EXPECT_EQ(ReadAll(path).rfind("\"Version\",\"5\"", 0), 0u);
}

TEST_F(ExportRunTest, ItemsWithNothingToWriteAreNoFailure) {
    size_t lastProgress = 0;
    request.progress = [&](size_t done) { lastProgress = done; };
    request.sections = {Answer(WriteResult::Nothing), Answer(WriteResult::Written),
                        Answer(WriteResult::Nothing)};
    EXPECT_EQ(RunExport(store, request), ExportOutcome::Done);
    EXPECT_EQ(lastProgress, 3u);
    EXPECT_EQ(ReadAll(path).rfind("\"Version\",\"5\"", 0), 0u);
}

TEST_F(ExportRunTest, AWriteErrorShownOnlyAtFlushOrCloseIsAFailure) {
    request.sections = {Answer(WriteResult::Written)};
    request.file.flush = &FailingFlush;
    EXPECT_EQ(RunExport(store, request), ExportOutcome::WriteFailed);
    request.file = ExportFileCalls{};
    request.file.close = &FailingClose;
    g_closes = 0;
    EXPECT_EQ(RunExport(store, request), ExportOutcome::WriteFailed);
    EXPECT_EQ(g_closes, 1) << "closed once";
    request.file = ExportFileCalls{};
    EXPECT_EQ(RunExport(store, request), ExportOutcome::Done);
}

TEST_F(ExportRunTest, ExistingTargetIsTruncated) {
    WriteText(path, std::string(4096, 'x'));
    request.sections = {Answer(WriteResult::Nothing)};
    EXPECT_EQ(RunExport(store, request), ExportOutcome::Done);
    const std::string text = ReadAll(path);
    EXPECT_EQ(text.find('x'), std::string::npos);
    EXPECT_LT(text.size(), 64u);
}

TEST_F(ExportRunTest, PassphraseWipedWhateverTheOutcome) {
    store.SetExportPassphrase(L"secret");
    request.sections = {Answer(WriteResult::Written)};
    EXPECT_EQ(RunExport(store, request), ExportOutcome::Done);
    EXPECT_TRUE(store.ExportPassphrase().empty());
    store.SetExportPassphrase(L"secret");
    request.authenticate = [] { return 1; };
    EXPECT_EQ(RunExport(store, request), ExportOutcome::AuthRefused);
    EXPECT_TRUE(store.ExportPassphrase().empty());
}

// iexplore.exe: the browser program of the stand-in.
//   iexplore.exe [URL] [-script FILE] [-log FILE] [-keep]
// opens URL (or about:blank); with -script it runs the script (see
// ScriptRunner.h) and exits with 0 when it passed, 1 when it failed; -keep
// leaves the window open after a passing script.
#include "BrowserFrame.h"
#include "ScriptRunner.h"

#include <Win32Handles.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <optional>

using namespace torva::browser;

namespace {

struct Options {
    std::wstring url = L"about:blank";
    std::wstring script;
    std::wstring log;
    bool keep = false;
};

Options ParseCommandLine() {
    Options o;
    int argc = 0;
    torva::UniqueLocalMem mem;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    mem.reset(argv);
    for (int i = 1; i < argc; ++i) {
        const std::wstring a = argv[i];
        if (a == L"-script" && i + 1 < argc)
            o.script = argv[++i];
        else if (a == L"-log" && i + 1 < argc)
            o.log = argv[++i];
        else if (a == L"-keep")
            o.keep = true;
        else
            o.url = a;
    }
    return o;
}

std::optional<std::wstring> ReadScript(const std::wstring& path) {
    torva::UniqueFile f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!f) return std::nullopt;
    std::string bytes(static_cast<size_t>(GetFileSize(f.get(), nullptr)), '\0');
    DWORD read = 0;
    if (!ReadFile(f.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return std::nullopt;
    bytes.resize(read);
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(),
                                                        static_cast<int>(bytes.size()), text.data(),
                                                        static_cast<int>(text.size()))));
    return text;
}

int Run(HINSTANCE, int show) {
    const Options o = ParseCommandLine();
    FILE* log = nullptr;
    if (!o.log.empty()) log = _wfopen(o.log.c_str(), L"w, ccs=UTF-8");
    std::unique_ptr<FILE, int (*)(FILE*)> logOwner(log, [](FILE* f) { return f ? fclose(f) : 0; });
    std::unique_ptr<BrowserFrame> frame = BrowserFrame::Create(show);
    if (!frame) return 2;
    std::unique_ptr<ScriptRunner> runner;
    if (!o.script.empty()) {
        auto text = ReadScript(o.script);
        if (!text) {
            if (log) fwprintf(log, L"FAIL 0: cannot read %ls\n", o.script.c_str());
            return 1;
        }
        runner = std::make_unique<ScriptRunner>(*frame, ScriptRunner::Parse(*text), log, o.keep);
    }
    (void)frame->Open(o.url);
    if (runner) runner->Start();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (frame->PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    const bool failed = runner && (runner->Failed() || !runner->Finished());
    runner.reset();
    frame.reset();
    return failed ? 1 : 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    try {
        if (FAILED(OleInitialize(nullptr))) return 2;
        const int rc = Run(instance, show);
        OleUninitialize();
        return rc;
    } catch (...) {
        return 3;
    }
}

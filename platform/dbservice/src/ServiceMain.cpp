// The database service: answers the diagnosis tool's requests on the pipe
// HKLM\SOFTWARE\Kobel\TORVA\DBMGR "PipeName" (default "vivavudazuva") for
// the databases of one folder.
//
//   TvrDBService.exe [--pipe NAME] [--folder PATH] [--log FILE]
//                    [--stop-event NAME] [--ready-event NAME] [--lock-wait MS]
//                    [--delay MS] [--short BYTES] [--no-reply] [--status N]
//
// It runs until the stop event is set or the process is ended. Exit codes:
// 0 stopped, 2 bad switches, 3 the pipe could not be made (another service
// owns the name), 4 the log could not be opened.
#include "ExchangeLog.h"
#include "NameFold.h"
#include "PipeListener.h"
#include "RequestHandler.h"
#include "ServiceOptions.h"
#include "Win32Handles.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <iterator>

namespace {

torva::UniqueHandle NamedEvent(const std::wstring& name, bool manualReset) {
    if (name.empty()) return torva::UniqueHandle();
    return torva::UniqueHandle(::CreateEventW(nullptr, manualReset, FALSE, name.c_str()));
}

// Pipe names compare without regard to case and may be longer than an
// object name can be: the name's fold, hashed (FNV-1a).
std::wstring OwnerName(const std::wstring& pipeName) {
    uint64_t hash = 14695981039346656037ull;
    for (const wchar_t c : brisbel::NameFold::Fold(pipeName)) {
        hash ^= static_cast<uint16_t>(c);
        hash *= 1099511628211ull;
    }
    wchar_t name[64];
    std::swprintf(name, std::size(name), L"Global\\TvrDBService.%016llX",
                  static_cast<unsigned long long>(hash));
    return name;
}

int Run(int argc, wchar_t** argv) {
    // Connection threads may still be winding down when Run returns: what
    // they use lives until the process ends.
    auto& options = *new dbservice::ServiceOptions;
    std::wstring error;
    if (!options.Parse(argc, argv, error)) {
        std::fwprintf(stderr, L"TvrDBService: %ls\n", error.c_str());
        return 2;
    }
    // One service per pipe name: the pipe's own first-instance check is not
    // to be had everywhere, a named mutex is.
    torva::UniqueHandle owner(::CreateMutexW(nullptr, TRUE, OwnerName(options.pipeName).c_str()));
    if (!owner || ::GetLastError() == ERROR_ALREADY_EXISTS) return 3;
    (void)owner.release(); // held until the process ends

    auto& log = *new dbservice::ExchangeLog;
    if (!log.Open(options.logPath)) return 4;
    // Without a stop event of the caller's, one of its own keeps the wait
    // uniform; the process then ends when it is ended.
    torva::UniqueHandle stop =
        options.stopEvent.empty()
            ? torva::UniqueHandle(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
            : NamedEvent(options.stopEvent, true);
    torva::UniqueHandle ready = NamedEvent(options.readyEvent, true);
    if (!stop) return 2;

    const auto& handler = *new dbservice::RequestHandler(options);
    auto& listener = *new dbservice::PipeListener(options, handler, log, stop.release());
    return listener.Run(ready.get()) == ERROR_SUCCESS ? 0 : 3;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        return Run(argc, argv);
    } catch (...) {
        return 1;
    }
}

#include "TraceHook.h"

#include "LastErrorKeeper.h"
#include "Win32Handles.h"

#include <atomic>
#include <vector>

namespace torva::trace {
namespace {

// The binding of this module. Only WriteLog is read by other threads.
struct Binding {
    UniqueModule library;
    FENWIX_SETLOGLEVEL_FN setLogLevel = nullptr;
    std::atomic<FENWIX_WRITELOG_FN> writeLog{nullptr};
    FENWIX_INITIALIZE_FN initialize = nullptr;
    FENWIX_TERMINATE_FN terminate = nullptr;
    FENWIX_SETMODE_FN setMode = nullptr;
};

Binding& TheBinding() {
    static Binding binding;
    return binding;
}

template <typename Fn> Fn Export(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

} // namespace

std::wstring TraceHook::LibraryPathFor(HMODULE callerModule) {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(callerModule, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            const std::wstring path(buffer.data(), length);
            const std::size_t slash = path.find_last_of(L'\\');
            if (slash == std::wstring::npos) return {};
            return path.substr(0, slash + 1) + kLibraryFile;
        }
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

bool TraceHook::Bind(HMODULE callerModule, const wchar_t* logModuleName, int mode) {
    LastErrorKeeper keepLastError;
    const std::wstring path = LibraryPathFor(callerModule);
    if (path.empty()) {
        Unbind();
        return false;
    }
    return BindLibrary(path, logModuleName, mode);
}

bool TraceHook::BindLibrary(const std::wstring& libraryPath, const wchar_t* logModuleName,
                            int mode) {
    LastErrorKeeper keepLastError;
    Unbind();
    Binding& binding = TheBinding();
    // The altered search path makes the library's own imports resolve from
    // its folder first, not from the caller's current directory.
    binding.library.reset(
        ::LoadLibraryExW(libraryPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!binding.library) return false;
    const HMODULE library = binding.library.get();
    binding.setLogLevel = Export<FENWIX_SETLOGLEVEL_FN>(library, "FENWIX_SetLogLevel");
    const auto writeLog = Export<FENWIX_WRITELOG_FN>(library, "FENWIX_WriteLog");
    binding.initialize = Export<FENWIX_INITIALIZE_FN>(library, "FENWIX_Initialize");
    binding.terminate = Export<FENWIX_TERMINATE_FN>(library, "FENWIX_Terminate");
    binding.setMode = Export<FENWIX_SETMODE_FN>(library, "FENWIX_SetMode");
    // The mode must be set before the first line chooses the file.
    if (binding.setMode) binding.setMode(::GetModuleHandleW(logModuleName), mode);
    binding.writeLog = writeLog;
    return writeLog != nullptr;
}

void TraceHook::Unbind() {
    Binding& binding = TheBinding();
    binding.writeLog = nullptr;
    binding.setLogLevel = nullptr;
    binding.initialize = nullptr;
    binding.terminate = nullptr;
    binding.setMode = nullptr;
    binding.library.reset();
}

void TraceHook::Abandon() {
    Binding& binding = TheBinding();
    binding.writeLog = nullptr;
    binding.setLogLevel = nullptr;
    binding.initialize = nullptr;
    binding.terminate = nullptr;
    binding.setMode = nullptr;
    (void)binding.library.release();
}

bool TraceHook::IsBound() noexcept {
    return WriteLogFunction() != nullptr;
}

FENWIX_WRITELOG_FN TraceHook::WriteLogFunction() noexcept {
    return TheBinding().writeLog;
}

} // namespace torva::trace

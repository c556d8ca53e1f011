#include "FenwixLogger.h"

#include "LastErrorKeeper.h"
#include "LogFileAppender.h"
#include "LogFileName.h"
#include "LogLine.h"
#include "LogLock.h"
#include "LogSettings.h"
#include "OldLogSweeper.h"

namespace torva::fenwix {
namespace {

constexpr DWORD kFirstKnownFolderWindows = 6;

} // namespace

FenwixLogger::FenwixLogger(LogEnvironment& env, LogClock& clock, DWORD lockTimeoutMs)
    : m_env(env), m_clock(clock), m_lockTimeoutMs(lockTimeoutMs) {}

void FenwixLogger::Attach() {
    std::lock_guard<std::mutex> guard(m_mutex);
    ClearLocked();
    m_attached = true;
}

void FenwixLogger::Detach() {
    m_attached = false;
}

int FenwixLogger::Initialize() {
    std::lock_guard<std::mutex> guard(m_mutex);
    return InitializeLocked();
}

int FenwixLogger::SetLogLevel(int level) {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (!m_attached) return 0;
    m_level = static_cast<DWORD>(level);
    return level;
}

int FenwixLogger::SetMode(HMODULE module, int mode) {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (!m_attached) return 0;
    m_logModule = module;
    if (mode == kModePerUser || mode == kModePlain) m_mode = mode;
    return 1;
}

void FenwixLogger::Terminate() {
    std::lock_guard<std::mutex> guard(m_mutex);
    ClearLocked();
}

void FenwixLogger::ClearLocked() {
    m_lockEvent.reset();
    m_initialised = false;
    m_level = 0;
    m_mode = kModeUnset;
    m_logModule = nullptr;
    m_folder.clear();
    m_path.clear();
    m_lockName.clear();
    m_fileDate = SYSTEMTIME{};
}

int FenwixLogger::InitializeLocked() {
    if (!m_attached) return 0;
    const SYSTEMTIME now = m_clock.LocalTime();
    int result = 0;
    if (!m_initialised) {
        m_level = LogSettings::LevelFrom(m_env.ReadSetting(kLogLevelValue));
        const DWORD days = LogSettings::DeleteOldDaysFrom(m_env.ReadSetting(kDeleteOldDaysValue));
        m_folder = ChooseFolderLocked();
        BuildNamesLocked(now);
        m_lockName = LogLock::NameFor(::GetCurrentProcessId());
        if (!m_lockEvent) m_lockEvent = LogLock::CreateLockEvent(m_lockName);
        result = SweepLocked(days, now);
    } else {
        if (LogFileName::SameDate(now, m_fileDate)) return 0;
        BuildNamesLocked(now);
        result = SweepLocked(kRollOverDeleteOldDays, now);
    }
    m_initialised = true;
    return result;
}

std::wstring FenwixLogger::ChooseFolderLocked() {
    const bool knownFolderWindows = m_env.WindowsMajorVersion() >= kFirstKnownFolderWindows;
    if (knownFolderWindows && (m_mode == kModeUnset || m_mode == kModePerUser)) {
        if (auto folder = m_env.KnownLogFolder()) return *folder;
    }
    return m_env.FallbackLogFolder();
}

void FenwixLogger::BuildNamesLocked(const SYSTEMTIME& now) {
    std::optional<std::wstring> user;
    if (m_mode == kModePerUser) user = m_env.UserName();
    m_path = m_folder + LogFileName::Build(user, now, m_env.ModuleBaseName(m_logModule));
    m_fileDate = now;
}

int FenwixLogger::SweepLocked(DWORD days, const SYSTEMTIME& now) {
    std::optional<std::wstring> user;
    if (m_mode == kModePerUser) {
        user = m_env.UserName();
        if (!user) return kSweepNothingFound;
    }
    return OldLogSweeper::Sweep(m_folder, m_env.ModuleBaseName(nullptr), user, days, now);
}

int FenwixLogger::WriteLogV(int level, const wchar_t* sourceFile, int line, const wchar_t* format,
                            va_list args) {
    LastErrorKeeper keepLastError;
    std::wstring path;
    std::wstring lockName;
    {
        std::lock_guard<std::mutex> guard(m_mutex);
        if (!m_attached) return 0;
        (void)InitializeLocked();
        if (static_cast<DWORD>(level) > m_level) return 0;
        path = m_path;
        lockName = m_lockName;
    }
    LogLock lock(lockName, m_lockTimeoutMs);
    if (!lock.held()) return 0;
    const std::wstring message = LogLine::FormatText(format, args);
    const std::wstring text =
        LogLine::Compose(m_clock.LocalTime(), m_clock.TickCount(), sourceFile, line, message);
    return LogFileAppender::Append(path, text) ? 1 : 0;
}

int FenwixLogger::WriteLog(int level, const wchar_t* sourceFile, int line, const wchar_t* format,
                           ...) {
    va_list args;
    va_start(args, format);
    const int written = WriteLogV(level, sourceFile, line, format, args);
    va_end(args);
    return written;
}

} // namespace torva::fenwix

#include "CompactionRun.h"

#include "BenchData.h"
#include "Database.h"
#include "Win32Handles.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace brisbel::bench {
namespace {

// The performance counter runs on one time base for every process of the
// machine, so the follower's calls and the writer's sets can be laid side
// by side.
int64_t Now() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Milliseconds(int64_t ticks) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

struct Interval {
    int64_t start = 0;
    int64_t end = 0;
};

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

std::wstring EventName(const wchar_t* what, const std::wstring& tag) {
    return L"Local\\brisbel-bench-" + std::wstring(what) + L"-" + tag;
}

// The follower as a child process; Stop ends it and collects its calls.
class Follower {
public:
    bool Start(const std::wstring& folder, const std::wstring& name, DWORD values) {
        m_tag = std::to_wstring(::GetCurrentProcessId());
        m_out = folder + L"\\follower-" + m_tag + L".bin";
        m_ready.reset(::CreateEventW(nullptr, TRUE, FALSE, EventName(L"ready", m_tag).c_str()));
        m_stop.reset(::CreateEventW(nullptr, TRUE, FALSE, EventName(L"stop", m_tag).c_str()));
        if (!m_ready || !m_stop) return false;

        wchar_t self[MAX_PATH];
        const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return false;
        std::wstring command = L"\"" + std::wstring(self, length) + L"\" --follow \"" + folder +
                               L"\" \"" + name + L"\" " + std::to_wstring(values) + L" " + m_tag +
                               L" \"" + m_out + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (!::CreateProcessW(self, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info)) {
            return false;
        }
        m_process.reset(info.hProcess);
        torva::UniqueHandle thread(info.hThread);
        const HANDLE waits[] = {m_ready.get(), m_process.get()};
        return ::WaitForMultipleObjects(2, waits, FALSE, 120000) == WAIT_OBJECT_0;
    }

    bool Stop(std::vector<Interval>& calls) {
        ::SetEvent(m_stop.get());
        DWORD code = 1;
        if (::WaitForSingleObject(m_process.get(), 120000) != WAIT_OBJECT_0 ||
            !::GetExitCodeProcess(m_process.get(), &code) || code != 0) {
            return false;
        }
        torva::UniqueFile file(::CreateFileW(m_out.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                             FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (!file) return false;
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(file.get(), &size)) return false;
        calls.resize(static_cast<size_t>(size.QuadPart) / sizeof(Interval));
        DWORD read = 0;
        const auto bytes = static_cast<DWORD>(calls.size() * sizeof(Interval));
        return ::ReadFile(file.get(), calls.data(), bytes, &read, nullptr) && read == bytes;
    }

private:
    std::wstring m_tag;
    std::wstring m_out;
    torva::UniqueHandle m_ready;
    torva::UniqueHandle m_stop;
    torva::UniqueHandle m_process;
};

} // namespace

bool RunCompactions(const std::wstring& folder, DWORD values, DWORD setSize, DWORD compactions,
                    CompactionFigures& figures) {
    const std::wstring name = L"benchcompact" + std::to_wstring(values);
    if (!Build(folder, name, values)) return false;
    std::wstring identity;
    if (Database::IdentityOf(folder, name, identity)) return false;
    Database db(folder, name, identity);
    if (db.Open()) return false;
    uint32_t first = 0;
    if (db.Generation(first)) return false;

    Follower follower;
    if (!follower.Start(folder, name, values)) return false;

    // A few large values written over and over: the live data stays the
    // same while the log grows by one value per set.
    constexpr DWORD kRewrittenNames = 32;
    const DWORD kMaxSets = 100000;
    const KeyPath key = KeyOf(0);
    std::vector<BYTE> data(setSize);
    std::vector<Interval> plain, compacting;
    uint32_t generation = first;
    DWORD s = 0;
    for (; s < kMaxSets && generation - first < compactions; ++s) {
        for (size_t b = 0; b < data.size(); ++b)
            data[b] = static_cast<BYTE>(s + b);
        Interval set;
        set.start = Now();
        const DWORD status = db.SetValue(key, L"Large" + std::to_wstring(s % kRewrittenNames),
                                         TVRDB_TYPE_BINARY, data.data(), setSize);
        set.end = Now();
        if (status) break;
        uint32_t now = 0;
        if (db.Generation(now)) break;
        (now != generation ? compacting : plain).push_back(set);
        generation = now;
    }
    std::vector<Interval> calls;
    const bool stopped = follower.Stop(calls);
    if (!stopped || generation - first < compactions) return false;

    figures.values = values;
    figures.sets = s;
    figures.compactions = generation - first;
    std::vector<double> setMs;
    for (const Interval& set : plain) {
        setMs.push_back(Milliseconds(set.end - set.start));
        figures.longestPlainSetMs = std::max(figures.longestPlainSetMs, setMs.back());
    }
    for (const Interval& set : compacting) {
        setMs.push_back(Milliseconds(set.end - set.start));
        figures.compactingSetMs.push_back(setMs.back());
        figures.longestCompactingSetMs = std::max(figures.longestCompactingSetMs, setMs.back());
    }
    figures.medianSetMs = Median(setMs);

    figures.queries = static_cast<DWORD>(calls.size());
    std::vector<double> waits;
    for (const Interval& call : calls) {
        const double ms = Milliseconds(call.end - call.start);
        waits.push_back(ms);
        figures.longestWaitMs = std::max(figures.longestWaitMs, ms);
        const bool overlaps = std::any_of(compacting.begin(), compacting.end(), [&](const auto& c) {
            return call.start < c.end && c.start < call.end;
        });
        if (overlaps) {
            figures.longestWaitInCompactionMs = std::max(figures.longestWaitInCompactionMs, ms);
        }
    }
    figures.medianWaitMs = Median(waits);
    return true;
}

int FollowerMain(int argc, wchar_t** argv) {
    if (argc < 7) return 2;
    const std::wstring folder = argv[2], name = argv[3], tag = argv[5], out = argv[6];
    const auto values = static_cast<DWORD>(std::wcstoul(argv[4], nullptr, 10));
    if (values < kValuesPerKey) return 2;
    torva::UniqueHandle ready(
        ::OpenEventW(EVENT_MODIFY_STATE, FALSE, EventName(L"ready", tag).c_str()));
    torva::UniqueHandle stop(::OpenEventW(SYNCHRONIZE, FALSE, EventName(L"stop", tag).c_str()));
    if (!ready || !stop) return 3;
    std::wstring identity;
    if (Database::IdentityOf(folder, name, identity)) return 4;
    Database db(folder, name, identity);
    if (db.Open()) return 4;

    std::vector<Interval> calls;
    calls.reserve(1 << 16);
    std::vector<BYTE> buffer(256);
    ::SetEvent(ready.get());
    // One query about every millisecond, as a program serving a user would
    // ask, not a loop that would keep the lock from the writer.
    for (DWORD i = 0; ::WaitForSingleObject(stop.get(), 1) == WAIT_TIMEOUT; ++i) {
        const DWORD v = (i * 7919) % values;
        DWORD type = 0, size = static_cast<DWORD>(buffer.size());
        Interval call;
        call.start = Now();
        const DWORD status = db.QueryValue(KeyOf(v / kValuesPerKey), NameOf(v % kValuesPerKey),
                                           &type, buffer.data(), &size);
        call.end = Now();
        if (status) return 5;
        calls.push_back(call);
    }
    torva::UniqueFile file(
        ::CreateFileW(out.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    const auto bytes = static_cast<DWORD>(calls.size() * sizeof(Interval));
    if (!file || !::WriteFile(file.get(), calls.data(), bytes, &written, nullptr) ||
        written != bytes) {
        return 6;
    }
    return 0;
}

} // namespace brisbel::bench

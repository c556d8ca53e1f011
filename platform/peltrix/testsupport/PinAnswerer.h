// The watcher behind AutoAnswer: while any answer is live, one thread of this
// process looks for visible PIN dialogs of this process and its descendants
// (ProcessTree.h), reads each one's case and, when an answer is live for it,
// answers it once as the user would. Thread-safe; Add and Remove may be
// called from any thread but not from the watcher's own answers.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace peltrix::test {

class PinAnswerer {
public:
    enum class Answer { TypePin, Cancel };

    static PinAnswerer& Process();

    // The newest live answer of a case is the one given. False when the
    // watcher could not be started; nothing is live then.
    bool Add(DWORD authCase, Answer answer, unsigned long long& token);
    // Ends the answer; the last one to go stops the watcher and waits for it.
    void Remove(unsigned long long token) noexcept;

    ~PinAnswerer();

private:
    struct Preset {
        unsigned long long token;
        DWORD authCase;
        Answer answer;
    };

    PinAnswerer() = default;
    void Watch(std::shared_ptr<bool> stop) noexcept;
    bool AnswerFor(DWORD authCase, Answer& answer);
    static void Give(HWND dialog, Answer answer);

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::vector<Preset> m_presets;
    unsigned long long m_nextToken = 0;
    // Each watcher has its own flag, so that a watcher started while the
    // previous one is still ending never inherits its stop.
    std::shared_ptr<bool> m_stop;
    std::thread m_thread;
};

} // namespace peltrix::test

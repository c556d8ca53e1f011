#include "FieldSealer.h"

#include <atomic>
#include <thread>

BatchSealer::~BatchSealer() {
    Restart();
}

EncodeStatus BatchSealer::Seal(const BYTE* data, DWORD length, int kind, std::string& out) {
    if (!m_replaying) {
        Job job;
        job.data = data ? SecretBytes(data, length) : SecretBytes();
        job.kind = kind;
        m_jobs.push_back(std::move(job));
        return EncodeStatus::Ok;
    }
    // A write that notes more fields than it did while collecting is a
    // different write: refuse rather than give it another field's text.
    if (m_next >= m_jobs.size()) return EncodeStatus::EncryptFailed;
    Job& job = m_jobs[m_next++];
    if (job.data.size() != length || job.kind != kind) return EncodeStatus::EncryptFailed;
    if (job.status == EncodeStatus::Ok) out += job.result;
    return job.status;
}

void BatchSealer::SealAll(unsigned threads) {
    std::atomic<size_t> next{0};
    auto work = [this, &next] {
        for (size_t i = next++; i < m_jobs.size(); i = next++) {
            Job& job = m_jobs[i];
            job.status = EncodeSecretFieldTo(job.data.data(), static_cast<DWORD>(job.data.size()),
                                             job.kind, m_passphrase, job.result, m_crypt);
        }
    };
    if (threads < 1) threads = 1;
    if (threads > m_jobs.size()) threads = static_cast<unsigned>(m_jobs.size());
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (auto& thread : pool)
        thread.join();
    m_replaying = true;
    m_next = 0;
}

void BatchSealer::Restart() {
    for (Job& job : m_jobs) {
        if (!job.result.empty()) ::SecureZeroMemory(job.result.data(), job.result.size());
    }
    m_jobs.clear();
    m_replaying = false;
    m_next = 0;
}

// Who turns a secret field into its text for a record line. DirectSealer
// encodes on the spot. A sealed field costs one key derivation from the
// passphrase (about a tenth of a second), so an export of many sections
// seals them ahead on several threads with BatchSealer (ExportBatch.h).
#pragma once

#include "CryptApi.h"
#include "SecretFieldEncoder.h"

#include <string>
#include <vector>

class FieldSealer {
public:
    virtual ~FieldSealer() = default;
    // Appends the encoded field to out; nothing when it fails.
    virtual EncodeStatus Seal(const BYTE* data, DWORD length, int kind, std::string& out) = 0;
};

class DirectSealer : public FieldSealer {
public:
    DirectSealer(const SecretText& passphrase, const CryptApi& crypt)
        : m_passphrase(passphrase), m_crypt(crypt) {}
    EncodeStatus Seal(const BYTE* data, DWORD length, int kind, std::string& out) override {
        return EncodeSecretFieldTo(data, length, kind, m_passphrase, out, m_crypt);
    }

private:
    const SecretText& m_passphrase;
    const CryptApi& m_crypt;
};

// Two passes over the same writes: while collecting, every field is noted
// (a wiped copy of its data) and nothing is appended; SealAll encodes them
// all on several threads; while replaying, the fields come back in the order
// they were noted. The writes must be the same in both passes.
class BatchSealer : public FieldSealer {
public:
    BatchSealer(const SecretText& passphrase, const CryptApi& crypt)
        : m_passphrase(passphrase), m_crypt(crypt) {}
    ~BatchSealer() override;

    EncodeStatus Seal(const BYTE* data, DWORD length, int kind, std::string& out) override;

    // Encodes every noted field on up to threads threads and switches to replaying.
    void SealAll(unsigned threads);
    // Forgets every field and starts collecting again.
    void Restart();
    size_t Count() const noexcept { return m_jobs.size(); }

private:
    struct Job {
        SecretBytes data;
        int kind = 0;
        EncodeStatus status = EncodeStatus::Ok;
        std::string result;
    };

    const SecretText& m_passphrase;
    const CryptApi& m_crypt;
    std::vector<Job> m_jobs;
    bool m_replaying = false;
    size_t m_next = 0;
};

#include "DatabaseMaintenance.h"

#include "Brisbel.h"
#include "Database.h"
#include "DatabaseLock.h"
#include "GenerationSet.h"
#include "LogFile.h"
#include "LogStore.h"

#include <optional>
#include <vector>

namespace brisbel {
namespace {

// The lock of the database's files, held for the life of the object.
class HeldLock {
public:
    [[nodiscard]] DWORD Take(const std::wstring& folder, const std::wstring& name,
                             DWORD timeoutMs) {
        std::wstring identity;
        if (const DWORD status = Database::IdentityOf(folder, name, identity)) return status;
        if (const DWORD status = m_lock.Create(identity)) return status;
        bool abandoned = false; // both callers read everything from the files anyway
        return m_lock.Acquire(timeoutMs, m_held, abandoned);
    }

private:
    DatabaseLock m_lock;
    std::optional<torva::MutexLock> m_held; // released before m_lock closes the mutex
};

} // namespace

DWORD DatabaseMaintenance::Check(const std::wstring& folder, const std::wstring& name,
                                 DWORD lockTimeoutMs, DWORD& verdict) {
    verdict = TVRDB_OK;
    HeldLock lock;
    if (const DWORD status = lock.Take(folder, name, lockTimeoutMs)) return status;

    std::vector<uint32_t> present;
    if (const DWORD status = GenerationSet(folder, name).Present(present)) return status;
    if (present.empty()) return TVRDB_OK;

    // What an opener reads, in a store of its own that ends here; unlike an
    // opener it leaves every file as it found it.
    LogStore store(folder, name);
    const DWORD status = store.Inspect();
    if (status == TVRDB_E_CORRUPT) {
        verdict = TVRDB_E_CORRUPT;
        return TVRDB_OK;
    }
    return status;
}

DWORD DatabaseMaintenance::Initialise(const std::wstring& folder, const std::wstring& name,
                                      DWORD lockTimeoutMs) {
    HeldLock lock;
    if (const DWORD status = lock.Take(folder, name, lockTimeoutMs)) return status;

    GenerationSet generations(folder, name);
    std::vector<uint32_t> old;
    if (const DWORD status = generations.Present(old)) return status;
    uint32_t generation = 0;
    if (const DWORD status = generations.NextGeneration(generation)) return status;

    // Written unsealed and sealed only once the header is on disk: dying in
    // between leaves a leftover that the next opener deletes.
    {
        LogFile fresh;
        if (const DWORD status =
                LogFile::Create(generations.PathOf(generation), generation, 0, fresh)) {
            return status;
        }
        if (const DWORD status = fresh.WriteFlags(format::kFlagSealed)) {
            fresh = LogFile();
            generations.Remove(generation);
            return status;
        }
    }

    // From here the new file is the database. The old ones get a whole new
    // header saying so, even where theirs was damaged, so that a process
    // still holding one reopens instead of reading or appending to it.
    for (const uint32_t stale : old) {
        if (stale >= generation) continue;
        LogFile file;
        DWORD error = ERROR_SUCCESS;
        if (LogFile::Open(generations.PathOf(stale), stale, file, error) == TVRDB_OK) {
            (void)file.WriteFlags(format::kFlagSealed | format::kFlagSuperseded);
        }
        file = LogFile();
        generations.Remove(stale); // a failure is cleared by the next opener
    }
    return TVRDB_OK;
}

} // namespace brisbel

#include "GenerationSet.h"

#include "NameFold.h"
#include "Win32Status.h"

#include <algorithm>
#include <cwchar>

namespace brisbel {
namespace {

using format::FileHeader;
using format::kFlagSealed;
using format::kFlagSuperseded;

struct Candidate {
    uint32_t generation = 0;
    LogFile file;
    HeaderState state = HeaderState::Short;
    FileHeader header{};
    uint64_t size = 0;

    bool Sealed() const noexcept {
        return state == HeaderState::Valid && (header.flags & kFlagSealed) != 0;
    }
};

bool IsHexDigit(wchar_t c) noexcept {
    return (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'F');
}

// Every generation file of the set, opened with its header read. A file
// another process deleted while others still hold it answers "access
// denied" until the last holder lets go; only stale generations are ever
// deleted, so such a file is passed over.
DWORD Scan(const GenerationSet& set, LogFile::Access access, std::vector<Candidate>& candidates) {
    std::vector<uint32_t> generations;
    if (const DWORD status = set.Present(generations)) return status;
    for (const uint32_t generation : generations) {
        Candidate c;
        c.generation = generation;
        DWORD error = ERROR_SUCCESS;
        if (const DWORD status =
                LogFile::Open(set.PathOf(generation), generation, c.file, error, access)) {
            if (error == ERROR_ACCESS_DENIED || error == ERROR_FILE_NOT_FOUND) continue;
            return status;
        }
        if (const DWORD status = c.file.ReadHeader(c.header, c.state)) return status;
        if (const DWORD status = c.file.Size(c.size)) return status;
        candidates.push_back(std::move(c));
    }
    return TVRDB_OK;
}

// The highest sealed generation (null when there is none). Above it only
// leftovers of interrupted work may lie: a damaged header there is damage,
// and without any sealed file only an interrupted first creation is
// harmless; anything else means the sealed file was lost.
DWORD Choose(std::vector<Candidate>& candidates, Candidate*& best) {
    best = nullptr;
    for (auto c = candidates.rbegin(); c != candidates.rend() && !best; ++c) {
        if (c->Sealed()) best = &*c;
    }
    for (const Candidate& c : candidates) {
        if (best && c.generation <= best->generation) continue;
        if (c.state == HeaderState::Invalid) return TVRDB_E_CORRUPT;
        if (!best && c.state == HeaderState::Valid) return TVRDB_E_CORRUPT;
    }
    return TVRDB_OK;
}

} // namespace

GenerationSet::GenerationSet(std::wstring folder, std::wstring name)
    : m_folder(std::move(folder)), m_name(std::move(name)), m_foldedName(NameFold::Fold(m_name)) {}

std::wstring GenerationSet::PathOf(uint32_t generation) const {
    wchar_t digits[format::kGenerationDigits + 1];
    std::swprintf(digits, std::size(digits), L"%08X", static_cast<unsigned>(generation));
    return m_folder + L'\\' + m_name + L'.' + digits + format::kFileExtension;
}

bool GenerationSet::ParseName(const std::wstring& fileName, uint32_t& generation) const {
    const std::wstring extension = NameFold::Fold(format::kFileExtension);
    const size_t expected = m_name.size() + 1 + format::kGenerationDigits + extension.size();
    if (fileName.size() != expected) return false;
    const std::wstring folded = NameFold::Fold(fileName);
    if (folded.compare(0, m_foldedName.size(), m_foldedName) != 0) return false;
    if (folded[m_name.size()] != L'.') return false;
    if (folded.compare(expected - extension.size(), extension.size(), extension) != 0) return false;

    uint32_t value = 0;
    for (size_t i = 0; i < format::kGenerationDigits; ++i) {
        const wchar_t c = folded[m_name.size() + 1 + i];
        if (!IsHexDigit(c)) return false;
        value = value << 4 | static_cast<uint32_t>(c <= L'9' ? c - L'0' : c - L'A' + 10);
    }
    generation = value;
    return true;
}

DWORD GenerationSet::List(std::vector<uint32_t>& generations) const {
    generations.clear();
    const std::wstring pattern = m_folder + L'\\' + m_name + L".*" + format::kFileExtension;
    WIN32_FIND_DATAW found{};
    torva::UniqueFind find(::FindFirstFileW(pattern.c_str(), &found));
    if (!find) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? TVRDB_OK : Win32Status::From(error);
    }
    do {
        uint32_t generation = 0;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            ParseName(found.cFileName, generation)) {
            generations.push_back(generation);
        }
    } while (::FindNextFileW(find.get(), &found));
    std::sort(generations.begin(), generations.end());
    return TVRDB_OK;
}

DWORD GenerationSet::NextGeneration(uint32_t& generation) {
    std::vector<uint32_t> generations;
    if (const DWORD status = List(generations)) return status;
    if (!generations.empty() && generations.back() == UINT32_MAX) return TVRDB_E_STORAGE;
    generation = generations.empty() ? 1 : generations.back() + 1;
    return TVRDB_OK;
}

void GenerationSet::Remove(uint32_t generation) const noexcept {
    try {
        ::DeleteFileW(PathOf(generation).c_str());
    } catch (...) {
        // Out of memory for the path: the file stays until a later open.
    }
}

DWORD GenerationSet::OpenCurrent(LogFile& out) {
    std::vector<Candidate> candidates;
    if (const DWORD status = Scan(*this, LogFile::Access::ReadWrite, candidates)) return status;
    Candidate* best = nullptr;
    if (const DWORD status = Choose(candidates, best)) return status;

    // Above the chosen generation: leftovers of interrupted work.
    for (Candidate& c : candidates) {
        if (best && c.generation <= best->generation) continue;
        c.file = LogFile();
        Remove(c.generation);
    }

    if (!best) {
        uint32_t generation = 0;
        if (const DWORD status = NextGeneration(generation)) return status;
        return LogFile::Create(PathOf(generation), generation, kFlagSealed, out);
    }

    // Below it: stale. Holders must see the mark before the file goes away.
    for (Candidate& c : candidates) {
        if (c.generation >= best->generation) continue;
        if (c.state == HeaderState::Valid && (c.header.flags & kFlagSuperseded) == 0) {
            if (const DWORD status = c.file.WriteFlags(c.header.flags | kFlagSuperseded)) {
                return status;
            }
        }
        c.file = LogFile();
        Remove(c.generation);
    }

    out = std::move(best->file);
    return TVRDB_OK;
}

DWORD GenerationSet::FindCurrent(LogFile& out) const {
    out = LogFile();
    std::vector<Candidate> candidates;
    if (const DWORD status = Scan(*this, LogFile::Access::ReadOnly, candidates)) return status;
    Candidate* best = nullptr;
    if (const DWORD status = Choose(candidates, best)) return status;
    if (best) out = std::move(best->file);
    return TVRDB_OK;
}

} // namespace brisbel

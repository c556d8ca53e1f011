#include "RequestHandler.h"

#include "DatabaseMaintenance.h"
#include "NameFold.h"
#include "ServiceStatus.h"

#include "Brisbel.h"
#include "DbServiceRecord.h"

#include <cstring>

namespace dbservice {
namespace {

using namespace ostravo;

// The shared databases that codes 14 and 16 may name. A user's database is
// reached only through codes 13 and 15, as that user: nobody can check or
// wipe another user's database by writing its SID as a name.
constexpr const wchar_t* kDatabaseNames[] = {L"TORVA_SYSTEMDEFINED", L"TORVA_ADMIN", L"TORVA_GINA"};

std::wstring FullFolded(const std::wstring& path) {
    const DWORD needed = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return {};
    std::wstring full(needed, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return {};
    full.resize(length);
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/'))
        full.pop_back();
    return brisbel::NameFold::Fold(full);
}

std::wstring FromField(const char16_t* field) {
    std::wstring text;
    for (size_t i = 0; i < kDbsvcTextChars && field[i]; ++i)
        text += static_cast<wchar_t>(field[i]);
    return text;
}

// The canonical spelling of a shared database's name, or empty.
std::wstring DatabaseName(const std::wstring& name) {
    const std::wstring folded = brisbel::NameFold::Fold(name);
    for (const wchar_t* known : kDatabaseNames)
        if (brisbel::NameFold::Fold(known) == folded) return known;
    return {};
}

struct Outcome {
    uint32_t status = kStatusDone;
    uint32_t state = 0;
};

uint32_t StatusOf(DWORD result) {
    return result == TVRDB_OK ? kStatusDone : result == TVRDB_E_BUSY ? kStatusBusy : kStatusFailed;
}

Outcome Check(const std::wstring& folder, const std::wstring& name, DWORD waitMs) {
    DWORD verdict = TVRDB_OK;
    const DWORD result = brisbel::DatabaseMaintenance::Check(folder, name, waitMs, verdict);
    Outcome outcome;
    outcome.status = StatusOf(result);
    if (outcome.status == kStatusDone && verdict != TVRDB_OK) outcome.state = kStateDamaged;
    return outcome;
}

Outcome Initialise(const std::wstring& folder, const std::wstring& name, DWORD waitMs) {
    Outcome outcome;
    outcome.status = StatusOf(brisbel::DatabaseMaintenance::Initialise(folder, name, waitMs));
    return outcome;
}

} // namespace

RequestHandler::RequestHandler(const ServiceOptions& options)
    : m_options(options), m_servedFolder(FullFolded(options.folder)) {}

bool RequestHandler::IsServedFolder(const std::wstring& folder) const {
    if (folder.empty() || m_servedFolder.empty()) return false;
    // Only a fully qualified folder names one place whoever asks.
    const bool drive =
        folder.size() >= 3 && folder[1] == L':' && (folder[2] == L'\\' || folder[2] == L'/');
    const bool unc = folder.size() >= 3 && folder[0] == L'\\' && folder[1] == L'\\';
    return (drive || unc) && FullFolded(folder) == m_servedFolder;
}

void RequestHandler::Handle(const std::vector<uint8_t>& request, const Caller& caller,
                            std::vector<uint8_t>& reply, std::wstring& line) const {
    reply = request;
    DbsvcHeader header;
    std::memcpy(&header, request.data(), sizeof(header));

    Outcome outcome;
    std::wstring name;
    const bool named = header.code == DBSVC_CHECK_DB || header.code == DBSVC_INIT_DB;
    if (!caller.known) {
        outcome.status = kStatusCallerUnknown;
    } else if (named) {
        DbsvcNamedRecord record;
        std::memcpy(&record, request.data(), sizeof(record));
        name = FromField(record.name);
        const std::wstring database = DatabaseName(name);
        if (database.empty() || !IsServedFolder(FromField(record.folder)) ||
            (header.code == DBSVC_INIT_DB && !caller.administrator)) {
            outcome.status = kStatusRefused;
        } else if (header.code == DBSVC_CHECK_DB) {
            outcome = Check(m_options.folder, database, m_options.lockWaitMs);
        } else {
            outcome = Initialise(m_options.folder, database, m_options.lockWaitMs);
        }
    } else {
        name = caller.sid;
        outcome = header.code == DBSVC_CHECK_USERDB
                      ? Check(m_options.folder, caller.sid, m_options.lockWaitMs)
                      : Initialise(m_options.folder, caller.sid, m_options.lockWaitMs);
    }
    if (m_options.forceStatus) {
        outcome.status = m_options.status;
        outcome.state = 0;
    }

    // Everything but the status and, for a check, the state goes back as it
    // came, so the client can match the reply to its request.
    header.status = outcome.status;
    std::memcpy(reply.data(), &header, sizeof(header));
    const uint32_t state =
        header.code == DBSVC_CHECK_USERDB || header.code == DBSVC_CHECK_DB ? outcome.state : 0;
    std::memcpy(reply.data() + reply.size() - sizeof(uint32_t), &state, sizeof(state));

    std::wstring shown = name.empty() ? L"-" : name;
    for (wchar_t& c : shown)
        if (c < 0x20 || c == L' ') c = L'?';
    line = std::to_wstring(header.code) + L' ' + std::to_wstring(outcome.status) + L' ' +
           std::to_wstring(state) + L' ' + shown;
}

} // namespace dbservice

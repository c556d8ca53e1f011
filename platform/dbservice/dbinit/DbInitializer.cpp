#include "DbInitializer.h"

#include "Brisbel.h"
#include "Database.h"
#include "KeyPath.h"

#include <cstring>
#include <memory>

namespace dbinit {
namespace {

using brisbel::Database;
using brisbel::KeyPath;

struct Seed {
    const wchar_t* key;
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<BYTE> Byte(BYTE b) {
    return {b};
}
std::vector<BYTE> Dword(DWORD v) {
    std::vector<BYTE> data(sizeof(v));
    std::memcpy(data.data(), &v, sizeof(v));
    return data;
}
std::vector<BYTE> Text(const wchar_t* text) {
    const size_t bytes = std::wcslen(text) * sizeof(wchar_t);
    std::vector<BYTE> data(bytes);
    std::memcpy(data.data(), text, bytes);
    return data;
}

// Every database records which layout it was made with.
void AddVersion(std::vector<Seed>& seeds) {
    seeds.push_back({L"DBINFO", L"VERSION", TVRDB_TYPE_DWORD, Dword(1)});
}

std::vector<Seed> SeedOf(const std::wstring& name) {
    std::vector<Seed> seeds;
    AddVersion(seeds);
    if (name != L"TORVA_SYSTEMDEFINED") return seeds;
    // The media and device kinds the product knows (2 TPM ... 6 SD card).
    const wchar_t* media[] = {L"TPM", L"指紋認証", L"FeliCaカード", L"USBメモリ",
                              L"SDメモリカード"};
    for (BYTE kind = 2; kind <= 6; ++kind) {
        seeds.push_back({L"DEFINED_MEDIA", media[kind - 2], TVRDB_TYPE_BINARY, Byte(kind)});
        seeds.push_back({L"DEFINED_DEVICE", media[kind - 2], TVRDB_TYPE_BINARY, Byte(kind)});
    }
    seeds.push_back({L"DEFINED_POLICY", L"POLICY01", TVRDB_TYPE_STRING,
                     Text(L"1\"パスワード認証\",\"PasswordOnly\"")});
    seeds.push_back({L"DEFINED_POLICY", L"POLICY02", TVRDB_TYPE_STRING,
                     Text(L"2\"デバイス認証\",\"DeviceOnly\"")});
    seeds.push_back({L"DEFINED_RULE", L"パスワード", TVRDB_TYPE_BINARY, Byte(1)});
    seeds.push_back({L"DEFINED_RULE", L"デバイス", TVRDB_TYPE_BINARY, Byte(2)});
    seeds.push_back({L"DEFINED_RULEOPTION", L"PINキャッシュ", TVRDB_TYPE_DWORD, Dword(0)});
    seeds.push_back({L"DEFINED_RULEOPTIONVALUE", L"なし", TVRDB_TYPE_DWORD, Dword(0)});
    return seeds;
}

KeyPath PathOf(const wchar_t* text) {
    KeyPath path;
    (void)KeyPath::Parse(text, path);
    return path;
}

DWORD IsEmpty(Database& db, bool& empty) {
    wchar_t name[TVRDB_MAX_NAME + 1];
    DWORD length = 0;
    const KeyPath root;
    DWORD status = db.EnumKey(root, 0, name, &length);
    if (status == TVRDB_OK) {
        empty = false;
        return TVRDB_OK;
    }
    if (status != TVRDB_E_NO_MORE_ITEMS) return status;
    length = TVRDB_MAX_NAME + 1;
    DWORD size = 0;
    status = db.EnumValue(root, 0, name, &length, nullptr, nullptr, &size);
    empty = status == TVRDB_E_NO_MORE_ITEMS;
    return empty || status == TVRDB_OK || status == TVRDB_E_MORE_DATA ? TVRDB_OK : status;
}

InitOutcome InitialiseOne(const std::wstring& folder, const std::wstring& name) {
    InitOutcome outcome;
    outcome.name = name;
    std::wstring identity;
    outcome.status = Database::IdentityOf(folder, name, identity);
    if (outcome.status) return outcome;
    Database db(folder, name, identity);
    // Opening makes a missing database; a damaged one stays as it is.
    if ((outcome.status = db.Open())) return outcome;
    bool empty = false;
    if ((outcome.status = IsEmpty(db, empty)) || !empty) return outcome;
    for (const Seed& seed : SeedOf(name)) {
        const KeyPath key = PathOf(seed.key);
        if ((outcome.status = db.CreateKey(key))) return outcome;
        if ((outcome.status = db.SetValue(key, seed.name, seed.type, seed.data.data(),
                                          static_cast<DWORD>(seed.data.size())))) {
            return outcome;
        }
    }
    outcome.filled = true;
    return outcome;
}

} // namespace

std::vector<InitOutcome> DbInitializer::Run(const std::wstring& folder) {
    std::vector<InitOutcome> outcomes;
    for (const wchar_t* name : {L"TORVA_SYSTEMDEFINED", L"TORVA_ADMIN", L"TORVA_GINA"})
        outcomes.push_back(InitialiseOne(folder, name));
    return outcomes;
}

} // namespace dbinit

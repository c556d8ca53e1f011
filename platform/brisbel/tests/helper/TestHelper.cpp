// The other process of the multi-process tests.
//
//   write  FOLDER NAME KEY FIRST COUNT REPORT
//       For i from FIRST: value "v<i>" = i and value "b<i>" = Pattern(i),
//       then "big" = kBigSize bytes of Pattern(i) (so compactions happen along the
//       way). After the calls for i have returned, appends i to REPORT.
//   verify FOLDER NAME KEY FIRST COUNT
//       Exit code 0 when every "v<i>"/"b<i>" written by write is there.
//   compact FOLDER NAME
// Exit code: 0, or 100 + the library's result, or 2 for bad arguments.
#include "Database.h"
#include "KeyPath.h"
#include "Win32Handles.h"
#include "WritePattern.h"

#include <windows.h>

#include <cwchar>
#include <memory>
#include <string>
#include <vector>

using brisbel::Database;
using brisbel::KeyPath;
using brisbel::test::BlobSize;
using brisbel::test::Pattern;

namespace {

int Fail(DWORD status) {
    return 100 + static_cast<int>(status);
}

int Write(Database& db, const KeyPath& key, DWORD first, DWORD count, const wchar_t* report) {
    torva::UniqueFile out(
        ::CreateFileW(report, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!out) return 2;
    if (const DWORD status = db.CreateKey(key)) return Fail(status);
    for (DWORD i = first; i < first + count; ++i) {
        const std::wstring n = std::to_wstring(i);
        const auto blob = Pattern(i, BlobSize(i));
        const auto big = Pattern(i, brisbel::test::kBigSize);
        DWORD status =
            db.SetValue(key, L"v" + n, TVRDB_TYPE_DWORD, reinterpret_cast<const BYTE*>(&i), 4);
        if (!status) {
            status = db.SetValue(key, L"b" + n, TVRDB_TYPE_BINARY, blob.data(),
                                 static_cast<DWORD>(blob.size()));
        }
        if (!status) {
            status = db.SetValue(key, L"big", TVRDB_TYPE_BINARY, big.data(),
                                 static_cast<DWORD>(big.size()));
        }
        if (status) return Fail(status);
        // The report goes to the file system cache: it survives this
        // process being killed, like the database writes before it.
        DWORD written = 0;
        if (!::WriteFile(out.get(), &i, sizeof(i), &written, nullptr)) return 2;
    }
    return 0;
}

int Verify(Database& db, const KeyPath& key, DWORD first, DWORD count) {
    std::vector<BYTE> data(4096);
    for (DWORD i = first; i < first + count; ++i) {
        const std::wstring n = std::to_wstring(i);
        DWORD value = 0, type = 0, size = 4;
        DWORD status = db.QueryValue(key, L"v" + n, &type, reinterpret_cast<BYTE*>(&value), &size);
        if (status) return Fail(status);
        if (value != i) return 1;
        size = static_cast<DWORD>(data.size());
        status = db.QueryValue(key, L"b" + n, &type, data.data(), &size);
        if (status) return Fail(status);
        if (std::vector<BYTE>(data.begin(), data.begin() + size) != Pattern(i, BlobSize(i))) {
            return 1;
        }
    }
    return 0;
}

int Run(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    const std::wstring mode = argv[1];
    std::wstring identity;
    if (const DWORD status = Database::IdentityOf(argv[2], argv[3], identity)) return Fail(status);
    Database db(argv[2], argv[3], identity);
    if (const DWORD status = db.Open()) return Fail(status);
    if (mode == L"compact") {
        const DWORD status = db.Compact();
        return status ? Fail(status) : 0;
    }
    if (argc < 7) return 2;
    KeyPath key;
    if (KeyPath::Parse(argv[4], key)) return 2;
    const auto first = static_cast<DWORD>(std::wcstoul(argv[5], nullptr, 10));
    const auto count = static_cast<DWORD>(std::wcstoul(argv[6], nullptr, 10));
    if (mode == L"write" && argc >= 8) return Write(db, key, first, count, argv[7]);
    if (mode == L"verify") return Verify(db, key, first, count);
    return 2;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        return Run(argc, argv);
    } catch (...) {
        return 3;
    }
}

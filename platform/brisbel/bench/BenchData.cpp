#include "BenchData.h"

#include "Compactor.h"
#include "GenerationSet.h"
#include "KeyTree.h"
#include "LogFile.h"

namespace brisbel::bench {

KeyPath KeyOf(DWORD k) {
    KeyPath path;
    (void)KeyPath::Parse(L"WEBFORMDATA\\Site" + std::to_wstring(k) + L"\\Fields", path);
    return path;
}

std::wstring NameOf(DWORD v) {
    return L"Field" + std::to_wstring(v);
}

std::vector<BYTE> DataOf(DWORD i) {
    std::vector<BYTE> data(64);
    for (size_t b = 0; b < data.size(); ++b)
        data[b] = static_cast<BYTE>(i + b);
    return data;
}

bool Build(const std::wstring& folder, const std::wstring& name, DWORD values) {
    KeyTree tree;
    for (DWORD i = 0; i < values; ++i) {
        tree.SetValue(KeyOf(i / kValuesPerKey), NameOf(i % kValuesPerKey), TVRDB_TYPE_BINARY,
                      DataOf(i));
    }
    GenerationSet files(folder, name);
    LogFile file;
    uint64_t end = 0;
    return LogFile::Create(files.PathOf(1), 1, format::kFlagSealed, file) == TVRDB_OK &&
           Compactor::WriteSnapshot(tree, file, end) == TVRDB_OK;
}

} // namespace brisbel::bench

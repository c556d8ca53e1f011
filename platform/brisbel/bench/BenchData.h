// The databases the benchmark measures: keys of 100 values each, laid down
// by writing the log directly (the records compaction writes), because
// filling 100,000 values through the flushed set call would take minutes.
#pragma once

#include "KeyPath.h"

#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace brisbel::bench {

using Clock = std::chrono::steady_clock;

constexpr DWORD kValuesPerKey = 100;

inline double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// "WEBFORMDATA\Site<k>\Fields"
KeyPath KeyOf(DWORD k);
// "Field<v>"
std::wstring NameOf(DWORD v);
// 64 bytes that differ from value to value.
std::vector<BYTE> DataOf(DWORD i);

// Writes generation 1 of database name in folder: values values of
// DataOf(i), named NameOf(i % 100) under KeyOf(i / 100).
bool Build(const std::wstring& folder, const std::wstring& name, DWORD values);

} // namespace brisbel::bench

// Test helpers: run a cipher call into a vector sized as the call asks.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ByteView.h"
#include "Corvane.h"
#include "OutputSlot.h"

using Bytes = std::vector<BYTE>;

inline corvane::ByteView View(const Bytes& bytes) {
    return corvane::ByteView{bytes.data(), static_cast<DWORD>(bytes.size())};
}

inline Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// Asks for the length, then calls again with exactly that capacity. Returns
// the first non-OK result; out holds the result bytes on success.
template <typename Call> DWORD QueryThenCall(Call&& call, Bytes& out) {
    DWORD needed = 0;
    corvane::OutputSlot query(nullptr, 0, &needed);
    if (DWORD s = call(query)) return s;
    Bytes buffer(needed);
    DWORD length = 0;
    corvane::OutputSlot slot(buffer.data(), needed, &length);
    if (DWORD s = call(slot)) return s;
    buffer.resize(length);
    out = buffer;
    return TVRCT_OK;
}

// Calls into a buffer of the given capacity followed by guard bytes, and
// reports whether the call wrote outside what it answered as the length.
struct GuardedCall {
    DWORD result = 0;
    DWORD length = 0;
    Bytes output;           // the first `length` bytes when result is OK
    bool untouched = false; // every byte past length is still the fill
};

template <typename Call> GuardedCall CallWithGuard(Call&& call, DWORD capacity) {
    constexpr BYTE kFill = 0xA5;
    Bytes buffer(capacity + 16, kFill);
    GuardedCall r;
    corvane::OutputSlot slot(buffer.data(), capacity, &r.length);
    r.result = call(slot);
    DWORD written = r.result == TVRCT_OK ? r.length : 0;
    r.untouched = true;
    for (size_t i = written; i < buffer.size(); ++i)
        if (buffer[i] != kFill) r.untouched = false;
    r.output.assign(buffer.begin(), buffer.begin() + written);
    return r;
}

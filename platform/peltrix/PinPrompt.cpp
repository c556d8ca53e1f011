#include "PinPrompt.h"

#include "StoreFormat.h"

#include <cstring>
#include <vector>

namespace peltrix {
namespace {

// Room for the longest PIN in UTF-8 and its line end; reading stops there so
// that no more than one line is taken from a pipe.
constexpr std::size_t kMaxLineBytes = kMaxPinChars * 4 + 2;

void Write(HANDLE output, const char* text) {
    if (output == nullptr || output == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(output, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

void TrimLineEnd(std::wstring& line) {
    while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r'))
        line.pop_back();
}

std::wstring Decode(const std::vector<char>& bytes, UINT codePage, DWORD flags) {
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, flags, bytes.data(), size, &text[0], length);
    return text;
}

} // namespace

bool PinPrompt::Read(HANDLE input, HANDLE promptOutput, std::wstring& pin) {
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return false;
    DWORD mode = 0;
    if (::GetConsoleMode(input, &mode)) {
        Write(promptOutput, "Current PIN: ");
        const bool read = ReadConsoleLine(input, mode, pin);
        Write(promptOutput, "\n");
        return read;
    }
    return ReadLine(input, pin);
}

bool PinPrompt::ReadConsoleLine(HANDLE input, DWORD mode, std::wstring& line) {
    // Echo off for the typing only; the console gets its mode back at once.
    ::SetConsoleMode(input, (mode | ENABLE_LINE_INPUT) & ~ENABLE_ECHO_INPUT);
    wchar_t buffer[kMaxLineBytes] = {};
    DWORD count = 0;
    const BOOL read = ::ReadConsoleW(input, buffer, ARRAYSIZE(buffer) - 1, &count, nullptr);
    ::SetConsoleMode(input, mode);
    if (read) line.assign(buffer, count);
    SecureZeroMemory(buffer, sizeof(buffer));
    TrimLineEnd(line);
    return read && !line.empty();
}

bool PinPrompt::ReadLine(HANDLE input, std::wstring& line) {
    std::vector<char> bytes;
    bytes.reserve(kMaxLineBytes);
    bool any = false;
    while (bytes.size() < kMaxLineBytes) {
        char c = 0;
        DWORD count = 0;
        if (!::ReadFile(input, &c, 1, &count, nullptr) || count == 0) break;
        any = true;
        if (c == '\n') break;
        bytes.push_back(c);
    }
    std::wstring text = Decode(bytes, CP_UTF8, MB_ERR_INVALID_CHARS);
    if (text.empty() && !bytes.empty()) text = Decode(bytes, CP_ACP, 0);
    SecureZeroMemory(bytes.data(), bytes.size());
    TrimLineEnd(text);
    line = std::move(text);
    return any && !line.empty();
}

} // namespace peltrix

#include "PolicyText.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <string>

void CopyFixedText(wchar_t* field, size_t capacity, const wchar_t* text, size_t length) {
    if (capacity == 0) return;
    if (length > capacity - 1) length = capacity - 1;
    if (length) wmemcpy(field, text, length);
    field[length] = L'\0';
}

namespace {

constexpr size_t kSearchLimit = 512;

// Length of the number at the start of text in C notation (decimal, "0x"
// hexadecimal, leading-0 octal); 0 when there is none. *value receives it.
size_t LeadingNumber(const std::wstring& text, long long* value) {
    if (text.empty() || !std::iswdigit(text[0])) return 0;
    size_t i = 0;
    int base = 10;
    if (text[0] == L'0' && text.size() > 2 && (text[1] == L'x' || text[1] == L'X') &&
        std::iswxdigit(text[2])) {
        base = 16;
        i = 2;
    } else if (text[0] == L'0') {
        base = 8;
    }
    long long number = 0;
    for (; i < text.size(); ++i) {
        const wchar_t c = text[i];
        int digit;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (base == 16 && c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (base == 16 && c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        else
            break;
        if (digit >= base) break;
        // Saturate: any number past the id range maps to the same id.
        if (number < 0x7FFFFFFF) number = number * base + digit;
    }
    *value = number;
    return i;
}

} // namespace

void ParsePolicyText(const BYTE* data, DWORD size, int position, AuthPolicyRow& row) {
    std::wstring text(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
    const size_t end = text.find(L'\0');
    if (end != std::wstring::npos) text.resize(end);

    long long number = 0;
    const size_t numberEnd = LeadingNumber(text, &number);
    if (numberEnd == 0) {
        row.policyId = position;
    } else {
        row.policyId = (number == 0 || number > 29) ? 1 : static_cast<int32_t>(number);
    }

    row.displayName[0] = L'\0';
    row.policyKey[0] = L'\0';
    // Without a leading number the search starts where the number would
    // have ended, at the text's start: the texts are read all the same.
    if (numberEnd >= text.size()) return;
    const size_t searchEnd = std::min(text.size(), numberEnd + kSearchLimit);
    const size_t comma = text.find(L',', numberEnd);
    if (comma == std::wstring::npos || comma >= searchEnd) return;

    // The display name sits between the character after the number (its
    // opening quote) and the character before the comma (its closing one); a
    // comma too close to the number leaves it empty rather than negative.
    const size_t nameStart = numberEnd + 1;
    if (comma >= nameStart + 1) {
        CopyFixedText(row.displayName, kPolicyTextChars, text.data() + nameStart,
                      comma - 1 - nameStart);
    }
    const size_t keyStart = comma + 2;
    if (keyStart < text.size()) {
        CopyFixedText(row.policyKey, kPolicyTextChars, text.data() + keyStart,
                      text.size() - keyStart - 1);
    }
}

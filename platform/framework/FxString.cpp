#include "FxString.h"

#include "ModuleInstance.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace {

size_t Clamp(int value, size_t limit) noexcept {
    if (value < 0) return 0;
    return std::min(static_cast<size_t>(value), limit);
}

bool IsSpace(wchar_t ch) noexcept {
    return std::iswspace(static_cast<wint_t>(ch)) != 0;
}

} // namespace

int CString::Compare(const wchar_t* other) const noexcept {
    return std::wcscmp(m_text.c_str(), other ? other : L"");
}

int CString::CompareNoCase(const wchar_t* other) const noexcept {
    return ::lstrcmpiW(m_text.c_str(), other ? other : L"");
}

int CString::Find(wchar_t ch, int start) const noexcept {
    if (start < 0) start = 0;
    const size_t at = m_text.find(ch, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const wchar_t* sub, int start) const noexcept {
    if (!sub || start < 0 || static_cast<size_t>(start) > m_text.size()) return -1;
    const size_t at = m_text.find(sub, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t ch) const noexcept {
    const size_t at = m_text.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

CString CString::Left(int count) const {
    return CString(m_text.substr(0, Clamp(count, m_text.size())));
}

CString CString::Mid(int first) const {
    return CString(m_text.substr(Clamp(first, m_text.size())));
}

CString CString::Mid(int first, int count) const {
    const size_t from = Clamp(first, m_text.size());
    return CString(m_text.substr(from, Clamp(count, m_text.size() - from)));
}

CString CString::Right(int count) const {
    const size_t n = Clamp(count, m_text.size());
    return CString(m_text.substr(m_text.size() - n));
}

CString& CString::MakeUpper() {
    if (!m_text.empty()) ::CharUpperBuffW(m_text.data(), static_cast<DWORD>(m_text.size()));
    return *this;
}

CString& CString::MakeLower() {
    if (!m_text.empty()) ::CharLowerBuffW(m_text.data(), static_cast<DWORD>(m_text.size()));
    return *this;
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}

CString& CString::TrimLeft() {
    const auto first = std::find_if_not(m_text.begin(), m_text.end(), IsSpace);
    m_text.erase(m_text.begin(), first);
    return *this;
}

CString& CString::TrimRight() {
    while (!m_text.empty() && IsSpace(m_text.back()))
        m_text.pop_back();
    return *this;
}

int CString::Delete(int index, int count) {
    const size_t from = Clamp(index, m_text.size());
    m_text.erase(from, Clamp(count, m_text.size() - from));
    return GetLength();
}

int CString::Insert(int index, const wchar_t* text) {
    if (text) m_text.insert(Clamp(index, m_text.size()), text);
    return GetLength();
}

int CString::Replace(const wchar_t* from, const wchar_t* to) {
    if (!from || !*from) return 0;
    const std::wstring needle(from);
    const std::wstring replacement(to ? to : L"");
    int count = 0;
    for (size_t at = m_text.find(needle); at != std::wstring::npos;
         at = m_text.find(needle, at + replacement.size())) {
        m_text.replace(at, needle.size(), replacement);
        ++count;
    }
    return count;
}

int CString::Replace(wchar_t from, wchar_t to) {
    int count = 0;
    for (wchar_t& ch : m_text) {
        if (ch == from) {
            ch = to;
            ++count;
        }
    }
    return count;
}

void CString::FormatV(const wchar_t* format, va_list args) {
    m_text.clear();
    if (!format) return;
    va_list probe;
    va_copy(probe, args);
    const int length = _vscwprintf(format, probe);
    va_end(probe);
    if (length <= 0) return;
    m_text.resize(static_cast<size_t>(length) + 1);
    const int written = _vsnwprintf(m_text.data(), m_text.size(), format, args);
    m_text.resize(written < 0 ? 0 : static_cast<size_t>(written));
}

void CString::Format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* format, ...) {
    CString more;
    va_list args;
    va_start(args, format);
    more.FormatV(format, args);
    va_end(args);
    m_text += more.m_text;
}

BOOL CString::LoadString(UINT id) {
    const wchar_t* text = nullptr;
    // Length 0 with a pointer buffer: the resource's own text, unterminated.
    const int length =
        ::LoadStringW(ComtlModuleInstance(), id, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0 || !text) {
        m_text.clear();
        return FALSE;
    }
    m_text.assign(text, static_cast<size_t>(length));
    return TRUE;
}

wchar_t* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) m_text.resize(static_cast<size_t>(minLength));
    return m_text.data();
}

wchar_t* CString::GetBufferSetLength(int length) {
    m_text.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        m_text.resize(std::wcslen(m_text.c_str()));
    } else {
        m_text.resize(static_cast<size_t>(newLength));
    }
}

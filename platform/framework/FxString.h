// CString: the framework's growable UTF-16 text, a thin layer over
// std::wstring with the operations dialog code uses (formatting, searching,
// trimming, a writable buffer for Win32 calls).
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_text(text ? text : L"") {} // NOLINT: implicit by design
    CString(const wchar_t* text, int length)
        : m_text(text ? text : L"", text && length > 0 ? length : 0) {}
    CString(wchar_t ch, int repeat = 1) : m_text(repeat > 0 ? repeat : 0, ch) {}
    CString(const std::wstring& text) : m_text(text) {}                // NOLINT: implicit by design
    CString(std::wstring&& text) noexcept : m_text(std::move(text)) {} // NOLINT: implicit by design

    operator const wchar_t*() const noexcept { return m_text.c_str(); }
    const wchar_t* GetString() const noexcept { return m_text.c_str(); }
    const std::wstring& str() const noexcept { return m_text; }

    int GetLength() const noexcept { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const noexcept { return m_text.empty(); }
    void Empty() noexcept { m_text.clear(); }
    wchar_t GetAt(int index) const { return m_text.at(static_cast<size_t>(index)); }
    void SetAt(int index, wchar_t ch) { m_text.at(static_cast<size_t>(index)) = ch; }
    wchar_t operator[](int index) const { return GetAt(index); }

    CString& operator=(const wchar_t* text) {
        m_text = text ? text : L"";
        return *this;
    }
    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(const wchar_t* text) {
        if (text) m_text += text;
        return *this;
    }
    CString& operator+=(wchar_t ch) {
        m_text += ch;
        return *this;
    }

    int Compare(const wchar_t* other) const noexcept;
    int CompareNoCase(const wchar_t* other) const noexcept;

    // -1 when not found; start is the first index searched.
    int Find(wchar_t ch, int start = 0) const noexcept;
    int Find(const wchar_t* sub, int start = 0) const noexcept;
    int ReverseFind(wchar_t ch) const noexcept;

    // Counts and indexes are clamped to the text, as callers expect.
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    CString& MakeUpper();
    CString& MakeLower();
    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    // Returns the new length.
    int Delete(int index, int count = 1);
    int Insert(int index, const wchar_t* text);
    // Returns the number of replacements.
    int Replace(const wchar_t* from, const wchar_t* to);
    int Replace(wchar_t from, wchar_t to);

    // printf formatting of the C runtime's wide functions ("%s" is wide text).
    void Format(const wchar_t* format, ...);
    void AppendFormat(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);

    // The string-table text of id from the program's resources; FALSE (and
    // empty) when there is none.
    BOOL LoadString(UINT id);

    // A buffer of at least minLength characters plus a terminator for a
    // Win32 call to write; ReleaseBuffer(-1) takes the length up to the
    // first terminator, ReleaseBuffer(n) exactly n characters.
    wchar_t* GetBuffer(int minLength = 0);
    wchar_t* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    friend bool operator==(const CString& a, const CString& b) noexcept {
        return a.m_text == b.m_text;
    }
    friend bool operator==(const CString& a, const wchar_t* b) noexcept {
        return a.Compare(b) == 0;
    }
    friend bool operator==(const wchar_t* a, const CString& b) noexcept {
        return b.Compare(a) == 0;
    }
    friend bool operator!=(const CString& a, const CString& b) noexcept { return !(a == b); }
    friend bool operator!=(const CString& a, const wchar_t* b) noexcept { return !(a == b); }
    friend bool operator!=(const wchar_t* a, const CString& b) noexcept { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) noexcept {
        return a.m_text < b.m_text;
    }
    friend CString operator+(const CString& a, const CString& b) {
        return CString(a.m_text + b.m_text);
    }
    friend CString operator+(const CString& a, const wchar_t* b) { return CString(a) += b; }
    friend CString operator+(const wchar_t* a, const CString& b) { return CString(a) += b; }
    friend CString operator+(const CString& a, wchar_t b) { return CString(a) += b; }

private:
    std::wstring m_text;
};

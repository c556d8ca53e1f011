// Buffers that hold clear secrets (passwords, passphrases, clear field
// data): their memory is overwritten with zeros when they are freed or
// replaced, so that no copy outlives its use in the process's heap.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

template <typename T> class WipedVector {
public:
    WipedVector() = default;
    explicit WipedVector(size_t count, T fill = T()) : m_data(count, fill) {}
    WipedVector(const T* data, size_t count) : m_data(data, data + count) {}
    ~WipedVector() { Wipe(); }
    WipedVector(const WipedVector& other) : m_data(other.m_data) {}
    WipedVector& operator=(const WipedVector& other) {
        if (this != &other) {
            Wipe();
            m_data = other.m_data;
        }
        return *this;
    }
    WipedVector(WipedVector&& other) noexcept : m_data(std::move(other.m_data)) {}
    WipedVector& operator=(WipedVector&& other) noexcept {
        if (this != &other) {
            Wipe();
            m_data = std::move(other.m_data);
        }
        return *this;
    }

    T* data() noexcept { return m_data.data(); }
    const T* data() const noexcept { return m_data.data(); }
    size_t size() const noexcept { return m_data.size(); }
    bool empty() const noexcept { return m_data.empty(); }
    T& operator[](size_t i) { return m_data[i]; }
    const T& operator[](size_t i) const { return m_data[i]; }
    // Growing may move the data: the old block is wiped first.
    void Append(const T* data, size_t count) {
        if (m_data.size() + count > m_data.capacity()) {
            std::vector<T> grown;
            grown.reserve((m_data.size() + count) * 2);
            grown.assign(m_data.begin(), m_data.end());
            Wipe();
            m_data.swap(grown);
        }
        m_data.insert(m_data.end(), data, data + count);
    }
    void Clear() {
        Wipe();
        m_data.clear();
    }

private:
    void Wipe() noexcept {
        if (!m_data.empty()) ::SecureZeroMemory(m_data.data(), m_data.capacity() * sizeof(T));
    }
    std::vector<T> m_data;
};

using SecretBytes = WipedVector<BYTE>;

// A clear UTF-16 text (a passphrase, a decrypted password).
class SecretText {
public:
    SecretText() = default;
    explicit SecretText(const std::wstring& text) : m_chars(text.data(), text.size()) {}
    SecretText(const wchar_t* text, size_t length) : m_chars(text, length) {}

    const wchar_t* data() const noexcept { return m_chars.empty() ? L"" : m_chars.data(); }
    size_t size() const noexcept { return m_chars.size(); }
    bool empty() const noexcept { return m_chars.empty(); }

private:
    WipedVector<wchar_t> m_chars;
};

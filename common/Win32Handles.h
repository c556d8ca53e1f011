// Move-only owners for the Win32 handles, keys and memory blocks the project
// holds. Every resource is released by exactly one owner; nothing else in the
// tree calls CloseHandle, RegCloseKey, FreeLibrary, LocalFree or
// CoTaskMemFree on a handle that an owner holds.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

namespace torva {

// Traits: static T Invalid(); static bool IsValid(T); static void Close(T).
template <typename T, typename Traits> class UniqueResource {
public:
    UniqueResource() noexcept = default;
    explicit UniqueResource(T value) noexcept : m_value(value) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : m_value(other.release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueResource() { reset(); }

    T get() const noexcept { return m_value; }
    explicit operator bool() const noexcept { return Traits::IsValid(m_value); }

    // Releases what is held and takes ownership of value.
    void reset(T value = Traits::Invalid()) noexcept {
        if (Traits::IsValid(m_value)) Traits::Close(m_value);
        m_value = value;
    }
    // Gives up ownership without closing.
    [[nodiscard]] T release() noexcept { return std::exchange(m_value, Traits::Invalid()); }
    // For out-parameters of creating calls; closes what was held first.
    T* put() noexcept {
        reset();
        return &m_value;
    }

private:
    T m_value = Traits::Invalid();
};

struct KernelHandleTraits { // CreateEvent, CreateMutex, OpenProcess... (null when failed)
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FileHandleTraits { // CreateFile, CreateNamedPipe (INVALID_HANDLE_VALUE when failed)
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct JoinedThreadTraits { // CreateThread: the thread has ended before its handle goes
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr; }
    static void Close(HANDLE h) {
        ::WaitForSingleObject(h, INFINITE);
        ::CloseHandle(h);
    }
};
struct FindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
struct RegKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static bool IsValid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
};
struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static bool IsValid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { ::FreeLibrary(h); }
};
struct LocalMemTraits {
    static HLOCAL Invalid() { return nullptr; }
    static bool IsValid(HLOCAL h) { return h != nullptr; }
    static void Close(HLOCAL h) { ::LocalFree(h); }
};
struct CoTaskMemTraits {
    static void* Invalid() { return nullptr; }
    static bool IsValid(void* p) { return p != nullptr; }
    static void Close(void* p) { ::CoTaskMemFree(p); }
};
struct GdiObjectTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static bool IsValid(HGDIOBJ h) { return h != nullptr; }
    static void Close(HGDIOBJ h) { ::DeleteObject(h); }
};
struct WindowTraits {
    static HWND Invalid() { return nullptr; }
    static bool IsValid(HWND h) { return h != nullptr; }
    static void Close(HWND h) { ::DestroyWindow(h); }
};

using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;
using UniqueFile = UniqueResource<HANDLE, FileHandleTraits>;
using JoinedThread = UniqueResource<HANDLE, JoinedThreadTraits>;
using UniqueFind = UniqueResource<HANDLE, FindHandleTraits>;
using UniqueRegKey = UniqueResource<HKEY, RegKeyTraits>;
using UniqueModule = UniqueResource<HMODULE, ModuleTraits>;
using UniqueLocalMem = UniqueResource<HLOCAL, LocalMemTraits>;
using UniqueCoTaskMem = UniqueResource<void*, CoTaskMemTraits>;
using UniqueGdiObject = UniqueResource<HGDIOBJ, GdiObjectTraits>;
using UniqueWindow = UniqueResource<HWND, WindowTraits>;

// Holds a mutex acquired by WaitForSingleObject and releases it once.
class MutexLock {
public:
    MutexLock() = default;
    explicit MutexLock(HANDLE mutex) noexcept : m_mutex(mutex) {}
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;
    MutexLock(MutexLock&& other) noexcept : m_mutex(std::exchange(other.m_mutex, nullptr)) {}
    ~MutexLock() {
        if (m_mutex) ::ReleaseMutex(m_mutex);
    }

private:
    HANDLE m_mutex = nullptr;
};

} // namespace torva

// Keeps the stored web-form options as a test found them. The option key is
// the prefix user's own and other test programs read and write it while
// this one runs: the backup holds a machine-wide mutex for its life (test
// programs that touch the key are meant to take it too), records the key's
// seven values byte for byte (type and data, or their absence, and whether
// the key existed) and puts exactly that back when it goes.
#pragma once

#include "CExpData.h"
#include "Win32Handles.h"

#include <optional>
#include <string>
#include <vector>

inline constexpr const wchar_t* kOptionKeyPath = L"WEBFORMDATA\\OPTION";
// The seven option values in their stored order.
inline constexpr const wchar_t* kOptionValueNames[] = {
    L"STOPFUNC", L"STOPAUTOINPUT", L"SETAUTO", L"CHECKSET", L"ONLYPWD", L"NOMULTITEXT", L"HIDEPWD"};

class OptionKeyBackup {
public:
    OptionKeyBackup();
    ~OptionKeyBackup();
    OptionKeyBackup(const OptionKeyBackup&) = delete;
    OptionKeyBackup& operator=(const OptionKeyBackup&) = delete;

    // False when the mutex or the key's state could not be had; the
    // destructor then leaves the key alone.
    bool Saved() const noexcept { return m_saved; }

    // Test helpers on the same store.
    // Removes the option key, as on a fresh database.
    [[nodiscard]] bool RemoveKey();
    // Stores record through the store's own option write.
    void Write(const CDataOption& record);
    // Stores the options under which a page's entry is filled in by itself:
    // the feature and auto-input on, the rest at their defaults.
    void WriteAutoInputAllowed();
    // 1 when the option key exists, 0 when it does not, -1 when unknown.
    [[nodiscard]] int KeyState();
    // The options as the store reads them now (a fresh read).
    [[nodiscard]] bool Read(CDataOption& record);

private:
    struct RawValue {
        DWORD type = 0;
        std::vector<BYTE> data;
    };

    void Restore();

    CExpData m_store;
    torva::UniqueHandle m_mutex;
    bool m_locked = false;
    bool m_saved = false;
    bool m_hadKey = false;
    std::vector<std::optional<RawValue>> m_values;
};

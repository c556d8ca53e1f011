// Thin wrappers of the database and crypto calls for the application-data
// tree, and its two readers/writers. Every operation takes the handles from
// its caller; a null handle answers 13 without calling the library. The
// first failed encryption of an object clears its crypt-enabled flag: its
// encrypted reads and writes then do nothing. A failed decryption loses
// only the value being read.
#pragma once

#include "AppDataRecords.h"
#include "CryptApi.h"
#include "DbApi.h"

#include <string>
#include <vector>

class DBAccess {
public:
    explicit DBAccess(const DbApi& db = LibraryDbApi(), const CryptApi& crypt = LibraryCryptApi())
        : m_dbApi(db), m_cryptApi(crypt) {}
    virtual ~DBAccess() = default;

    int32_t OpenDB(TVRDB_HDB* db);
    int32_t CloseDB(TVRDB_HDB* db);
    int32_t OpenKey(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key);
    int32_t CreateKey(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key);
    // OpenKey, else CreateKey of the same path: the last result.
    int32_t OpenKeyEx(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key);
    int32_t CloseKey(TVRDB_HDB db, TVRDB_HKEY* key);
    // Appends every non-empty sub-key name (full paths); the result that
    // ended the enumeration.
    int32_t EnumKey(TVRDB_HDB db, TVRDB_HKEY key, std::vector<std::wstring>& names);

    // -1 when the key is null or the value is missing or empty. A value
    // shorter than four bytes reads as its bytes followed by zeros.
    int32_t GetDwordValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name);
    void SetDwordValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name, int32_t value);
    std::wstring GetStringValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name);
    void SetStringValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name,
                        const std::wstring& text);
    // A missing or empty value reads as empty without a decryption; one that
    // cannot be decrypted reads as empty and sets *unread.
    std::wstring GetStringValueCrypt(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name,
                                     bool* unread = nullptr);
    // Writes nothing when the encryption fails.
    void SetStringValueCrypt(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name,
                             const std::wstring& text);

    bool CryptEnabled() const noexcept { return m_cryptEnabled != 0; }

    // Opens the key at `path`, lets `read` take its values, calls `child`
    // with the full path of each sub-key and closes the key. FALSE, with
    // nothing called, when the key cannot be opened.
    template <class Read, class Child>
    BOOL ReadKeyTree(TVRDB_HDB db, const std::wstring& path, Read read, Child child) {
        TVRDB_HKEY key = nullptr;
        if (OpenKey(db, path, &key) != kDbOk) return FALSE;
        read(key);
        std::vector<std::wstring> names;
        EnumKey(db, key, names);
        for (const auto& name : names)
            child(name);
        CloseKey(db, &key);
        return TRUE;
    }

protected:
    // The stored bytes of a value; false when it is missing (empty: true, no bytes).
    bool ReadValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name, DWORD presetType,
                   std::vector<BYTE>& bytes);

    const DbApi& m_dbApi;
    const CryptApi& m_cryptApi;
    int32_t m_cryptEnabled = 1;
};

// Whether a key is there: answered only when the database said so.
enum class KeyPresence { Present, Missing, Unknown };

class DBRegData : public DBAccess {
public:
    using DBAccess::DBAccess;

    // Rebuilds list from the database; FALSE only when it cannot be opened.
    BOOL GetDBRegData(CDataAplList& list, BOOL bGetPass);
    BOOL GetDBApl(TVRDB_HDB db, const std::wstring& sAplKey, CDataAplList& list, BOOL bGetPass);
    BOOL GetDBCaption(TVRDB_HDB db, const std::wstring& sCaptionKey, CDataApl& apl, BOOL bGetPass);
    BOOL GetDBItem(TVRDB_HDB db, const std::wstring& sItemKey, CDataCaption& caption,
                   BOOL bGetPass);
    BOOL GetDBCtrl(TVRDB_HDB db, const std::wstring& sCtrlKey, CDataItem& item, BOOL bGetPass);

    // TRUE when the item key was written. An item key that fails to open for
    // any reason but its absence writes nothing: a busy database must not
    // have an entry rewritten over what it holds.
    BOOL SetRegItem(const CWindowData& data);
    BOOL AddDBApl(TVRDB_HDB db, TVRDB_HKEY key, const std::wstring& applicationName);
    BOOL AddDBCaption(TVRDB_HDB db, TVRDB_HKEY key, const std::wstring& caption);
    BOOL AddDBItem(TVRDB_HDB db, TVRDB_HKEY key, const CDataItem& item,
                   const std::wstring& itemKey);
    BOOL AddDBCtrl(TVRDB_HDB db, TVRDB_HKEY key, const CDataCtrl& control);

    // TRUE when the caption key of the default any-application entry exists.
    BOOL IsAnyInit();
    KeyPresence AnyInitPresence();

    // TRUE when the item has the default shape: three controls of TYPE 1, 2, 5.
    BOOL CheckAnyItem(const CDataItem& item);
    // Rebuilds the default shape in memory, discarding the item's controls.
    void RestoreAnyItem(CDataItem& item);
    // The any-item check as GetDBItem runs it: an item named " " whose shape
    // is not the default is restored, but only when none of its controls
    // holds a caption (those are the user's data and are kept).
    void RunAnyItemCheck(CDataItem& item);
};

class DBOption : public DBAccess {
public:
    using DBAccess::DBAccess;
    BOOL GetOption(CKeepDataOption& option);
    void SetOption(const CKeepDataOption& option);
};

// The options as last read, and the defaults written when they are missing.
class CKeepData {
public:
    explicit CKeepData(const DbApi& db = LibraryDbApi(), const CryptApi& crypt = LibraryCryptApi())
        : m_dbApi(&db), m_cryptApi(&crypt) {}
    virtual ~CKeepData() = default;

    void GetDBOptionInfo();
    int32_t IsCheckedOption(int dwType) const;
    // Writes the default options only when "APCTRLDATA\OPTION" is missing.
    void CheckDBOption();
    // Writes the default any-application entry only when it is missing.
    void CheckDBAny();

    const CKeepDataOption& Option() const noexcept { return m_option; }
    int32_t LastResult() const noexcept { return m_lastResult; }

private:
    const DbApi* m_dbApi;
    const CryptApi* m_cryptApi;
    CKeepDataOption m_option;
    int32_t m_lastResult = 0;
};

// What the manager's tests share: a dialog whose window-side hooks are
// replaced (messages recorded, a fixed clock, crypto and key failures on
// demand), direct access to the user's database, and preview pages made
// from markup whose elements bind to an item as the preview binds them.
#pragma once

#include "CTvrIEToolDlg.h"

#include "CComPtr.h"
#include "ComPtr.h"
#include "HtmlDocument.h"
#include "testsupport/WebItemBuilder.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TestDlg : public CTvrIEToolDlg {
public:
    std::vector<std::wstring> messages;
    std::wstring clock = L"2026/12/09 12:34:56";
    // Encryptions that succeed before every later one fails; -1: never fail.
    int encryptionsBeforeFailure = -1;
    int encryptCalls = 0;
    bool failDecryption = false;
    // A key path whose opening fails as a busy database would.
    std::wstring failingKey;
    // Called as the dialog fetches its fields, as the window would fill them.
    std::function<void()> onFetch;

    // Openings of the database that succeed before every later one fails;
    // -1: never fail.
    int openingsBeforeFailure = -1;
    int openCalls = 0;

    DWORD OpenKey(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key) override;
    BOOL OpenDB(TVRDB_HDB* db) override;

protected:
    void UpdateDialogFields(BOOL fetch) override;
    int ShowMessage(const wchar_t* text, UINT type) override;
    std::wstring GetSaveTime() override { return clock; }
    DWORD EncryptData(const BYTE* input, DWORD length, BYTE* output, DWORD capacity,
                      DWORD* produced) override;
    DWORD DecryptData(const BYTE* input, DWORD length, BYTE* output, DWORD capacity,
                      DWORD* produced) override;
};

// The user's database, reached directly.
class RawDb {
public:
    RawDb();
    ~RawDb();
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    bool Exists(const std::wstring& path);
    bool Create(const std::wstring& path);
    bool SetText(const std::wstring& path, const wchar_t* name, const std::wstring& text);
    bool SetDword(const std::wstring& path, const wchar_t* name, DWORD value);
    bool SetRaw(const std::wstring& path, const wchar_t* name, DWORD type,
                const std::vector<BYTE>& bytes);
    // Type and bytes of a value; nothing when missing.
    std::optional<std::pair<DWORD, std::vector<BYTE>>> Raw(const std::wstring& path,
                                                           const wchar_t* name);
    std::optional<std::wstring> Text(const std::wstring& path, const wchar_t* name);
    std::optional<std::int32_t> Dword(const std::wstring& path, const wchar_t* name);
    std::vector<std::wstring> SubKeys(const std::wstring& path);
    // Deletes the key and everything below it.
    void Delete(const std::wstring& path);

    TVRDB_HDB Handle() const { return m_db; }

private:
    TVRDB_HDB m_db = nullptr;
};

// "WEBFORMDATA\MGRTEST<pid>_<tag>": a page key that no other test program uses.
std::wstring ScratchPageKey(const std::wstring& tag);

// A preview page made from markup; Bind offers its elements to the dialog's
// binders in page order, as the preview does after loading.
class PreviewPage {
public:
    explicit PreviewPage(const std::wstring& body);
    void Bind(CTvrIEToolDlg& dlg, CDataWebItem& item);
    // The INPUT, TEXTAREA or SELECT named name (the value-th of a radio group
    // or check boxes when value is given).
    CComPtr<IHTMLElement> Element(const std::wstring& name, const wchar_t* value = nullptr);
    void SetText(const std::wstring& name, const std::wstring& text);
    void SetChecked(const std::wstring& name, const wchar_t* value, bool checked);
    void SelectOption(const std::wstring& name, long index, bool selected);

private:
    std::vector<CComPtr<IHTMLElement>> All();
    torva::browser::ComPtr<torva::browser::HtmlDocument> m_page;
};

// The add-in's data access object. Every database, crypto and authentication
// call is one exchange with the 32-bit relay program, which this object
// starts on first use and the last counted store of the process ends.
//
// Handle cells: a database or key handle travels as a block from the COM
// task allocator holding the relay's 64-bit handle. The open and create calls
// hand one out; the close calls free it whatever happens and null the
// caller's pointer.
//
// Threads: any thread may call; exchanges are serialised by the process-wide
// request lock. A call re-entered through the message pump of a waiting call
// on the same thread fails at once with 13.
#pragma once

#include "CDataOption.h"
#include "CDataWebForm.h"

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>

#include <cstdint>
#include <string>
#include <vector>

using ZentripCell = std::uint64_t; // what a handle cell holds

inline constexpr DWORD kZentripFailure = 13;
inline constexpr DWORD kCryptFailure = 0x8001FFFF;

enum eAuthCase : DWORD {
    AUTH_CASE_REGIST = 3, // before a registration is saved
    AUTH_CASE_INPUT = 4,  // before a stored password is filled in
};

class CExpData {
public:
    // counted false: the store inside a submit sink, which neither starts
    // the relay's life nor ends it.
    explicit CExpData(bool counted = true);
    CExpData(const CExpData&) = delete;
    CExpData& operator=(const CExpData&) = delete;
    virtual ~CExpData();

    [[nodiscard]] HANDLE GetSem();
    void PutSem(HANDLE& lock);
    [[nodiscard]] BOOL ExecIERelay(int renew);

    [[nodiscard]] DWORD Zentrip_OpenDB(ZentripCell** db);
    DWORD Zentrip_CloseDB(ZentripCell** db);
    [[nodiscard]] DWORD Zentrip_EnumKey(const ZentripCell* db, const ZentripCell* key, DWORD index,
                                        wchar_t* name, DWORD capacity, DWORD* length);
    [[nodiscard]] DWORD Zentrip_OpenKey(const ZentripCell* db, const wchar_t* path,
                                        ZentripCell** key);
    DWORD Zentrip_CloseKey(const ZentripCell* db, ZentripCell** key);
    [[nodiscard]] DWORD Zentrip_CreateKey(const ZentripCell* db, const wchar_t* path,
                                          ZentripCell** key);
    [[nodiscard]] DWORD Zentrip_DeleteKey(const ZentripCell* db, const ZentripCell* parent,
                                          const wchar_t* name);
    [[nodiscard]] DWORD Zentrip_QueryValue(const ZentripCell* db, const ZentripCell* key,
                                           const wchar_t* name, DWORD* type, BYTE* data,
                                           DWORD* size);
    [[nodiscard]] DWORD Zentrip_SetValue(const ZentripCell* db, const ZentripCell* key,
                                         const wchar_t* name, DWORD type, const BYTE* data,
                                         DWORD size);
    [[nodiscard]] DWORD Zentrip_DeleteValue(const ZentripCell* db, const ZentripCell* key,
                                            const wchar_t* name);
    // mode 1 encrypts, 2 decrypts.
    [[nodiscard]] DWORD Zentrip_Crypt(int mode, const BYTE* input, DWORD inputLength, BYTE* output,
                                      DWORD capacity, DWORD* outputLength);
    [[nodiscard]] BOOL IsAuthent(eAuthCase authCase);

    // Database and keys, with the retry rule for keys (CExpDataValues.cpp).
    [[nodiscard]] BOOL OpenDB(ZentripCell** db);
    void CloseDB(ZentripCell** db);
    // Up to five tries; 0, 4 (nothing stored) and 8 (no such key) end at once.
    [[nodiscard]] DWORD OpenKey(const ZentripCell* db, const wchar_t* path, ZentripCell** key);
    void CloseKey(const ZentripCell* db, ZentripCell** key);
    [[nodiscard]] DWORD CreateKey(const ZentripCell* db, const wchar_t* path, ZentripCell** key);

    std::wstring GetStringValue(const ZentripCell* db, const ZentripCell* key, const wchar_t* name);
    void SetStringValue(const ZentripCell* db, const ZentripCell* key, const wchar_t* name,
                        const std::wstring& text);
    // -1 when the value is missing or cannot be read whole.
    std::int32_t GetDwordValue(const ZentripCell* db, const ZentripCell* key, const wchar_t* name);
    // The stored bytes of a value, read whole (one exchange when it fits the
    // first buffer); false, and bytes empty, when it is missing or unreadable.
    bool ReadValueBytes(const ZentripCell* db, const ZentripCell* key, const wchar_t* name,
                        DWORD& type, std::vector<BYTE>& bytes);
    void SetDwordValue(const ZentripCell* db, const ZentripCell* key, const wchar_t* name,
                       DWORD value);
    [[nodiscard]] DWORD CreateValue(const ZentripCell* db, const ZentripCell* key,
                                    const wchar_t* name, const std::wstring& text);
    [[nodiscard]] DWORD CreateValue(const ZentripCell* db, const ZentripCell* key,
                                    const wchar_t* name, DWORD value);

    // Encrypted values (CExpDataCrypt.cpp). The read closes the key (and
    // nulls it) whenever it attempts a decryption.
    std::wstring GetStringValue_Decord(const ZentripCell* db, ZentripCell** key,
                                       const wchar_t* name);
    [[nodiscard]] DWORD SetStringValue_Encord(const ZentripCell* db, const ZentripCell* key,
                                              const wchar_t* name, const std::wstring& text);
    [[nodiscard]] DWORD CreateValue_Encord(const ZentripCell* db, const ZentripCell* key,
                                           const wchar_t* name, const std::wstring& text);

    // Options (CExpDataOptions.cpp).
    [[nodiscard]] BOOL GetOptionData();
    void SetOptionData();

    // URL list (CExpDataUrlList.cpp).
    enum { URL_RENEW = 0, URL_ADD = 1, URL_DELETE = 2, URL_DELETEALL = 3 };
    [[nodiscard]] BOOL SetURLData(int operation, const std::wstring& url = {},
                                  const std::wstring& pageKey = {});
    std::wstring SearchSubKeyFromURL(const std::wstring& url);
    // As SearchSubKeyFromURL, but false when the URL list could not be read
    // (its lock not had in time), which is not the same as a page that was
    // never stored (true with an empty key).
    [[nodiscard]] bool FindPageKey(const std::wstring& url, std::wstring& pageKey);
    static std::wstring GetSubKey(const std::wstring& path);

    // The document, or the first frame document depth first, whose URL is
    // exactly url; a new reference the caller releases, or null.
    static IHTMLDocument2* GetHtmlDocument(IHTMLDocument2* document, const std::wstring& url);

    // Element tests of the capture (CExpDataHtml.cpp); case of A-Z ignored.
    // FALSE when the type (tag) is the expected one; otherwise TRUE, and
    // *storable = 1 when the element is a storable control of another kind.
    static BOOL CheckTypeName(const std::wstring& expected, const std::wstring& type,
                              int* storable);
    // Takes over the caller's reference to element and releases it.
    static BOOL CheckTagName(const std::wstring& expected, const std::wstring& tag, int* storable,
                             IHTMLElement* element);

    // The stored web-form tree (CExpDataPages.cpp, CExpDataPageLoad.cpp).
    // Non-zero when the page was not completely stored.
    [[nodiscard]] int SetWebPageData(CDataWebForm* pWebForm, CDataWebItem* pSelItem);
    [[nodiscard]] BOOL AddWebForm(CDataWebForm* pWebForm);
    [[nodiscard]] BOOL AddWebForm(CDataWebForm* pWebForm, CDataWebItem* pSelItem);
    [[nodiscard]] BOOL AddWebItem(CDataWebItem* pItem, int fCreateItemKey);
    [[nodiscard]] BOOL UpdateWebForm(CDataWebForm* pWebForm, CDataWebItem* pSelItem);
    // TRUE when the page is no longer stored (its key does not open), also
    // when it had gone before; only then are its URL pairs dropped. FALSE
    // leaves the page stored, serving its URL: a caller replacing the page
    // must not store the new one then.
    BOOL DeleteWebPageData(CDataWebForm* pWebForm);
    void DeleteWebItem(CDataWebItem* pSelItem);
    void ReleaseAutoSet(CDataWebForm* pWebForm, CDataWebItem* pKeep);
    void SetChangeFlag(CDataWebForm* pWebForm);
    // A new page owned by the caller, or null; only a page whose stored URL
    // is the one asked for.
    [[nodiscard]] CDataWebForm* GetWebPageData(const std::wstring& url, int decrypt);
    void GetWebFormDataEncrypt(CDataWebForm* pWeb);

    // The toolbar's combo box of stored entries (CExpDataComboBox.cpp).
    // Appends the URL of document and, depth first, of its frames to urls,
    // each URL once.
    static void GetURLName(IHTMLDocument2* document, std::vector<std::wstring>& urls);
    // Refills combo with the named entries stored for the browser's page and
    // its frames; each line's item data is a heap std::wstring (the stored
    // page's URL) that DeleteComboBoxItem frees. TRUE when a line was added.
    // Never decrypts, so never asks for authentication.
    BOOL SetComboBox(HWND combo, IWebBrowser2* browser);
    // Frees every line's URL string and empties the box.
    static void DeleteComboBoxItem(HWND combo);

    // Fills the stored entry named entryName (empty: the page's automatic
    // entry) into its form on the page at url shown by browser, after the
    // user has authenticated, and submits it when the entry says so (an
    // addin_fill operation: it may show the re-registration question and
    // the registration dialog). 1 filled, 0 nothing to fill, -1 failure or
    // refusal. Browser UI thread only. url and entryName are taken by value:
    // the call runs modal loops and relay waits that dispatch messages, and
    // the caller's strings (a combo box line's) may be freed meanwhile.
    [[nodiscard]] int AutoInput(IWebBrowser2* browser, std::wstring url, std::wstring entryName);

    CDataOption m_option;
    std::int32_t m_nBrowserEnabled = 1; // 0 while the browser window is disabled
    std::int32_t m_nCryptUsable = 1;    // 0: encrypted values read empty, writes skipped
    IWebBrowser2* m_pBrowser = nullptr; // not owned; set by the owner
    // The combo line of the last automatic entry SetComboBox added; -1 none.
    std::int32_t m_nPreselectedIndex = -1;

private:
    // The first free numbered key under parent: false when the enumeration
    // failed part way or no candidate answered "not found".
    [[nodiscard]] bool NextFreeKey(const ZentripCell* db, const ZentripCell* parentKey,
                                   const std::wstring& parentPath, const wchar_t* stem,
                                   std::wstring& path);
    // The full paths of parent's sub keys; false when the enumeration failed
    // before its end.
    [[nodiscard]] bool EnumSubKeys(const ZentripCell* db, const ZentripCell* parentKey,
                                   std::vector<std::wstring>& paths);
    [[nodiscard]] bool WriteCtrl(const ZentripCell* db, const CDataWebItem& item,
                                 CDataWebCtrl& ctrl);
    [[nodiscard]] bool UpdateCtrl(const ZentripCell* db, CDataWebCtrl& ctrl);
    void LoadCtrl(const ZentripCell* db, CDataWebCtrl& ctrl, int decrypt);
    // Lists a page just stored, ahead of the pages registered before it for
    // the same URL, as a renew of the list would; under the URL-list lock.
    void UrlListAddPage(const CDataWebForm& page);
    // Drops every URL pair of a deleted page, under the URL-list lock.
    void UrlListRemovePage(const std::wstring& pageKey);
    // The stored password name of key in clear into value; false when it
    // could not be had so (crypt-usable flag 0, a failed read or decryption;
    // value is then empty). A missing or empty value is had in clear. Closes
    // the key whenever it attempts a decryption.
    [[nodiscard]] bool ReadClearPassword(const ZentripCell* db, ZentripCell** key,
                                         const wchar_t* name, std::wstring& value);
    // Writes a password value: encrypted when it is not empty. False when it
    // was not written: a non-empty one while the crypt-usable flag is 0, a
    // failed encryption or write.
    [[nodiscard]] bool WritePassword(const ZentripCell* db, const ZentripCell* key,
                                     const std::wstring& text);
    // Disables the browser's window for a crypto call and enables it again.
    void DisableBrowser();
    void EnableBrowser();
    // One request under the request lock: false when the lock, the relay or
    // the reply could not be had.
    [[nodiscard]] bool Request(const std::vector<BYTE>& request, DWORD replyWait,
                               std::vector<BYTE>& reply);

    [[nodiscard]] DWORD KeyCall(std::uint32_t type, const ZentripCell* db, const wchar_t* path,
                                ZentripCell** key);
    [[nodiscard]] DWORD NamedKeyCall(std::uint32_t type, const ZentripCell* db,
                                     const ZentripCell* key, const wchar_t* name);

    bool m_counted;
    // The browser's window DisableBrowser disabled, until EnableBrowser.
    HWND m_hDisabledWindow = nullptr;
};

// The one in-memory copy of everything the export utility shows and exports,
// filled once at start-up by Load and read-only afterwards (the report view
// and the export worker read it without locking). Every source is optional:
// what cannot be read keeps its default and the load goes on; nothing is
// written back except the application-data defaults of CKeepData.
#pragma once

#include "AppDataRecords.h"
#include "CryptApi.h"
#include "DBAccess.h"
#include "DbApi.h"
#include "Peltrix.h"
#include "ExportStoreModel.h"
#include "SecretText.h"

#include <string>
#include <vector>

class CExportStore {
public:
    explicit CExportStore(const DbApi& db = LibraryDbApi(),
                          const CryptApi& crypt = LibraryCryptApi());
    virtual ~CExportStore();
    CExportStore(const CExportStore&) = delete;
    CExportStore& operator=(const CExportStore&) = delete;

    // 0 when the user's database cannot be opened, else 1. Takes the
    // default texts from the string cache, which must be loaded by then.
    int Load();

    // The item carrying the tree handle, with its page's texts; null when none.
    const WebItemNode* FindWebItemByTreeItem(void* treeItem, std::wstring* title, std::wstring* url,
                                             std::wstring* updateDate) const;
    int HasAuthInfo(int32_t deviceKind) const;
    const AuthInfoNode* FindAuthInfo(int32_t deviceKind) const;
    std::wstring GetPinCacheText() const;

    // Read by the secret-field encoder; set by the export command.
    void SetExportPassphrase(const std::wstring& passphrase) {
        m_passphrase = SecretText(passphrase);
    }
    const SecretText& ExportPassphrase() const noexcept { return m_passphrase; }

    const WebFormOptions& Options() const noexcept { return m_options; }
    int32_t PolicyValue(int i) const { return m_policies[i]; }
    const AuthRuleRecord& Rule() const noexcept { return m_rule; }
    const TouchAuthRecord& Touch() const noexcept { return m_touch; }
    const std::vector<std::unique_ptr<AuthInfoNode>>& AuthInfo() const noexcept {
        return m_authInfo;
    }
    const std::vector<std::unique_ptr<WebPageNode>>& Pages() const noexcept { return m_pages; }
    std::vector<std::unique_ptr<WebPageNode>>& Pages() noexcept { return m_pages; }
    const CDataAplList& Applications() const noexcept { return m_applications; }
    const CKeepData& KeepData() const noexcept { return m_keepData; }
    // Whether the decryption of stored passwords is still attempted.
    int32_t DecryptEnabled() const noexcept { return m_decryptEnabled; }

private:
    // Steps of Load (ExportStoreAuth.cpp, ExportStoreWebForms.cpp).
    void LoadAuthentication();
    void LoadLogonMode();
    void LoadRuleOptionText();
    void LoadTouchAuthentication();
    void LoadDeviceSecrets(TVRAUTH_HSESSION session, int32_t kind, int slots,
                           const wchar_t* prefix);
    // TvrCT_PassDecrypt of input into output[0, capacity); false when it failed.
    bool PassDecrypt(const SecretText& passphrase, const std::vector<BYTE>& input, BYTE* output,
                     DWORD capacity, DWORD* length);
    void LoadDeviceInformation(const wchar_t* prefix, int number, AuthSlot& slot);
    void LoadPolicies(TVRDB_HDB db);
    void LoadOptions(TVRDB_HDB db);
    void LoadApplicationData();
    void LoadWebPages(TVRDB_HDB db);
    void LoadWebItem(TVRDB_HDB db, WebItemNode& item);
    void LoadWebControl(TVRDB_HDB db, WebControlNode& control);

    // Reading rules shared by the steps.
    DWORD OpenKeyWithRetries(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key);
    bool ReadBytes(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name, std::vector<BYTE>& bytes);
    int32_t ReadDword(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name);
    std::wstring ReadText(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name);
    // Notes the stored password of control for DecryptPasswords.
    void ReadPassword(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name, WebControlNode& control);
    // Decrypts every noted password on several threads: each costs the
    // user key's unprotecting, and a page tree holds thousands.
    void DecryptPasswords();
    // Empty, with *unread set, when the stored form cannot be decrypted.
    std::wstring DecryptPassword(const std::vector<BYTE>& stored, bool* unread) const;
    void EnumSubKeys(TVRDB_HDB db, TVRDB_HKEY key, std::vector<std::wstring>& names);

    const DbApi& m_dbApi;
    const CryptApi& m_cryptApi;

    WebFormOptions m_options;
    int32_t m_policies[kPolicyCount];
    AuthRuleRecord m_rule;
    TouchAuthRecord m_touch;
    std::vector<std::unique_ptr<AuthInfoNode>> m_authInfo;
    std::vector<std::unique_ptr<WebPageNode>> m_pages;
    CDataAplList m_applications;
    CKeepData m_keepData;
    struct PendingPassword {
        WebControlNode* control;
        std::vector<BYTE> stored;
    };
    std::vector<PendingPassword> m_pendingPasswords;
    SecretText m_passphrase;
    std::wstring m_spareText;
    int32_t m_decryptEnabled = 1;
};

// The management dialog's data side: the whole web-form tree in memory
// with the edit states that the dialog's commands set, its load, its save,
// and the thin layer over the database and crypto libraries that both use.
//
// Threads: the load runs on the loader thread before the tree exists, a save
// on the apply or OK worker while the dialog is disabled (or on the main
// thread for the copy's save); never two at once. The dialog fields below
// belong to the user-interface thread: a worker reads them only through
// UpdateDialogFields.
#pragma once

#include "BoundSnapshot.h"
#include "CDataOption.h"
#include "CDataWebForm.h"
#include "CDialog.h"
#include "CExplorer_item.h"
#include "DpiScaler.h"
#include "Win32Handles.h"

#include "Brisbel.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace mablix {
class CNotifyMsg;
class CUpdateMsg;
} // namespace mablix

class CTvrIEToolDlg : public CDialog {
public:
    // The dialog resource.
    static constexpr UINT IDD = 102;
    // The manager's result for a database call made without a database or key.
    static constexpr DWORD kNoHandle = 13;

    explicit CTvrIEToolDlg(CWnd* parent = nullptr);
    CTvrIEToolDlg(const CTvrIEToolDlg&) = delete;
    CTvrIEToolDlg& operator=(const CTvrIEToolDlg&) = delete;
    ~CTvrIEToolDlg() override;

    // Database layer. Every function that closes a handle also nulls the
    // caller's variable.
    virtual BOOL OpenDB(TVRDB_HDB* db);
    void CloseDB(TVRDB_HDB* db);
    // Up to five tries, 100 ms apart, while the database answers neither 0
    // nor 8 (key not found); 8 for a null database.
    virtual DWORD OpenKey(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key);
    void CloseKey(TVRDB_HDB db, TVRDB_HKEY* key);
    DWORD CreateKey(TVRDB_HDB db, const std::wstring& path, TVRDB_HKEY* key);
    DWORD CreateValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name, DWORD value);
    DWORD CreateValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name, const std::wstring& text);
    // Empty when missing, empty or unreadable.
    std::wstring GetStringValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name);
    // -1 when missing, shorter than a DWORD or unreadable.
    std::int32_t GetDwordValue(TVRDB_HDB db, TVRDB_HKEY key, const wchar_t* name);
    // The setters open and close the key themselves; TRUE when written.
    BOOL SetStringValue(TVRDB_HDB db, const std::wstring& path, const wchar_t* name,
                        const std::wstring& text);
    BOOL SetDwordValue(TVRDB_HDB db, const std::wstring& path, const wchar_t* name, DWORD value);
    // Writes through the caller's key and closes it (the variable is nulled).
    BOOL SetDwordValue(TVRDB_HDB db, TVRDB_HKEY* key, const wchar_t* name, DWORD value);
    static std::wstring GetSubKey(const std::wstring& path);
    // Full paths of the key's sub keys in the database's order.
    std::vector<std::wstring> EnumSubKeys(TVRDB_HDB db, TVRDB_HKEY key);

    // Crypto layer. A password is stored encrypted as text (type 2); an
    // empty one as a plain text of 0 bytes. FALSE, with nothing written,
    // when the crypto library is off or fails, or the key does not open.
    BOOL SetStringValue_Encord(TVRDB_HDB db, const std::wstring& path, const wchar_t* name,
                               const std::wstring& text);
    // The clear text, or "" on any failure. While the crypto library is in
    // use the caller's key is closed before it is asked (it may prompt), so
    // this is the last read of that key. clear (may be null) is set to false
    // when a stored non-empty value could not be had in clear.
    std::wstring GetStringValue_Decord(TVRDB_HDB db, TVRDB_HKEY* key, const wchar_t* name,
                                       bool* clear = nullptr);

    // Load and options.
    BOOL GetWebFormData();
    BOOL GetOptionData();

    // Save: TRUE when every write succeeded. A failed save keeps the edit
    // states of what it could not write, so that the next one tries again.
    BOOL SetWebFormData();
    // Writes a new item with new control keys under the page; FALSE (and
    // nothing of it left in the database) when any step failed.
    BOOL AddWebItem(const std::wstring& pageKey, CDataWebItem* item);
    // 1 written, -1 refused or a write failed, -2 database not opened.
    int UpdateWebItem(CDataWebItem* item, int mode);
    BOOL DeleteWebForm(CDataWebForm* page, BOOL remove);
    BOOL DeleteWebItem(const std::wstring& pageKey, CDataWebItem* item);

    // Model queries.
    // TRUE when the preview holds nothing entered for the item.
    BOOL CheckDeleteData(CDataWebItem* item);
    // FALSE, after telling the user, when another item of the page (not in
    // state 4) already has the name.
    BOOL IsItemName(CDataWebForm* page, CDataWebItem* item, const std::wstring& name);
    int GetItemNum(CDataWebForm* page);
    std::wstring CreateCopyName(CDataWebForm* page, const std::wstring& name);
    // A new copy of source in state 6 appended to page: no key, control keys
    // cleared, no element binding, name, AUTOINPUT 0 and AUTOSEND 0.
    CDataWebItem* CopyWebItem(CDataWebForm* page, const CDataWebItem& source,
                              const std::wstring& name);
    // The item's label in the tree: its NAME, or for an unnamed item
    // "名前なし" or its FORMNAME, numbered among its siblings, and "(新規登録)".
    std::wstring GetItemLabel(CDataWebForm* page, CDataWebItem* item);
    CDataWebForm* FindPageOfItem(const CDataWebItem* item) const;
    // Drops every element binding of the preview, and what its elements
    // showed when they were bound; called before each new preview is built.
    void ClearElementBindings();
    // Frees an item of page (removed from its list) and forgets every
    // pointer that the dialog keeps to it.
    void FreeWebItem(CDataWebForm* page, CDataWebItem* item);
    void FreeWebForm(CDataWebForm* page);

    // Edit states of items.
    enum ItemState : std::int32_t {
        kItemNormal = 0,
        kItemCopySaving = 2,
        kItemDeleted = 4,
        kItemPlaceholder = 5,
        kItemCopied = 6,
        kItemAutoInputMoved = 7,
        kItemUnnamed = 8,
    };
    // Edit states of pages.
    enum PageState : std::int32_t { kPageNormal = 0, kPageRetitled = 1, kPageDeleted = 3 };
    // A flag that was never stored (-1) counts as not set.
    static constexpr std::int32_t Flag(std::int32_t value) noexcept {
        return value == -1 ? 0 : value;
    }

    // Pages in database order, owned.
    std::vector<std::unique_ptr<CDataWebForm>> m_pages;
    // Option fields as last read from the database.
    CDataOption m_option;
    // 1: use the crypto library; dropped by its first failure in an operation.
    int m_nCryptUsable = 1;
    // Raised by each save; the dialog shows the saving notice while above 0.
    volatile LONG m_nSaving = 0;

    // Dialog fields (item name 208, form name 211, checks 214, 213, 228, 215).
    std::wstring m_strItemName;
    std::wstring m_strFormName;
    BOOL m_bAutoInput = FALSE;
    BOOL m_bAutoSend = FALSE;
    BOOL m_bChangeFlg = FALSE;
    BOOL m_bHidePwd = TRUE;

    // The item whose node is selected; null when none or not an item.
    CDataWebItem* m_pShownItem = nullptr;
    // The item last put into state 7 with its AUTOINPUT and AUTOSEND before.
    CDataWebItem* m_pAutoInputItem = nullptr;
    std::int32_t m_nAutoInputOld = 0;
    std::int32_t m_nAutoSendOld = 0;
    std::int32_t m_nAutoInputOldState = 0;
    // The item last turned back into a placeholder, with the name it had.
    CDataWebItem* m_pPlaceholderItem = nullptr;
    std::wstring m_strPlaceholderName;

    // Window side: the tree of pages and items built from m_pages, and the
    // item fields shown for the selected node.
    BOOL OnInitDialog() override;
    // Rebuilds the tree from the model; the root is expanded with its pages.
    void SetTreeViewData();
    // The page or item behind a tree node (null for the root).
    CDataWebForm* PageOfNode(HTREEITEM node) const;
    CDataWebItem* ItemOfNode(HTREEITEM node) const;

    // Preview (control 1000): writes temp.htm for the item (an empty form
    // for null) and navigates the control to it; a file that cannot be
    // written shows a blank page and leaves nothing bound.
    void ShowCtrlData(CDataWebItem* item);
    // One piece of the page, written as UTF-8; FALSE when not all was written.
    BOOL WriteHtmlFile(HANDLE file, const std::wstring& text);
    // The control's DownloadComplete: binds the loaded page's elements to
    // the shown item's controls, once per preview.
    void DownloadCompleteExplorerItem();
    // The control's BeforeNavigate2: only the pages the dialog itself opens
    // are loaded; a submission of the preview's form (Enter in its only
    // field) is cancelled, so no typed value ever goes into an address.
    void BeforeNavigate2ExplorerItem(IDispatch* browser, VARIANT* url, VARIANT* flags,
                                     VARIANT* targetFrame, VARIANT* postData, VARIANT* headers,
                                     VARIANT_BOOL* cancel);
    // Each binds one element when it recognises it; TRUE when it did.
    BOOL SetTextElement(IHTMLElement* element, CDataWebItem* item, int clearPassword);
    BOOL SetTextAreaElement(IHTMLElement* element, CDataWebItem* item);
    BOOL SetSelectMenuElement(IHTMLElement* element, CDataWebItem* item);
    BOOL SetInputElement(IHTMLElement* element, CDataWebItem* item);
    // Deletes the preview files this dialog wrote, after the control has
    // left them; a temp.htm that another process wrote stays.
    void DeletePreviewFile();
    // Every closing path's last step: the preview file goes and the
    // caller's window (the toolbar) is told that the manager has closed.
    void CloseDlg();
    // The caller's window from the command line; 0 when none was given.
    int m_nCallerWnd = 0;
    CExplorer_item m_wndExplorer;
    // Commands of the tree and the item pane.
    // Compares the preview (and for status 0 and 4 the name box and check
    // boxes) with the shown item and asks by status: 1 nothing changed, 6 or
    // 7 the answer, 0 a "no" for status 0, -1 a change under status 3.
    int IsChangeOrgData(int status);
    // Rename and open page for a page node, delete for a page or an item,
    // copy for an item.
    void EnablePageBtn();
    // The browser's parameters for a page: "-new " and the URL as one quoted
    // argument, so that no URL can add arguments of its own.
    static std::wstring OpenPageParameters(const std::wstring& url);
    // TRUE once the loader has filled the tree.
    bool IsLoaded() const noexcept { return m_bLoaded; }
    // TRUE while an apply or OK worker runs.
    bool IsSaving() const noexcept { return static_cast<bool>(m_hWorker); }

protected:
    LRESULT OnFields(WPARAM fetch, LPARAM);
    void OnTreeSelChanging(NMHDR* header, LRESULT* result);
    void OnTreeRClick(NMHDR* header, LRESULT* result);
    void OnDelete();
    void OnAccelDelete();
    void OnCopy();
    void OnClear();
    void OnOpenPage();
    void OnCheckAutoInput();
    void OnCheckChangeFlg();
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnClose();
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnSize(UINT type, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* info);
    void OnTimer(UINT_PTR id);
    void OnDestroy();
    LRESULT OnLoaded(WPARAM, LPARAM);
    // Moves the controls for the client size; only when it changed or forced.
    void SetPositionCtrl(bool force);
    // Starts the browser (ShellExecuteW "open" of "iexplore.exe").
    virtual void OpenBrowser(const std::wstring& parameters);
    // The dialog's window thread, or 0 before the window exists. Messages of
    // a worker wait here until the window's thread shows them.
    DWORD m_dwUiThread = 0;
    void OnTreeSelChanged(NMHDR* header, LRESULT* result);
    void SetWebItemData();
    void OnTreeBeginLabelEdit(NMHDR* header, LRESULT* result);
    void OnTreeEndLabelEdit(NMHDR* header, LRESULT* result);
    void OnRename();
    void OnApply();
    // Hides or shows the item pane by halving or doubling the width.
    void OnPaneToggle();
    // Saves; the dialog closes only when everything was written.
    void OnOK() override;
    // Asks before unsaved edits of the tree are given up.
    void OnCancel() override;

public:
    // Accelerators 132 (F2 rename, Delete), except while an edit box has the
    // focus, where the keys belong to the text.
    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    DECLARE_MESSAGE_MAP()
    DECLARE_EVENTSINK_MAP()
    void DoDataExchange(CDataExchange* dx) override;

    // The fields from the controls (TRUE) or into them, on the window's own
    // thread: WM_USER+60 is sent to the dialog with wParam 1 or 0.
    virtual void UpdateDialogFields(BOOL fetch);
    virtual int ShowMessage(const wchar_t* text, UINT type);
    // This save's UPDATEDATE, "%Y/%m/%d %H:%M:%S" in local time.
    virtual std::wstring GetSaveTime();
    virtual DWORD EncryptData(const BYTE* input, DWORD length, BYTE* output, DWORD capacity,
                              DWORD* produced);
    virtual DWORD DecryptData(const BYTE* input, DWORD length, BYTE* output, DWORD capacity,
                              DWORD* produced);

private:
    // Posted by the loader when it has ended.
    static constexpr UINT kLoadedMessage = WM_USER + 55;
    // Sent by UpdateDialogFields to the window's own thread.
    static constexpr UINT kFieldsMessage = WM_USER + 60;
    static DWORD WINAPI LoaderThread(void* dialog);
    static DWORD WINAPI SaveThread(void* dialog);
    // Takes the fields and the bound values, disables the dialog and starts
    // the worker polled by timer (1 apply, 2 OK). FALSE when one runs.
    BOOL StartSaveWorker(UINT_PTR timer);
    void EndSaveWorker(UINT_PTR timer, DWORD exitCode);
    // Rebuilds the tree and selects the item shown before, if it is left.
    void RefillTree();
    // Selects a node without the leave question.
    void SelectNode(HTREEITEM node);
    HTREEITEM FindItemNode(const CDataWebItem* item) const;
    void RefreshItemLabels(CDataWebForm* page);
    // The pane's fields differ from the shown item (name box, check boxes).
    bool PaneDiffers(CDataWebItem* item, bool withAutoInput) const;
    void RestoreLeftEdits(CDataWebItem* item);
    // Gives the item last put into state 7 its state and flags back.
    void RestoreAutoInputItem();
    void DeleteSelected();
    void CopySelected();
    void CentreWindow();
    int MinTrackWidth();

    void LoadPage(TVRDB_HDB db, CDataWebForm& page);
    bool LoadItem(TVRDB_HDB db, CDataWebItem& item);
    bool LoadCtrl(TVRDB_HDB db, CDataWebCtrl& ctrl);
    void LoadChoices(TVRDB_HDB db, CDataWebCtrl& ctrl);
    bool WriteNewCtrl(TVRDB_HDB db, const CDataWebCtrl& ctrl, const std::wstring& ctrlKey);
    bool WriteBoundValues(TVRDB_HDB db, CDataWebItem& item);
    bool SaveItem(TVRDB_HDB db, CDataWebForm& page, CDataWebItem& item, bool& written);
    bool SaveNewOrUnnamed(CDataWebForm& page, CDataWebItem& item, bool& written);
    bool SaveHidePwd(TVRDB_HDB db);
    void ForgetItem(const CDataWebItem* item);
    // Values the last UpdateWebItem wrote: a successful update that found
    // nothing changed leaves its page's UPDATEDATE alone.
    int m_nUpdateWrites = 0;
    HIMAGELIST m_hImages = nullptr;
    // One end per label edit: the tree may report the end again as its
    // editor loses the focus.
    bool m_bLabelEditing = false;
    bool m_bPaneShown = true;
    HACCEL m_hAccel = nullptr;
    // The preview: the files written, the item the page was written for,
    // and whether its load is still to be bound.
    void NavigatePreview(const std::wstring& url);
    std::vector<std::wstring> m_previewFiles;
    CDataWebItem* m_pPreviewItem = nullptr;
    bool m_bBindPending = false;
    // What the bound elements showed when the page had loaded, before the
    // user could touch them (the browser's own choices among them), and the
    // copy of it that a save worker reads. An unnamed item's own preview is
    // nothing entered: its edits are what differs from this.
    mablix::BoundSnapshot m_boundPreview;
    mablix::BoundSnapshot m_boundPreviewForSave;
    void TakeBoundPreview(const CDataWebItem& item);
    // The record above for the calling thread: the save worker's copy while
    // it runs, else the window's own.
    const mablix::BoundSnapshot& BoundPreview() const;
    // Set while the dialog's own Navigate runs.
    bool m_bNavigating = false;

    // Loading and saving.
    torva::JoinedThread m_hLoader;
    bool m_bLoaded = false;
    torva::JoinedThread m_hWorker;
    UINT_PTR m_nWorkerTimer = 0;
    std::unique_ptr<mablix::CNotifyMsg> m_pNotifyMsg;
    std::unique_ptr<mablix::CUpdateMsg> m_pUpdateMsg;
    mablix::BoundSnapshot m_snapshot;
    std::mutex m_messagesLock;
    std::vector<std::pair<std::wstring, UINT>> m_workerMessages;
    // A selection made by the dialog itself asks nothing.
    bool m_bSelecting = false;

    // Layout.
    RECT m_rcOpening{};
    int m_nWorkAreaWidth = 0;
    RECT m_rcLastClient{};
    HICON m_hIcon = nullptr;
    DpiScaler m_scaler;
};

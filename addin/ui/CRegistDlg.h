// The registration dialog "登録" (template 212): the user registers or edits
// the stored data of the forms of the page shown in the browser.
//
// The dialog reads the live page into a page form (one item per FORM), lists
// the items, writes an HTML copy of the selected item's form to a temporary
// file, shows that copy in its embedded browser and lets the user edit the
// values there; OK and Apply read them back and save them through the
// dialog's own store on a worker thread.
//
// Use: construct, DoModal (IDOK when OK saved, IDCANCEL otherwise), then read
// SaveFlag() (1 once anything was saved, also by Apply) and destroy.
//
// Threads: UI thread, except the store calls of a save, which run on one
// worker at a time (OK or Apply) while the dialog is disabled; see
// CRegistDlgSave.cpp. The dialog never ends before its worker has ended. The
// document is not owned and must outlive the dialog.
#pragma once

#include "CAxDialogImpl.h"
#include "CComPtr.h"
#include "CDataWebForm.h"
#include "CExpData.h"
#include "CNotifyMsg.h"
#include "DpiScale.h"
#include "res/resource.h"

#include <windows.h>
#include <commctrl.h>
#include <exdisp.h>
#include <mshtml.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CRegistDlg : public CAxDialogImpl<CRegistDlg> {
public:
    enum { IDD = IDD_REGIST };

    // Third constructor argument.
    enum eState : int {
        STATE_NEW = 0,       // new registration
        STATE_OVERWRITE = 1, // page values replace the stored ones
        STATE_ADD = 2,       // the form nSelForm is added as a further item
        STATE_REREGIST = 3,  // the stored page is replaced by a new capture
    };

    // Answered with 1 while the dialog is open (spares its copy file).
    static constexpr UINT WM_REGIST_ALIVE = WM_USER + 401;
    // Private: gives the current row its selection back after a refusal.
    static constexpr UINT WM_REGIST_RESELECT = WM_APP + 0x120;

    // document may be null (nothing is captured). nSelForm: the list row
    // selected first and the form copied in state 2. sender: the submit or
    // image input whose click opened the dialog, or null. A new item's
    // sending button (the one auto-send clicks) is the clicked input when it
    // belongs to the item's form, else the form's first submit or image
    // input.
    CRegistDlg(IHTMLDocument2* document, int nSelForm, int nState, IUnknown* sender = nullptr);
    ~CRegistDlg();
    CRegistDlg(const CRegistDlg&) = delete;
    CRegistDlg& operator=(const CRegistDlg&) = delete;

    // 1 once a save succeeded in this dialog (OK or Apply); callers refresh
    // their views then.
    std::int32_t SaveFlag() const noexcept { return m_nSaveFlg; }
    // 1 once the user authenticated in this dialog.
    std::int32_t AuthentFlag() const noexcept { return m_nAuthent; }
    // Whether a save (OK or Apply) is under way: its worker not reaped yet.
    bool Saving() const noexcept { return m_hOKThread != nullptr || m_hApplyThread != nullptr; }

    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult) override;

    // ---- Capture and copy (public so that tests can reach them directly) --

    // (Re)captures the page and refills the list. FALSE without a document
    // or when the document's elements cannot be read.
    BOOL UpdatePageData();
    // Reads the controls of one FORM into item; the item's control count.
    int GetWebCtrl(IHTMLElement* form, CDataWebItem* item);
    // Writes the copy of item's form and navigates the embedded browser to it.
    void CreateFormHTML(CDataWebItem* item);
    // The copy as it is written to the file, UTF-16 (CreateFormHTML's text).
    std::wstring BuildFormHtml(const CDataWebItem& item) const;

    // ---- State for tests and callers --------------------------------------
    CDataWebForm* PageForm() const noexcept { return m_pWebForm; }
    const std::wstring& TempPath() const noexcept { return m_strTempPath; }
    int CurrentIndex() const noexcept { return m_nCurIndex; }
    int State() const noexcept { return m_nState; }
    CExpData& Store() noexcept { return m_store; }

    // Hands a key message to the copy document's in-place active object
    // (the key forwarding and Enter typed in the copy use it).
    static HRESULT TranslateInCopy(IWebBrowser2* browser, MSG& msg);

protected:
    // Starts the timer that polls the save's worker; 0 when it could not be
    // started (the save is then waited for at once).
    virtual UINT_PTR SetPollTimer(UINT_PTR id, UINT periodMs);

private:
    // Message handlers.
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnLvnItemchangingListItem(int, NMHDR*, BOOL&);
    LRESULT OnLvnItemchangedListItem(int, NMHDR*, BOOL&);
    LRESULT OnClickedOK(WORD, WORD, HWND, BOOL&);
    LRESULT OnClickedCancel(WORD, WORD, HWND, BOOL&);
    LRESULT OnBnClickedButtonOption(WORD, WORD, HWND, BOOL&);
    LRESULT OnBnClickedButtonClear(WORD, WORD, HWND, BOOL&);
    LRESULT OnBnClickedCheckAutoInput(WORD, WORD, HWND, BOOL&);
    LRESULT OnBnClickedButtonApply(WORD, WORD, HWND, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnAlive(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);

    // Capture (CRegistDlgCapture.cpp).
    void SetPositionInfo(IHTMLElement* element, CDataWebItem* item, int index);
    void InsertCtrlList(CDataWebItem* item, CDataWebCtrl* ctrl, int index);
    void SetAddItem();
    bool GetTextElement(IHTMLElement* element, CDataWebItem* item, int index);
    bool GetTextAreaElement(IHTMLElement* element, CDataWebItem* item, int index);
    bool GetSelectElement(IHTMLElement* element, CDataWebItem* item, int index);
    bool GetInputElement(IHTMLElement* element, CDataWebItem* item, int index);
    bool GetInputImageElement(IHTMLElement* element, CDataWebItem* item, int index);
    std::wstring NewRowLabel();
    // The sending button of form: the clicked input when the form holds it,
    // else its first submit or image input; null when it has none.
    CComPtr<IUnknown> FormSender(IHTMLElement* form) const;
    // Whether a new button control made from element is its item's sender:
    // element is the current form's sender and no button of the item is
    // marked yet.
    bool IsSender(IHTMLElement* element, const CDataWebItem* item) const;

    // The list (CRegistDlg.cpp).
    int InsertRow(const std::wstring& label, const std::wstring& formName, CDataWebItem* item);
    CDataWebItem* RowItem(int row) const;
    std::wstring RowText(int row) const;
    int RowOf(const CDataWebItem* item) const; // -1 when no row carries it
    void SelectRow(int row);

    // Copy and fill (CRegistDlgCopy.cpp). The setters attach the copy's
    // elements to the item's controls; TRUE when the element matched one.
    void FillCopy();
    BOOL SetTextElement(IHTMLElement* element, CDataWebItem* item, int passwordFlag);
    BOOL SetTextAreaElement(IHTMLElement* element, CDataWebItem* item);
    BOOL SetSelectMenuElement(IHTMLElement* element, CDataWebItem* item);
    BOOL SetInputElement(IHTMLElement* element, CDataWebItem* item);
    IHTMLDocument2* CopyDocument() const; // new reference, or null

    // Editing and saving (CRegistDlgEdit.cpp, CRegistDlgSave.cpp).
    int Ask(const wchar_t* text, const wchar_t* caption); // IDYES or IDNO
    LRESULT OnReselect(UINT, WPARAM, LPARAM, BOOL&);
    int IsChageItemData(int nStatus);
    int IsChangeCtrlData(int nStatus);
    void EnableAutoCheck();
    void DeleteCopyFile();
    struct SaveJob;
    // UI thread: validation (1 go on, 0 nothing selected, -1 refused with a
    // message) and the job the worker runs, read from the copy.
    int ValidateSave(SaveJob& job);
    void Refuse(HWND box, const wchar_t* text); // a validation message
    void BuildSaveJob(SaveJob& job);
    void StartSave(bool ok);
    static unsigned __stdcall OKBtnThread(void* param);
    static unsigned __stdcall ApplyThread(void* param);
    // Worker: the store calls of the job; touches no window and no element.
    void RunSave(SaveJob& job);
    // UI thread: waits for the worker (answering sent messages meanwhile)
    // and forgets its handle; the notice goes with it.
    void JoinWorker() noexcept;
    // UI thread, worker ended: takes over what the worker did.
    void FinishSave(bool ok);
    // What a successful save changed, into the listed page form.
    void TakeSavedForm(SaveJob& job);
    void EndSaved(); // the end of a successful OK

    // Window and layout (CRegistDlgLayout.cpp).
    void SetPositionCtrl(int fChange);
    void InstallKeyForwarding();
    void RemoveKeyForwarding();
    HWND CopyWindow() const;

    // Controls.
    HWND m_hTitle = nullptr;            // 206
    HWND m_hUrl = nullptr;              // 211
    HWND m_hDate = nullptr;             // 214
    HWND m_hList = nullptr;             // 209
    HWND m_hItemName = nullptr;         // 218
    HWND m_hFormName = nullptr;         // 220
    HWND m_hFoldBtn = nullptr;          // 216
    IWebBrowser2* m_pBrowser = nullptr; // control 219, one reference held

    IHTMLDocument2* m_pDocument; // not owned
    int m_nCurIndex = -1;

    HWND m_hAutoSend = nullptr;  // 226
    HWND m_hAutoInput = nullptr; // 229
    HWND m_hHidePwd = nullptr;   // 233
    HWND m_hChangeFlg = nullptr; // 247

    std::int32_t m_nSaveFlg = 0;
    std::int32_t m_nAuthent = 0;
    std::int32_t m_nExpanded = 1;
    RECT m_rcClient{};
    DpiScale m_scale;
    int m_nScreenWidth = 0;

    CDataWebForm* m_pWebForm = nullptr;     // owned
    CDataWebForm* m_pReplaceForm = nullptr; // owned; state 3 only
    CDataWebItem* m_pAddItem = nullptr;     // state 2's copy during a capture
    int m_nGuard = 1;

    CExpData m_store;
    std::wstring m_strTempPath;
    int m_nSelForm;
    int m_nState;
    CComPtr<IUnknown> m_pSender;     // the clicked input (identity), or null
    CComPtr<IUnknown> m_pFormSender; // the sending button of the form being read
    int m_nRowCounter = 0;           // running number of the "アイテム%d" rows

    // One worker at a time: at most one of the two handles is set.
    HANDLE m_hApplyThread = nullptr;
    HANDLE m_hOKThread = nullptr;
    std::unique_ptr<SaveJob> m_job; // the running save's; the worker's while it runs
    bool m_fillPending = false;     // timer 1 was stopped by a save before it filled
    CNotifyMsg m_notify;
    volatile LONG m_nNotifyCount = 0;

public:
    // The key forwarding of this dialog's copy window (CRegistDlgLayout.cpp);
    // each dialog has its own, so dialogs of other threads do not disturb it.
    struct KeyForwarding {
        WNDPROC previous = nullptr;
        IWebBrowser2* browser = nullptr; // this dialog's; not owned
        HWND window = nullptr;
        bool installed = false;
    };

private:
    KeyForwarding m_forwarding;
};

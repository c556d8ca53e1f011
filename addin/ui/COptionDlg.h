// The web-form options as seven check boxes ("オプション設定"). Boxes that only
// matter while another is set are enabled only then; discarding edits asks
// first; OK saves on a worker thread while the notice window asks the user
// to wait, and the dialog closes with IDOK once the options are stored.
//
// Threads: everything but the save runs on the UI thread that owns the
// dialog. The worker touches no window: the UI thread reads the boxes and
// disables the dialog before starting it, and polls it with timer 1 (every
// 10 ms) until it has ended. The worker uses only the dialog's store and the
// record handed to it; the UI thread reads them again only after the worker
// has ended. A dialog destroyed while the worker runs (for whatever reason)
// waits for it on WM_DESTROY, so neither thread nor notice window outlives
// the dialog.
#pragma once

#include "CAxDialogImpl.h"
#include "CDataOption.h"
#include "CExpData.h"
#include "CNotifyMsg.h"
#include "DpiScale.h"
#include "Win32Handles.h"
#include "res/resource.h"

#include <windows.h>

#include <atomic>

class COptionDlg : public CAxDialogImpl<COptionDlg> {
public:
    enum { IDD = IDD_OPTION };

    // The timer that polls the worker, and its period.
    static constexpr UINT_PTR kPollTimer = 1;
    static constexpr UINT kPollMs = 10;

    COptionDlg() = default;
    ~COptionDlg();

    // Whether a save is under way (the worker has not been reaped yet).
    bool Saving() const noexcept { return static_cast<bool>(m_worker); }
    // The options shown when the dialog opened: the reference for edits.
    const CDataOption& LoadedOptions() const noexcept { return m_loaded; }

    BEGIN_MSG_MAP(COptionDlg)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    COMMAND_HANDLER(IDOK, BN_CLICKED, OnClickedOK)
    COMMAND_HANDLER(IDCANCEL, BN_CLICKED, OnClickedCancel)
    COMMAND_HANDLER(IDC_OPTION_STOPFUNC, BN_CLICKED, OnClickedStop)
    COMMAND_HANDLER(IDC_OPTION_SETAUTO, BN_CLICKED, OnClickedAutoInput)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnClickedOK(WORD, WORD, HWND, BOOL&);
    LRESULT OnClickedCancel(WORD, WORD, HWND, BOOL&);
    LRESULT OnClickedStop(WORD, WORD, HWND, BOOL&);
    LRESULT OnClickedAutoInput(WORD, WORD, HWND, BOOL&);
    LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);

    // Enables or disables the boxes that only matter while the feature runs
    // (204, 205, 208, 210).
    void SetStopFunc(BOOL enable) noexcept;
    // Enables or disables the boxes of automatic registration (208, 210).
    void SetAutoInput(BOOL enable) noexcept;
    // The seven check states into option's seven flags (1 = checked).
    void GetInputOptionData(CDataOption& option) const noexcept;

private:
    static unsigned __stdcall OptionOKThread(void* dialog);
    // The worker's save: true when the options read back as written.
    [[nodiscard]] bool SaveOptions(ZentripCell*& db);
    // Reaps the ended worker: closes the notice, then ends the dialog with
    // IDOK after a save, or reports the failure and stays open.
    void FinishSave() noexcept;
    // Waits for a running worker and forgets it; the notice goes with it.
    void JoinWorker() noexcept;

    CExpData m_store;
    CDataOption m_loaded;  // as shown at start
    CDataOption m_pending; // what the worker stores; read by it only
    DpiScale m_scale;
    CNotifyMsg m_notice;
    std::atomic<bool> m_saved{false}; // the worker's verdict
    torva::UniqueHandle m_worker;     // null while no save runs
};

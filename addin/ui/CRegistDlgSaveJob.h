// The registration dialog's save job (CRegistDlgSave.cpp).
#pragma once

#include "CRegistDlg.h"

#include <memory>
#include <string>

// One save: what the UI thread hands the worker, and what the worker did.
// While the worker runs only it touches the job.
struct CRegistDlg::SaveJob {
    enum Outcome { kNothing, kSaved, kNoDatabase, kRefused, kFailed };

    std::wstring title;
    CDataWebItem* listed = nullptr;     // the listed item (UI thread only)
    std::unique_ptr<CDataWebForm> form; // the page form as it is to be stored
    CDataWebItem* item = nullptr;       // the saved item, in form
    CDataWebForm* replace = nullptr;    // the form to replace (not owned), or null
    bool nothing = false;               // nothing changed: no store call
    bool autoOn = false;                // the item's auto-input was switched on
    int hidePwd = 0;
    int authent = 0;
    Outcome outcome = kFailed;
};

// Scope owners of the dialog's database and key handles: each closes through
// the dialog's wrappers, which null the variable, so that a handle already
// closed by a call that takes it over (a decrypting read, a by-handle
// write) is not closed twice.
#pragma once

#include "CTvrIEToolDlg.h"

class DlgKeyScope {
public:
    DlgKeyScope(CTvrIEToolDlg& dlg, TVRDB_HDB db, TVRDB_HKEY& key) noexcept
        : m_dlg(dlg), m_db(db), m_key(key) {}
    DlgKeyScope(const DlgKeyScope&) = delete;
    DlgKeyScope& operator=(const DlgKeyScope&) = delete;
    ~DlgKeyScope() { m_dlg.CloseKey(m_db, &m_key); }

private:
    CTvrIEToolDlg& m_dlg;
    TVRDB_HDB m_db;
    TVRDB_HKEY& m_key;
};

class DlgDbScope {
public:
    DlgDbScope(CTvrIEToolDlg& dlg, TVRDB_HDB& db) noexcept : m_dlg(dlg), m_db(db) {}
    DlgDbScope(const DlgDbScope&) = delete;
    DlgDbScope& operator=(const DlgDbScope&) = delete;
    ~DlgDbScope() { m_dlg.CloseDB(&m_db); }

private:
    CTvrIEToolDlg& m_dlg;
    TVRDB_HDB& m_db;
};

// The registration dialog's tests: a page of two forms in the browser
// stand-in, the real store (its relay program beside this program) and a
// user played by DialogDriver.
#pragma once

#include "AutoAnswer.h"
#include "CRegistDlg.h"
#include "DialogDriver.h"
#include "HtmlDocument.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

inline constexpr wchar_t kRegistCaption[] = L"登録";

// Where the user looks (driver thread helpers).
struct ListRow {
    std::wstring name;
    std::wstring form;
};
std::vector<ListRow> ReadRows(HWND dialog);
int SelectedRow(HWND dialog);
// Selects a row as a click would (selection and focus).
void ClickRow(HWND dialog, int row);
// The copy's window below the browser control, or null.
HWND CopyServer(HWND dialog);
// The copy's control windows in page order (empty until the copy shows).
std::vector<HWND> CopyControls(HWND dialog);
// The copy's controls of one window class ("Edit", "Button", "ComboBox").
std::vector<HWND> CopyControls(HWND dialog, const wchar_t* windowClass);
// Waits until pred holds; false after timeoutMs.
bool WaitFor(const std::function<bool()>& pred, DWORD timeoutMs = 5000);
// Waits until the copy shows count controls and the fill step has run.
bool WaitForCopy(HWND dialog, size_t count);
// Replaces the text of an edit box as typing would (the copy notices it).
void TypeInto(HWND edit, const std::wstring& text);
void SetBoxText(HWND dialog, int id, const std::wstring& text);
std::wstring BoxText(HWND dialog, int id);
// Presses the message box's button id and waits until it is gone.
bool Answer(HWND box, int button);

class RegistDlgTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The page beside the test program, loaded as the browser would.
    IHTMLDocument2* Page() const { return m_page.get(); }
    std::wstring PageUrl() const;
    // What a fresh store finds for the page (null: nothing stored).
    std::unique_ptr<CDataWebForm> Stored() const;
    // Removes every stored page of the URL.
    void Forget() const;
    // Answers the registration's authentication in advance (1 allow, 2 deny).
    void SetAuthAnswer(DWORD answer);

    // Runs the dialog modally with the script as the user; the dialog's end code.
    INT_PTR Run(CRegistDlg& dialog, DialogDriver::Script script);

    torva::browser::ComPtr<torva::browser::HtmlDocument> m_page;
    std::optional<peltrix::test::AutoAnswer> m_authAnswer;
};

// A control of a stored item by kind and name (null when missing).
const CDataWebCtrl* FindStored(const CDataWebItem& item, int kind, const std::wstring& name);

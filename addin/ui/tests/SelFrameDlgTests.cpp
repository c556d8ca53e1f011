#include "CSelFrameDlg.h"

#include "DialogDriver.h"
#include "HtmlDocument.h"
#include "UiTestSupport.h"
#include "UrlLessDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using torva::browser::ComPtr;
using torva::browser::HtmlDocument;

namespace {

constexpr wchar_t kCaption[] = L"フレーム選択";
constexpr wchar_t kNoSelection[] = L"フレームを選択してください。";

std::wstring UrlOf(IHTMLDocument2* document) {
    BSTR url = nullptr;
    document->get_URL(&url);
    std::wstring text = url ? std::wstring(url, ::SysStringLen(url)) : std::wstring();
    ::SysFreeString(url);
    return text;
}

struct ListLine {
    std::wstring text;
    IHTMLDocument2* document;
};

// What the user sees in the list box (read from the driver thread).
struct ListView {
    std::vector<ListLine> lines;
    LRESULT selected = LB_ERR;
    LRESULT extent = 0;
    int widest = 0; // measured in the list box's font
};

ListView ReadList(HWND dialog) {
    ListView view;
    const HWND list = ::GetDlgItem(dialog, IDC_SELFRAME_LIST);
    const LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::wstring text(static_cast<size_t>(::SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1,
                          L'\0');
        text.resize(static_cast<size_t>(
            ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
        auto* document =
            reinterpret_cast<IHTMLDocument2*>(::SendMessageW(list, LB_GETITEMDATA, i, 0));
        view.widest = std::max(view.widest, static_cast<int>(MeasureInWindowFont(list, text).cx));
        view.lines.push_back({text, document});
    }
    view.selected = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
    view.extent = ::SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0);
    return view;
}

// A page with two frames (the candidates), and documents without a URL.
class SelFrame : public ::testing::Test {
protected:
    void SetUp() override {
        m_page = HtmlDocument::Load(torva::ProgramFolder() + L"ui-pages\\frames.html");
        ASSERT_FALSE(m_page->LoadFailed());
        ASSERT_EQ(m_page->frames().size(), 2u);
        for (const auto& frame : m_page->frames())
            ASSERT_FALSE(frame.document->LoadFailed());
        ASSERT_NE(UrlOf(Frame(0)), UrlOf(Frame(1)));
    }
    void TearDown() override { m_page->Close(); }
    IHTMLDocument2* Frame(size_t index) const { return m_page->frames()[index].document.get(); }
    IHTMLDocument2* NoUrl() { return &m_emptyUrl; }

    UrlLessDocument m_emptyUrl{UrlLessDocument::Answer::EmptyText};
    UrlLessDocument m_nullUrl{UrlLessDocument::Answer::NullText};
    UrlLessDocument m_failingUrl{UrlLessDocument::Answer::Failure};

private:
    ComPtr<HtmlDocument> m_page;
};

} // namespace

TEST_F(SelFrame, ListsOnlyDocumentsWithAUrlAndReturnsTheChosenOne) {
    CSelFrameDlg dialog({&m_nullUrl, Frame(0), &m_emptyUrl, &m_failingUrl, Frame(1)});
    ListView view;
    DialogDriver driver(kCaption, [&](DialogDriver& d) {
        view = ReadList(d.Dialog());
        ::SendMessageW(::GetDlgItem(d.Dialog(), IDC_SELFRAME_LIST), LB_SETCURSEL, 1, 0);
        DialogDriver::Click(d.Dialog(), IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    driver.Join();
    EXPECT_FALSE(driver.LeftOpen());

    ASSERT_EQ(view.lines.size(), 2u);
    EXPECT_EQ(view.lines[0].text, UrlOf(Frame(0)));
    EXPECT_EQ(view.lines[0].document, Frame(0));
    EXPECT_EQ(view.lines[1].text, UrlOf(Frame(1)));
    EXPECT_EQ(view.lines[1].document, Frame(1));
    EXPECT_EQ(view.selected, 0) << "the first line starts selected";
    EXPECT_EQ(view.extent, view.widest) << "the widest URL can be scrolled to";
    EXPECT_EQ(dialog.GetSelectedDocument(), Frame(1));
    EXPECT_EQ(m_nullUrl.UrlReads(), 1);
    EXPECT_EQ(m_emptyUrl.UrlReads(), 1);
    EXPECT_EQ(m_failingUrl.UrlReads(), 1);
}

TEST_F(SelFrame, OkWithTheFirstLineUntouchedChoosesIt) {
    CSelFrameDlg dialog({NoUrl(), Frame(1), Frame(0)});
    DialogDriver driver(kCaption, [&](DialogDriver& d) { DialogDriver::Click(d.Dialog(), IDOK); });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    driver.Join();
    EXPECT_EQ(dialog.GetSelectedDocument(), Frame(1));
}

TEST_F(SelFrame, RefusesOkWithoutSelectionAndStaysOpen) {
    CSelFrameDlg dialog({Frame(0), Frame(1)});
    std::wstring message;
    std::wstring boxCaption;
    HICON icon = nullptr;
    bool openAfterMessage = false;
    bool openBeforeMessage = false;
    DialogDriver driver(kCaption, [&](DialogDriver& d) {
        ::SendMessageW(::GetDlgItem(d.Dialog(), IDC_SELFRAME_LIST), LB_SETCURSEL,
                       static_cast<WPARAM>(-1), 0);
        DialogDriver::Click(d.Dialog(), IDOK);
        const HWND box = DialogDriver::WaitForMessageBox(d.Dialog());
        if (!box) return;
        message = DialogDriver::MessageBoxText(box);
        boxCaption = DialogDriver::Text(box);
        icon = DialogDriver::MessageBoxIcon(box);
        openBeforeMessage = ::IsWindow(d.Dialog());
        if (!DialogDriver::DismissMessageBox(box)) return;
        openAfterMessage = !DialogDriver::WaitUntilGone(d.Dialog(), 200);
        DialogDriver::Click(d.Dialog(), IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_FALSE(driver.LeftOpen());
    EXPECT_NE(message.find(kNoSelection), std::wstring::npos)
        << "message box said: " << testing::PrintToString(message);
    EXPECT_EQ(icon, ::LoadIconW(nullptr, IDI_ERROR)) << "an error message";
    EXPECT_FALSE(boxCaption.empty()) << "the system's default caption";
    EXPECT_NE(boxCaption, kCaption);
    EXPECT_TRUE(openBeforeMessage);
    EXPECT_TRUE(openAfterMessage) << "the dialog stays open for another choice";
    EXPECT_EQ(dialog.GetSelectedDocument(), nullptr);
}

TEST_F(SelFrame, NoDocumentWithAUrlLeavesTheListEmptyAndOkOnlyWarns) {
    CSelFrameDlg dialog({NoUrl()});
    ListView view;
    std::wstring message;
    DialogDriver driver(kCaption, [&](DialogDriver& d) {
        view = ReadList(d.Dialog());
        DialogDriver::Click(d.Dialog(), IDOK);
        const HWND box = DialogDriver::WaitForMessageBox(d.Dialog());
        if (!box) return;
        message = DialogDriver::MessageBoxText(box);
        if (!DialogDriver::DismissMessageBox(box)) return;
        DialogDriver::Click(d.Dialog(), IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_FALSE(driver.LeftOpen());
    EXPECT_TRUE(view.lines.empty());
    EXPECT_EQ(view.selected, LB_ERR);
    EXPECT_NE(message.find(kNoSelection), std::wstring::npos);
    EXPECT_EQ(dialog.GetSelectedDocument(), nullptr);
}

TEST_F(SelFrame, CancelChoosesNothing) {
    CSelFrameDlg dialog({Frame(0), Frame(1)});
    DialogDriver driver(kCaption,
                        [&](DialogDriver& d) { DialogDriver::Click(d.Dialog(), IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    driver.Join();
    EXPECT_EQ(dialog.GetSelectedDocument(), nullptr);
}

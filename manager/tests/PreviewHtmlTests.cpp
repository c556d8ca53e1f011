// The preview page's text, byte for byte against the golden files under
// manager/tests/golden/, and the rules every page keeps whatever it holds.
// MABLIX_WRITE_GOLDEN=1 in the environment writes the files instead (to be
// looked through before they are committed).
#include "PreviewHtml.h"
#include "PreviewSamples.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string ReadFile(const std::wstring& path) {
    std::string bytes;
    if (FILE* file = _wfopen(path.c_str(), L"rb")) {
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.append(buffer, n);
        std::fclose(file);
    }
    return bytes;
}

// Compares the page with its golden file (or writes the file).
void ExpectGolden(const wchar_t* name, const std::wstring& page) {
    const std::wstring path = std::wstring(MABLIX_GOLDEN_DIR) + name;
    const std::string bytes = mablix::ToUtf8(page);
    const char* write = std::getenv("MABLIX_WRITE_GOLDEN");
    if (write && *write == '1') {
        FILE* file = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(nullptr, file);
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        return;
    }
    const std::string golden = ReadFile(path);
    ASSERT_FALSE(golden.empty()) << "no golden file";
    EXPECT_EQ(golden, bytes);
}

std::wstring Page(const CDataWebItem* item, int hidePwd, bool newItem = false,
                  int noMultiText = 0) {
    mablix::PreviewOptions options;
    options.hidePwd = hidePwd;
    options.newItem = newItem;
    options.noMultiText = noMultiText;
    return mablix::BuildPreviewHtml(item, options);
}

} // namespace

TEST(PreviewHtml, EveryControlKindMatchesItsGoldenPageInBothPasswordModes) {
    CDataWebItem item;
    preview_samples::FillSample(item, L"sample");
    ExpectGolden(L"preview-hidepwd1.htm", Page(&item, 1));
    ExpectGolden(L"preview-hidepwd0.htm", Page(&item, 0));
    // A placeholder shows the form without any stored value or choice.
    ExpectGolden(L"preview-new.htm", Page(&item, 0, true));
    ExpectGolden(L"preview-empty.htm", Page(nullptr, 1));
}

TEST(PreviewHtml, PasswordNeverLiesInThePageFile) {
    CDataWebItem item;
    preview_samples::FillSample(item, L"sample");
    for (const int hidePwd : {0, 1}) {
        const std::string bytes = mablix::ToUtf8(Page(&item, hidePwd));
        EXPECT_EQ(std::string::npos, bytes.find(mablix::ToUtf8(preview_samples::kPassword)))
            << "HIDEPWD " << hidePwd;
    }
    // Shown as text, the password input stands between two markers.
    const std::wstring shown = Page(&item, 0);
    EXPECT_NE(
        std::wstring::npos,
        shown.find(L"<!--password-->\npassword(pw)<INPUT TYPE=\"text\" name=\"pw\" size=\"-1\">"
                   L"<!--password-->\n<P>\n"));
    EXPECT_EQ(std::wstring::npos, Page(&item, 1).find(L"<!--password-->"));
}

TEST(PreviewHtml, StoredCharactersAreEscapedWithFourEntitiesOnlyAndEveryValueIsQuoted) {
    EXPECT_EQ(L"&amp;lt; &lt;&gt; &quot;'\u2039\u00E91\u03B1\u00A0",
              mablix::EscapeHtml(L"&lt; <> \"'\u2039\u00E91\u03B1\u00A0"));
    CDataWebItem item;
    AddCtrl(item, D_WEB_CTRL_TEXT, L"a b").TextValue()->m_strValue = L"x\" onfocus=\"y";
    CDataWebCtrl& radio = AddCtrl(item, D_WEB_CTRL_RADIO, L"r");
    radio.SelValue()->Add().m_strValue = L"1 2&";
    radio.SelValue()->m_elements.back()->m_nSelect = 1;
    const std::wstring page = Page(&item, 1);
    EXPECT_NE(std::wstring::npos,
              page.find(L"text(a b)<INPUT TYPE=\"text\" name=\"a b\" value=\"x&quot; "
                        L"onfocus=&quot;y\" size=\"-1\"><P>\n"));
    EXPECT_NE(
        std::wstring::npos,
        page.find(L"1 2&amp;<INPUT TYPE=\"radio\" checked name=\"r\" value=\"1 2&amp;\"><BR>\n"));
}

TEST(PreviewHtml, ButtonChoiceOnlyWithTwoButtonsAndEveryListClosed) {
    CDataWebItem item;
    AddCtrl(item, D_WEB_CTRL_SUBMIT, L"go").ButtonValue()->m_strValue = L"Go";
    EXPECT_EQ(std::wstring::npos, Page(&item, 1).find(L"submitbtnselect"));
    AddCtrl(item, D_WEB_CTRL_IMAGE, L"pic").ButtonValue()->m_strValue = L"<Pic>";
    EXPECT_NE(
        std::wstring::npos,
        Page(&item, 1).find(L"submit button\n<BLOCKQUOTE>\n<SELECT NAME=\"submitbtnselect\">\n"
                            L"<option value=\"Go\">Go\n"
                            L"<option value=\"&lt;Pic&gt;\">&lt;Pic&gt;\n"
                            L"</SELECT>\n</BLOCKQUOTE>\n"));
}

TEST(PreviewHtml, LengthLimitAndTextAreaOption) {
    CDataWebItem item;
    AddCtrl(item, D_WEB_CTRL_TEXT, L"free").TextValue()->m_nDataLen = -1;
    AddCtrl(item, D_WEB_CTRL_TEXT, L"zero").TextValue()->m_nDataLen = 0;
    AddCtrl(item, D_WEB_CTRL_TEXT, L"six").TextValue()->m_nDataLen = 6;
    CDataWebCtrl& memo = AddCtrl(item, D_WEB_CTRL_MULTI, L"memo");
    memo.MultiValue()->m_strText = L"kept out";
    const std::wstring page = Page(&item, 1);
    EXPECT_NE(std::wstring::npos, page.find(L"name=\"free\" size=\"-1\"><P>"));
    EXPECT_NE(std::wstring::npos, page.find(L"name=\"zero\" size=\"0\"><P>"));
    EXPECT_NE(std::wstring::npos, page.find(L"name=\"six\" size=\"6\" maxLength=\"6\"><P>"));
    EXPECT_NE(std::wstring::npos, page.find(L"kept out</textarea><p>"));
    // NOMULTITEXT leaves the text area out altogether.
    const std::wstring without = Page(&item, 1, false, 1);
    EXPECT_EQ(std::wstring::npos, without.find(L"textarea"));
    EXPECT_EQ(std::wstring::npos, without.find(L"kept out"));
}

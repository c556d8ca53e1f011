// Matching stored controls against live forms, on pages made from markup.
#include "FormMatcher.h"
#include "LoginEntry.h"

#include "CComPtr.h"
#include "HtmlCom.h"
#include "HtmlDocument.h"

#include <gtest/gtest.h>

namespace {

using torva::browser::HtmlDocument;

// The first form of a page made from the markup of its body.
class LiveFormElements {
public:
    explicit LiveFormElements(const std::wstring& body)
        : m_page(HtmlDocument::FromMarkup(L"about:blank",
                                          L"<html><body>" + body + L"</body></html>")) {
        CComPtr<IHTMLElementCollection> forms;
        IHTMLDocument2* document = static_cast<IHTMLDocument2*>(m_page.get());
        if (FAILED(document->get_forms(&forms)) || !forms) return;
        CComPtr<IHTMLElement> form;
        if (FAILED(FormMatcher::ElementAt(forms, 0, &form))) return;
        (void)FormControls(form, m_elements, m_count);
    }

    // Matches entry; FAILED results fail the test. textAreasLeftOut: the
    // option that leaves text areas out of captures is on.
    FormMatch Match(const CDataWebItem& entry, bool textAreasLeftOut = false) {
        FormMatch result;
        EXPECT_TRUE(m_elements) << "no form on the page";
        if (!m_elements) return result;
        FormMatcher matcher(m_elements, m_count, textAreasLeftOut);
        EXPECT_EQ(matcher.Match(entry, result), S_OK);
        return result;
    }

private:
    torva::browser::ComPtr<HtmlDocument> m_page;
    CComPtr<IHTMLFormElement> m_elements;
    long m_count = 0;
};

CDataWebItem& Text(CDataWebItem& item, const wchar_t* name, int dataLen) {
    AddCtrl(item, D_WEB_CTRL_TEXT, name).TextValue()->m_nDataLen = dataLen;
    return item;
}

} // namespace

TEST(FormMatcher, MaximumLengthAbove500CountsAsNone) {
    CDataWebItem none;
    Text(none, L"a", -1);
    EXPECT_EQ(LiveFormElements(L"<form><input name=a maxlength=1000></form>").Match(none).matched,
              1);
    EXPECT_EQ(LiveFormElements(L"<form><input name=a></form>").Match(none).matched, 1);
    const FormMatch at500 =
        LiveFormElements(L"<form><input name=a maxlength=500></form>").Match(none);
    EXPECT_EQ(at500.matched, 0);
    EXPECT_TRUE(at500.mismatch);
    CDataWebItem fixed;
    Text(fixed, L"a", 500);
    EXPECT_EQ(LiveFormElements(L"<form><input name=a maxlength=500></form>").Match(fixed).matched,
              1);
}

TEST(FormMatcher, SelectedMarkInAnOptionValueIsIgnored) {
    CDataWebItem item;
    AddChoices(AddCtrl(item, D_WEB_CTRL_SELECT, L"s"), {L"x", L"y"}, 0);
    const FormMatch marked =
        LiveFormElements(
            L"<form><select name=s><option value='x selected'>X<option value=y>Y</select></form>")
            .Match(item);
    EXPECT_EQ(marked.matched, 1);
    EXPECT_FALSE(marked.mismatch);
    const FormMatch other =
        LiveFormElements(
            L"<form><select name=s><option value='x chosen'>X<option value=y>Y</select></form>")
            .Match(item);
    EXPECT_EQ(other.matched, 0);
    EXPECT_TRUE(other.mismatch);
}

TEST(FormMatcher, RadioGroupMatchesOnlyInStoredOrderOneInputPerOption) {
    CDataWebItem item;
    AddChoices(AddCtrl(item, D_WEB_CTRL_RADIO, L"r"), {L"a", L"b", L"c"}, -1);
    Text(item, L"t", -1);
    const FormMatch same =
        LiveFormElements(L"<form><input type=radio name=r value=a><input type=hidden name=h>"
                         L"<input type=radio name=r value=b><input type=radio name=r "
                         L"value=c><input name=t></form>")
            .Match(item);
    EXPECT_EQ(same.matched, 2);
    ASSERT_EQ(same.positions.size(), 2u);
    EXPECT_EQ(same.positions[0], (std::vector<long>{0, 2, 3}));
    EXPECT_EQ(same.positions[1], (std::vector<long>{4}));

    const FormMatch swapped =
        LiveFormElements(L"<form><input type=radio name=r value=a><input type=radio name=r value=c>"
                         L"<input type=radio name=r value=b><input name=t></form>")
            .Match(item);
    EXPECT_TRUE(swapped.mismatch);
    EXPECT_EQ(swapped.matched, 0);
    EXPECT_EQ(swapped.positions[0], (std::vector<long>{0})) << "what matched before stays";

    const FormMatch shorter =
        LiveFormElements(L"<form><input type=radio name=r value=a><input type=radio name=r value=b>"
                         L"<input name=t></form>")
            .Match(item);
    EXPECT_TRUE(shorter.mismatch) << "the text field stands where option c was stored";
}

TEST(FormMatcher, ImageButtonIsKnownByItsAltTextAndSubmitByNameAndValue) {
    CDataWebItem item;
    AddCtrl(item, D_WEB_CTRL_IMAGE, L"stored-name").ButtonValue()->m_strValue = L"Send";
    AddCtrl(item, D_WEB_CTRL_SUBMIT, L"go").ButtonValue()->m_strValue = L"Go";
    EXPECT_EQ(LiveFormElements(L"<form><input type=image name=other alt=Send>"
                               L"<input type=submit name=go value=Go></form>")
                  .Match(item)
                  .matched,
              2);
    EXPECT_TRUE(LiveFormElements(L"<form><input type=image name=stored-name alt=Other>"
                                 L"<input type=submit name=go value=Go></form>")
                    .Match(item)
                    .mismatch);
    EXPECT_TRUE(LiveFormElements(L"<form><input type=image alt=Send>"
                                 L"<input type=submit name=go value=Went></form>")
                    .Match(item)
                    .mismatch);
}

TEST(FormMatcher, ElementMatchingTheLastControlAgainIsCountedAgain) {
    CDataWebItem item;
    AddCtrl(item, D_WEB_CTRL_SUBMIT, L"go").ButtonValue()->m_strValue = L"Go";
    const FormMatch twice = LiveFormElements(L"<form><input type=submit name=go value=Go>"
                                             L"<input type=submit name=go value=Go></form>")
                                .Match(item);
    EXPECT_EQ(twice.matched, 2) << "more than the entry's one control: the form changed";
    EXPECT_EQ(twice.positions[0], (std::vector<long>{0, 1}));
}

TEST(FormMatcher, FillableControlOfAnotherKindIsAMismatchButOtherElementsArePassedOver) {
    CDataWebItem item;
    Text(item, L"a", -1);
    AddCtrl(item, D_WEB_CTRL_PSWD, L"p");
    const FormMatch passed =
        LiveFormElements(
            L"<form><input name=a><input type=hidden name=h><button>b</button>"
            L"<fieldset><input type=button value=x></fieldset><input type=password name=p></form>")
            .Match(item);
    EXPECT_EQ(passed.matched, 2);
    EXPECT_FALSE(passed.mismatch);
    const FormMatch area =
        LiveFormElements(
            L"<form><input name=a><textarea name=n></textarea><input type=password name=p></form>")
            .Match(item);
    EXPECT_TRUE(area.mismatch);
    EXPECT_EQ(area.matched, 1);
}

TEST(FormMatcher, ControlsOfNoFillableKindAreSkippedWherever) {
    CDataWebItem item;
    AddCtrl(item, D_WEB_CTRL_UNUSED, L"x");
    Text(item, L"a", -1);
    AddCtrl(item, 42, L"y");
    AddCtrl(item, D_WEB_CTRL_PSWD, L"p");
    AddCtrl(item, D_WEB_CTRL_UNUSED, L"z");
    const FormMatch match =
        LiveFormElements(L"<form><input name=a><input type=password name=p></form>").Match(item);
    EXPECT_EQ(match.matched, 5);
    EXPECT_FALSE(match.mismatch);
    EXPECT_EQ(match.positions[1], (std::vector<long>{0}));
    EXPECT_EQ(match.positions[3], (std::vector<long>{1}));
    EXPECT_TRUE(match.positions[0].empty() && match.positions[2].empty());
}

TEST(FormMatcher, ChoicesStoredWithoutOptionsNeverMatch) {
    CDataWebItem item;
    AddCtrl(item, D_WEB_CTRL_CHECK, L"c").DeleteValue(); // no ELEMENT key was stored
    const FormMatch match =
        LiveFormElements(L"<form><input type=checkbox name=c value=on></form>").Match(item);
    EXPECT_TRUE(match.mismatch);
    EXPECT_EQ(match.matched, 0);

    CDataWebItem empty;
    AddCtrl(empty, D_WEB_CTRL_RADIO, L"r");
    EXPECT_TRUE(
        LiveFormElements(L"<form><input type=radio name=r value=a></form>").Match(empty).mismatch);
}

TEST(FormMatcher, TextAreaMatchesByNameRowsAndColumns) {
    CDataWebItem item;
    CDataWebCtrl& area = AddCtrl(item, D_WEB_CTRL_MULTI, L"m");
    area.MultiValue()->m_nRows = 3;
    area.MultiValue()->m_nCols = 40;
    EXPECT_EQ(LiveFormElements(L"<form><textarea name=m rows=3 cols=40></textarea></form>")
                  .Match(item)
                  .matched,
              1);
    EXPECT_TRUE(LiveFormElements(L"<form><textarea name=m rows=4 cols=40></textarea></form>")
                    .Match(item)
                    .mismatch);
    EXPECT_TRUE(LiveFormElements(L"<form><textarea name=n rows=3 cols=40></textarea></form>")
                    .Match(item)
                    .mismatch);
}

TEST(FormMatcher, TextAreaIsPassedOverWhereTheEntryHasNoneWhenTextAreasAreLeftOut) {
    CDataWebItem without;
    Text(without, L"a", -1);
    AddCtrl(without, D_WEB_CTRL_SUBMIT, L"go").ButtonValue()->m_strValue = L"Go";
    const std::wstring page = L"<form><input name=a><textarea name=m rows=3 cols=40></textarea>"
                              L"<input type=submit name=go value=Go></form>";
    const FormMatch leftOut = LiveFormElements(page).Match(without, true);
    EXPECT_EQ(leftOut.matched, 2);
    EXPECT_FALSE(leftOut.mismatch);
    EXPECT_TRUE(LiveFormElements(page).Match(without, false).mismatch)
        << "a text area the capture would have taken is a change of the form";

    // An entry captured with its text area still needs it, in its place.
    CDataWebItem with;
    Text(with, L"a", -1);
    CDataWebCtrl& area = AddCtrl(with, D_WEB_CTRL_MULTI, L"m");
    area.MultiValue()->m_nRows = 3;
    area.MultiValue()->m_nCols = 40;
    AddCtrl(with, D_WEB_CTRL_SUBMIT, L"go").ButtonValue()->m_strValue = L"Go";
    const FormMatch kept = LiveFormElements(page).Match(with, true);
    EXPECT_EQ(kept.matched, 3);
    EXPECT_EQ(kept.positions[1], (std::vector<long>{1}));
    EXPECT_TRUE(LiveFormElements(L"<form><input name=a><input type=submit name=go value=Go></form>")
                    .Match(with, true)
                    .mismatch);
}

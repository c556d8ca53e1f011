#include <gtest/gtest.h>

#include "CExportStore.h"
#include "ReportTexts.h"

using namespace vantrel;

namespace {

WebControlNode Control(int32_t kind, WebValueRecord record, const wchar_t* name) {
    WebControlNode control;
    control.kind = kind;
    control.record = record;
    control.NAME = name;
    return control;
}

} // namespace

TEST(ReportText, PasswordShownAsOneCirclePerCharacter) {
    WebControlNode control = Control(D_WEB_CTRL_PSWD, WebValueRecord::Text, L"pw");
    control.VALUE = L"abc";
    EXPECT_EQ(WebControlText(control), L"    名前\t：  pw\r\n    値\t：  \x25CF\x25CF\x25CF\r\n");
    EXPECT_EQ(Masked(L"abc", L'*'), L"***");
}

TEST(ReportText, MultiLineTextCutIntoColumns) {
    WebControlNode control = Control(D_WEB_CTRL_MULTI, WebValueRecord::MultiLine, L"memo");
    control.TEXT = L"0123456789";
    control.COLS = 4;
    EXPECT_EQ(
        WebControlText(control),
        L"    名前\t ：  memo\r\n    テキスト ：  0123\r\n\t    4567\r\n\t    89\r\n\t    \r\n");
    control.COLS = 0;
    EXPECT_EQ(WebControlText(control), L"    名前\t ：  memo\r\n    テキスト ：  \r\n");
}

TEST(ReportText, ChoicesShowSelectedTextOrValue) {
    WebControlNode radio = Control(D_WEB_CTRL_RADIO, WebValueRecord::Choices, L"plan");
    radio.elements = {{L"a", L"", 0}, {L"b", L"", 0}};
    EXPECT_EQ(WebControlText(radio), L"    名前\t：  plan\r\n");
    WebControlNode select = Control(D_WEB_CTRL_SELECT, WebValueRecord::Choices, L"pref");
    select.elements = {{L"13", L"東京都", 1}, {L"27", L"", 1}, {L"40", L"福岡県", 0}};
    EXPECT_EQ(WebControlText(select),
              L"    名前\t：  pref\r\n    選択値\t：  東京都\r\n    選択値\t：  27\r\n");
}

TEST(ReportText, ButtonsAndMissingRecords) {
    WebControlNode submit = Control(D_WEB_CTRL_SUBMIT, WebValueRecord::Button, L"go");
    submit.VALUE = L"ログイン";
    submit.SELECT = 0;
    EXPECT_EQ(WebControlText(submit), L"");
    submit.SELECT = 1;
    EXPECT_EQ(WebControlText(submit), L"    名前\t ：  ログイン\r\n");
    WebControlNode file = Control(D_WEB_CTRL_UNUSED, WebValueRecord::None, L"upload");
    EXPECT_EQ(WebControlText(file), L"");
    // A stored text holding a format is shown as it is.
    WebControlNode text = Control(D_WEB_CTRL_TEXT, WebValueRecord::Text, L"%s%n");
    text.VALUE = L"%d";
    EXPECT_EQ(WebControlText(text), L"    名前\t：  %s%n\r\n    値\t：  %d\r\n");
}

TEST(ReportText, PolicyValues) {
    EXPECT_EQ(PolicyReport(-1, L"エクスポート"),
              L"\r\n<ポリシー設定>\r\n\r\n  エクスポート\t\xFF1A 未登録");
    EXPECT_EQ(PolicyReport(5, L"エクスポート"),
              L"\r\n<ポリシー設定>\r\n\r\n  エクスポート\t\xFF1A 有効");
    EXPECT_EQ(PolicyReport(0, L""), L"\r\n<ポリシー設定>\r\n\r\n  \t\xFF1A 無効");
    EXPECT_EQ(OnOffText(1), L"有効");
    EXPECT_EQ(OnOffText(2), L"無効");
}

TEST(ReportText, ClickPositionHalves) {
    const uint32_t pos = (100u << 16) | 50u;
    EXPECT_EQ(ClickText(1, pos), L"有効(100, 50)");
    EXPECT_EQ(ClickText(0, pos), L"無効(100, 50)");
    EXPECT_EQ(ClickText(2, pos), L"未設定");
    EXPECT_EQ(ClickText(1, 0xFFFFFFFFu), L"有効(65535, 65535)");
}

TEST(ReportText, ApplicationItemReportInOrder) {
    CDataApl application;
    application.APLNAME = L"会計ソフト";
    CDataCaption caption;
    caption.CAPTION = L"ログオン";
    CDataItem item;
    item.NAME = L"経理";
    item.AUTOINPUT = 1;
    item.AUTOCLICK = 1;
    item.CLICKPOS = (100 << 16) | 50;
    item.controls.push_back(std::make_unique<CDataCtrl>(2, 11, L"abc", 0));
    item.controls.push_back(std::make_unique<CDataCtrl>(1, 10, L"%s-user", 0));
    item.controls.push_back(std::make_unique<CDataCtrl>(3, 12, L"", 0x10001));
    item.controls.push_back(std::make_unique<CDataCtrl>(5, 13, L"", 7));
    item.controls.push_back(std::make_unique<CDataCtrl>(4, 14, L"ignored", 0));
    EXPECT_EQ(ApplicationItemReport(&application, &caption, &item),
              L"\r\n<アプリケーションミルテデータ>\r\n\r\n"
              L" ◇アイテム情報\r\n"
              L"   アプリケーション\t：  会計ソフト\r\n"
              L"   ウィンドウタイトル\t：  ログオン\r\n"
              L"   アイテム名\t：  経理\r\n"
              L"   自動入力時にはこのデータを使う\t：  有効\r\n"
              L"   データ入力後、オートクリックする\t：  有効(100, 50)\r\n\r\n"
              L" ◇テキストデータ\r\n   値　　：%s-user\r\n\r\n"
              L" ◇パスワードデータ\r\n   値　　：***\r\n\r\n"
              L" ◇チェックボックスデータ\r\n   選択値：有効\r\n\r\n"
              L" ◇ボタンエミュレート機能\r\n   選択値：不確定\r\n\r\n");
}

TEST(ReportText, ApplicationItemWithoutRecords) {
    EXPECT_EQ(ApplicationItemReport(nullptr, nullptr, nullptr), L"");
    CDataItem item;
    item.NAME = L"x";
    const std::wstring text = ApplicationItemReport(nullptr, nullptr, &item);
    EXPECT_NE(text.find(L"   アプリケーション\t：  \r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"未設定"), std::wstring::npos);
    EXPECT_EQ(text.find(L"◇テキストデータ"), std::wstring::npos);
}

namespace {

std::unique_ptr<WebItemNode> Form(const wchar_t* name, const wchar_t* user) {
    auto form = std::make_unique<WebItemNode>();
    form->NAME = name;
    form->FORMNAME = L"f";
    form->AUTOINPUT = 1;
    form->AUTOSEND = 0;
    auto control = std::make_unique<WebControlNode>();
    control->kind = D_WEB_CTRL_TEXT;
    control->record = WebValueRecord::Text;
    control->NAME = L"user";
    control->VALUE = user;
    form->controls.push_back(std::move(control));
    return form;
}

size_t Count(const std::wstring& text, const std::wstring& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

TEST(WebFormReport, SameNamedItemsBlocksFirstThenSections) {
    CExportStore store;
    auto page = std::make_unique<WebPageNode>();
    page->TITLE = L"会員\\\\nログイン";
    page->URL = L"https://login.example.jp/a\\\\nb";
    page->items.push_back(Form(L"login", L"taro"));
    page->items.push_back(Form(L"login", L"hanako"));
    store.Pages().push_back(std::move(page));
    const std::wstring parent = L"会員\\\\nログイン(https://login.example.jp/a\\\\nb)";
    const std::wstring text = WebFormItemReport(store, L"login", parent, nullptr);
    EXPECT_EQ(Count(text, L" ◇アイテム情報\r\n"), 2u);
    EXPECT_EQ(Count(text, L" ◇テキストデータ\r\n"), 1u);
    EXPECT_LT(text.rfind(L" ◇アイテム情報"), text.find(L" ◇テキストデータ"));
    EXPECT_NE(text.find(L"    値\t：  taro\r\n    名前\t：  user\r\n    値\t：  hanako\r\n"),
              std::wstring::npos);
    // The title is un-escaped; the URL is shown as stored.
    EXPECT_NE(text.find(L"   タイトル\t\t：  会員\r\nログイン\r\n"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"   URL\t\t：  https://login.example.jp/a\\\\nb\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"   このアイテムを自動登録する\t：  有効\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"   データ入力後、自動送信する\t：  無効\r\n\r\n"), std::wstring::npos);
}

TEST(WebFormReport, UnnamedFormFoundByTreeHandle) {
    CExportStore store;
    auto page = std::make_unique<WebPageNode>();
    page->TITLE = L"検索";
    page->URL = L"https://search.example.jp/";
    auto form = Form(L"", L"keyword");
    int handle = 0;
    form->treeItem = &handle;
    page->items.push_back(std::move(form));
    store.Pages().push_back(std::move(page));
    const std::wstring parent = L"検索(https://search.example.jp/)";
    const std::wstring text = WebFormItemReport(store, L"名前なし(未登録)", parent, &handle);
    EXPECT_NE(text.find(L"   タイトル\t\t：  検索\r\n"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"    値\t：  keyword\r\n"), std::wstring::npos);
    // Nothing matches: the view stays empty.
    int other = 0;
    EXPECT_EQ(WebFormItemReport(store, L"none", parent, &other), L"");
    EXPECT_EQ(WebFormItemReport(store, L"none", parent, nullptr), L"");
}

TEST(AuthInfoReportText, DevicesAndPinCache) {
    EXPECT_EQ(AuthInfoReport(81, L"", false, L"30分"),
              L"\r\n<認証情報>\r\n\r\n  TPM PIN のキャッシュ設定  :  30分");
    EXPECT_EQ(AuthInfoReport(83, L"Felicaポート", true, L""),
              L"\r\n<認証情報>\r\n\r\n  Felicaカード情報  :  登録済");
    EXPECT_EQ(AuthInfoReport(82, L"指紋", false, L""),
              L"\r\n<認証情報>\r\n\r\n  指紋情報  :  未登録");
    EXPECT_EQ(AuthInfoReport(84, L"Felicaポート", true, L""),
              L"\r\n<認証情報>\r\n\r\n  Felicaポート情報  :  登録済");
    EXPECT_EQ(AuthInfoReport(20, L"x", true, L""), L"");
}

TEST(ReportText, PolicyIdsOfCodes) {
    EXPECT_EQ(PolicyIdOfCode(33), 2);
    EXPECT_EQ(PolicyIdOfCode(40), 9);
    EXPECT_EQ(PolicyIdOfCode(41), 1);
    EXPECT_EQ(PolicyIdOfCode(32), 0);
    EXPECT_EQ(PolicyIdOfCode(42), 0);
}

TEST(OptionReports, WebFormOptionsStoredOrNot) {
    WebFormOptions options;
    EXPECT_EQ(WebFormOptionsReport(options),
              L"\r\n<Webフォームミルテ動作オプション>\r\n\r\n  未登録");
    options.present = 1;
    const std::wstring text = WebFormOptionsReport(options);
    EXPECT_EQ(text.rfind(L"\r\n<Webフォームミルテ動作オプション>\r\n\r\n "
                         L"◇Webフォームミルテ機能を停止する\t： 無効\r\n\r\n",
                         0),
              0u);
    EXPECT_NE(text.find(L"   ・自動登録を行う\t\t\t\t：  有効\r\n"), std::wstring::npos);
    EXPECT_NE(
        text.find(L"   ・パスワードを含むフォームのみ有効\t\t：  無効\r\n\r\n ◇入力データ\r\n"),
        std::wstring::npos);
    const std::wstring last = L"   ・パスワードを表示しない\t：  有効\r\n";
    ASSERT_GT(text.size(), last.size());
    EXPECT_EQ(text.substr(text.size() - last.size()), last);
}

TEST(OptionReports, ApplicationOptionsMissingShowsOff) {
    const int32_t values[4] = {1, -1, 0, 1};
    const std::wstring text = ApplicationOptionsReport(values);
    EXPECT_EQ(text.rfind(L"\r\n<アプリケーションミルテ動作オプション>\r\n\r\n", 0), 0u);
    EXPECT_NE(text.find(L"自動判別を停止\t： 有効\r\n\r\n"), std::wstring::npos) << text;
    EXPECT_NE(text.find(L"   ・自動入力機能を停止\t\t： 無効\r\n\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"   ・入力補助ウィンドウ表示の停止\t： 無効\r\n\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"   ・パスワードを表示しない\t\t： 有効\r\n"), std::wstring::npos);
}

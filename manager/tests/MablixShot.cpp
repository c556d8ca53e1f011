// Starts the installed Mablix.exe over two sample pages, answering its PIN
// question, selects a stored form so that the preview shows it, and writes a
// picture of the screen (manager/screenshots.sh makes the PNG of it). Then
// it presses Cancel; the pages are removed when it ends.
//
// mablix_shot.exe OUT.bmp
#include "AutoAnswer.h"
#include "InstallFolder.h"
#include "MablixDriver.h"
#include "MgrTestSupport.h"

#include <cstdio>
#include <string>

namespace {

void AddChoice(CDataWebCtrl& ctrl, const wchar_t* value, const wchar_t* text, int selected) {
    CDataWebSelElement& choice = ctrl.SelValue()->Add();
    choice.m_strValue = value;
    choice.m_strText = text;
    choice.m_nSelect = selected;
}

void MailLogin(CDataWebItem& item, const wchar_t* name, const wchar_t* user) {
    item.m_strName = name;
    item.m_strFormName = L"login";
    item.m_nAutoInput = 0;
    item.m_nAutoSend = 0;
    item.m_nIndex = 0;
    CDataWebCtrl& id = AddCtrl(item, D_WEB_CTRL_TEXT, L"user");
    id.TextValue()->m_strValue = user;
    id.TextValue()->m_nDataLen = 32;
    AddCtrl(item, D_WEB_CTRL_PSWD, L"pw").TextValue()->m_strValue = L"s3cret-\u03B1";
    CDataWebCtrl& server = AddCtrl(item, D_WEB_CTRL_RADIO, L"server");
    AddChoice(server, L"本社", L"", 1);
    AddChoice(server, L"支社", L"", 0);
    AddChoice(AddCtrl(item, D_WEB_CTRL_CHECK, L"keep"), L"on", L"", 1);
    CDataWebCtrl& lang = AddCtrl(item, D_WEB_CTRL_SELECT, L"lang");
    AddChoice(lang, L"ja", L"日本語", 1);
    AddChoice(lang, L"en", L"English", 0);
    CDataWebCtrl& note = AddCtrl(item, D_WEB_CTRL_MULTI, L"note");
    note.MultiValue()->m_strText = L"R&D 部 <営業>";
    note.MultiValue()->m_nRows = 2;
    note.MultiValue()->m_nCols = 24;
    AddCtrl(item, D_WEB_CTRL_SUBMIT, L"go").ButtonValue()->m_strValue = L"ログイン";
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring out = argc > 1 ? argv[1] : L"manager.bmp";
    (void)::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RawDb raw;
    const std::wstring a = ScratchPageKey(L"shotA");
    const std::wstring b = ScratchPageKey(L"shotB");
    raw.SetText(a, L"URL", L"https://mail.example.jp/login");
    raw.SetText(a, L"TITLE", L"メール ログイン");
    raw.SetText(b, L"URL", L"https://shop.example.jp/");
    raw.SetText(b, L"TITLE", L"ショップ");
    int status = 1;
    {
        TestDlg writer;
        CDataWebItem work, home, shop;
        MailLogin(work, L"仕事用", L"yamada.taro");
        MailLogin(home, L"個人用", L"taro.home");
        MailLogin(shop, L"", L"");
        writer.AddWebItem(a, &work);
        writer.AddWebItem(a, &home);
        writer.AddWebItem(b, &shop);

        const peltrix::test::AutoAnswer allow(5, peltrix::test::AutoAnswer::kAllow);
        mablix_driver::Mablix mablix;
        if (!mablix.Start(torva::InstallFolder() + L"Mablix.exe")) {
            std::fputs("Mablix.exe did not start\n", stderr);
        } else if (!mablix.WaitForTree(240000)) {
            std::fputs("Mablix.exe showed no tree\n", stderr);
        } else if (!mablix.Select({L"メール ログイン", L"仕事用"}) && !mablix.SelectAt({0, 0})) {
            std::fputs("the sample item is not in the tree; its nodes read:\n", stderr);
            for (const std::wstring& label : mablix.Seen())
                std::fprintf(stderr, "  [%ls]\n", label.c_str());
        } else {
            ::Sleep(3000);
            status = mablix_driver::SaveScreen(out) ? 0 : 1;
            mablix.Close(20000);
        }
    }
    raw.Delete(a);
    raw.Delete(b);
    ::CoUninitialize();
    return status;
}

// Stored pages for the save tests: written by one dialog, loaded by another
// as the manager loads them at start, deleted again after each test.
#pragma once

#include "MgrTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class MgrSaveFixture : public ::testing::Test {
public:
    using Fill = std::function<void(CDataWebItem&)>;

protected:
    void TearDown() override {
        m_dlg.reset();
        for (const auto& key : m_keys)
            m_raw.Delete(key);
    }

    // A stored page with one item per fill, each written as a new item.
    std::wstring StorePage(const std::wstring& tag, const std::vector<Fill>& fills) {
        const std::wstring key = ScratchPageKey(tag);
        m_keys.push_back(key);
        EXPECT_TRUE(m_raw.SetText(key, L"URL", L"https://example.jp/" + tag));
        EXPECT_TRUE(m_raw.SetText(key, L"TITLE", L"t-" + tag));
        EXPECT_TRUE(m_raw.SetText(key, L"UPDATEDATE", kOldDate));
        EXPECT_TRUE(m_raw.SetDword(key, L"CHANGEFLG", 0));
        TestDlg writer;
        for (const Fill& fill : fills) {
            CDataWebItem item;
            fill(item);
            EXPECT_TRUE(writer.AddWebItem(key, &item));
        }
        return key;
    }

    // The manager as it starts: every page loaded.
    TestDlg& Load() {
        m_dlg = std::make_unique<TestDlg>();
        EXPECT_TRUE(m_dlg->GetWebFormData());
        EXPECT_TRUE(m_dlg->GetOptionData());
        m_dlg->m_bHidePwd = m_dlg->m_option.m_nHidePwd;
        return *m_dlg;
    }
    CDataWebForm* Page(const std::wstring& key) {
        for (auto& page : m_dlg->m_pages) {
            if (page->m_strKey == key) return page.get();
        }
        return nullptr;
    }
    // Shows item as the dialog does: the pane's fields take its values.
    void Show(CDataWebItem* item) {
        m_dlg->m_pShownItem = item;
        m_dlg->m_strItemName = item->m_strName.empty() ? item->m_strFormName : item->m_strName;
        const bool fresh = item->m_nState == CTvrIEToolDlg::kItemPlaceholder;
        m_dlg->m_bAutoInput = !fresh && item->m_nAutoInput == 1;
        m_dlg->m_bAutoSend =
            !fresh && item->m_nState != CTvrIEToolDlg::kItemUnnamed && item->m_nAutoSend == 1;
    }

    // A named form: a user name and a password.
    static Fill Named(const std::wstring& name, int autoInput = 0) {
        return [name, autoInput](CDataWebItem& item) {
            item.m_strName = name;
            item.m_strFormName = L"login";
            item.m_nAutoInput = autoInput;
            item.m_nAutoSend = 0;
            item.m_nIndex = 0;
            AddCtrl(item, D_WEB_CTRL_TEXT, L"user").TextValue()->m_strValue = L"u-" + name;
            AddCtrl(item, D_WEB_CTRL_PSWD, L"pw").TextValue()->m_strValue = L"p-" + name;
        };
    }
    static constexpr const wchar_t* kOldDate = L"2026/01/01 00:00:00";
    static constexpr const wchar_t* kPreview =
        L"<input type=text name=user><input type=password name=pw>";

    RawDb m_raw;
    std::vector<std::wstring> m_keys;
    std::unique_ptr<TestDlg> m_dlg;
};

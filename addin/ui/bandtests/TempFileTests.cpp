// The registration dialogs' leftover copies "setform<window>.html": a copy
// is spared only while its window is a live dialog that says so.
#include "BandFixture.h"

#include "CRegistDlg.h"
#include "PathHelpers.h"
#include "SetformFileName.h"

#include <string>
#include <vector>

namespace {

int g_aliveQuestions = 0;

LRESULT CALLBACK AliveProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == CRegistDlg::WM_REGIST_ALIVE) {
        ++g_aliveQuestions;
        return 1;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A top-level window that answers as an open registration dialog does.
torva::UniqueWindow MakeAliveWindow() {
    static const ATOM atom = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = AliveProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TorvaBandTestsAlive";
        return ::RegisterClassW(&wc);
    }();
    (void)atom;
    return torva::UniqueWindow(::CreateWindowExW(0, L"TorvaBandTestsAlive", L"alive", WS_OVERLAPPED,
                                                 0, 0, 10, 10, nullptr, nullptr,
                                                 ::GetModuleHandleW(nullptr), nullptr));
}

std::wstring TempFolder() {
    std::wstring folder;
    GetTempDirPath(folder);
    return folder;
}

std::wstring NameFor(const std::wstring& number) {
    return L"setform" + number + L".html";
}

std::wstring NumberOf(HWND window) {
    return std::to_wstring(static_cast<long long>(reinterpret_cast<INT_PTR>(window)));
}

void Touch(const std::wstring& name) {
    const torva::UniqueFile file(::CreateFileW((TempFolder() + name).c_str(), GENERIC_WRITE, 0,
                                               nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                               nullptr));
    ASSERT_TRUE(file) << "cannot make " << std::string(name.begin(), name.end());
}

bool Exists(const std::wstring& name) {
    return ::GetFileAttributesW((TempFolder() + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

class BandTempFiles : public BandFixture {
protected:
    void TearDown() override {
        for (const auto& name : m_made)
            ::DeleteFileW((TempFolder() + name).c_str());
        BandFixture::TearDown();
    }
    std::wstring Make(const std::wstring& number) {
        const std::wstring name = NameFor(number);
        Touch(name);
        m_made.push_back(name);
        return name;
    }
    std::vector<std::wstring> m_made;
};

TEST_F(BandTempFiles, OnlyTheCopyOfALiveDialogThatAnswersIsSpared) {
    ASSERT_FALSE(TempFolder().empty());
    const torva::UniqueWindow alive = MakeAliveWindow();
    ASSERT_TRUE(alive);
    const torva::UniqueWindow silent(::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10,
                                                       10, nullptr, nullptr, nullptr, nullptr));
    HWND gone = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ::DestroyWindow(gone);

    const std::wstring aliveCopy = Make(NumberOf(alive.get()));
    const std::wstring silentCopy = Make(NumberOf(silent.get()));
    const std::wstring goneCopy = Make(NumberOf(gone));
    const std::wstring zeroCopy = Make(L"0");
    const std::wstring broadcastCopy = Make(L"65535");
    const std::wstring wordCopy = Make(L"abc");
    const std::wstring longCopy = Make(L"123456789012345");
    g_aliveQuestions = 0;

    CStockBar::DeleteTempHtmlFile();

    EXPECT_TRUE(Exists(aliveCopy));
    EXPECT_FALSE(Exists(silentCopy));
    EXPECT_FALSE(Exists(goneCopy));
    EXPECT_FALSE(Exists(zeroCopy));
    EXPECT_FALSE(Exists(broadcastCopy));
    EXPECT_FALSE(Exists(wordCopy));
    EXPECT_FALSE(Exists(longCopy));
    EXPECT_EQ(g_aliveQuestions, 1) << "asked once, by its own handle: nothing was broadcast";
}

TEST_F(BandTempFiles, SitingTheBandSweepsTheLeftovers) {
    HWND gone = ::CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr);
    ::DestroyWindow(gone);
    const std::wstring goneCopy = Make(NumberOf(gone));
    CreateBand();
    EXPECT_FALSE(Exists(goneCopy));
}

TEST_F(BandTempFiles, TheSweepReadsAWindowAsTheDialogWritesIt) {
    // Handles are sign-extended 32-bit values: one with bit 31 set is
    // written negative and must read back as the same window, not as none.
    for (const UINT32 low : {0x00010042u, 0x7FFFFFFFu, 0x80000000u, 0xFFFF1234u}) {
        const HWND window = reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<INT32>(low)));
        const std::wstring name = SetformFileName(window);
        EXPECT_EQ(WindowOfSetformName(name), window) << std::string(name.begin(), name.end());
    }
    EXPECT_EQ(SetformFileName(reinterpret_cast<HWND>(static_cast<INT_PTR>(-2))), L"setform-2.html");
    EXPECT_EQ(WindowOfSetformName(L"setform--2.html"), nullptr);
    EXPECT_EQ(WindowOfSetformName(L"setform2147483648.html"), nullptr) << "beyond what is written";
}

// The submit capture in a browser of the stand-in: the band sited as in
// BandFixture, the capture pages beside the test program, a user in front of
// the dialogs that the click opens, and helpers that change the live page
// as typing would.
#pragma once

#include "BandFixture.h"

#include <atomic>
#include <memory>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// Plays the user in front of every window the test thread opens during a
// click: on a thread of its own it watches the test thread's dialogs and
// message boxes, writes down the caption of each one as it shows, and
// answers it with the next step when the caption is the step's; any other
// window is closed (cancel / no). Windows without a caption (the notice
// shown while a save runs) are left alone.
class ScriptedUser {
public:
    using Answer = std::function<void(HWND)>;
    struct Step {
        std::wstring caption;
        Answer answer;
    };

    explicit ScriptedUser(std::vector<Step> steps);
    ~ScriptedUser();
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;

    // Stops watching (after the click has returned) and returns the captions
    // seen, in order.
    std::vector<std::wstring> Finish();

    // Answers for steps.
    static Answer Press(int id);
    // Ticks check box id, then presses button.
    static Answer TickAndPress(int box, int button);

private:
    void Run();

    DWORD m_testThread;
    std::vector<Step> m_steps;
    size_t m_next = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::vector<std::wstring> m_seen;
    std::thread m_thread;
};

// Runs a call on the test thread from the modal loop the test thread sits in
// (posted to a window of that thread).
class TestThreadCall {
public:
    TestThreadCall();
    ~TestThreadCall();
    TestThreadCall(const TestThreadCall&) = delete;
    TestThreadCall& operator=(const TestThreadCall&) = delete;
    // From any thread: call runs on the test thread when it next dispatches.
    void Post(std::function<void()> call);

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND m_window = nullptr;
};

class CaptureFixture : public BandFixture {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Deletes every page stored for the capture pages.
    void ForgetStoredPages();
    static std::wstring CapturePage(const std::wstring& name) { return PageUrl(name); }
    // Writes every option; the ones found at SetUp come back after the test.
    void WriteOptions(int setAuto, int checkSet, int onlyPwd, int noMultiText, int stopFunc = 0);
    // CHECKSET as the store reads it now.
    int StoredCheckSet();

    // The live element named name in the document (the top one by default).
    CComPtr<IHTMLElement> Named(const wchar_t* name, IHTMLDocument2* document = nullptr);
    void Type(const wchar_t* name, const std::wstring& value, IHTMLDocument2* document = nullptr);
    // Clicks the element named name as the page's user would (the click
    // runs the capture; any dialogs are answered by a ScriptedUser).
    void ClickOn(const wchar_t* name, IHTMLDocument2* document = nullptr);
    // The sink that watches the button named name; null when none.
    CComPtr<CSubmitButtonEventSink> SinkOf(const wchar_t* name);

    // The registration dialog's answer that registers the shown form under
    // entryName, with its auto-input and auto-send boxes ticked as asked.
    static ScriptedUser::Answer RegisterAs(const std::wstring& entryName, bool autoInput,
                                           bool autoSend);
    // The page stored for url (decrypted), or null.
    std::unique_ptr<CDataWebForm> StoredPage(const std::wstring& url);
    // Lets the click's navigation load (and the band see the next page).
    void FinishNavigation();
};

// The item of a stored entry of capture.html's form "member" as the capture
// stores it with the page untouched (plan a, pref v2, empty values).
void MakeMember(CDataWebItem& item, const std::wstring& name, const std::wstring& user,
                const std::wstring& password);

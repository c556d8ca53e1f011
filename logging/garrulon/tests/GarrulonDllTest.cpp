// The built library through its exports, with a real reader on the
// product's mailslot: what the reader receives, when, and how misuse is met.
#include "Garrulon.h"
#include "MailslotReader.h"
#include "ProgramFolder.h"
#include "WireBytes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <cwchar>
#include <memory>

namespace torva::garrulon::testing {
namespace {

template <typename Fn> Fn Bind(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

using Numbers = std::vector<std::uint32_t>;

class GarrulonDll : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library) << "Garrulon.dll beside the test program";
        ASSERT_TRUE(clear && close && flush && open && setLog);
    }
    void StartReader() {
        reader = std::make_unique<MailslotReader>(L"\\\\.\\mailslot\\Garrulon");
        ASSERT_TRUE(reader->IsOpen()) << "another reader holds the product's mailslot";
    }
    TVRLOG_HSESSION Open(const wchar_t* name) {
        TVRLOG_HSESSION session = nullptr;
        EXPECT_EQ(open(name, &session), TVRLOG_OK);
        return session;
    }
    void Log(TVRLOG_HSESSION session, std::uint32_t first, std::uint32_t last) {
        for (std::uint32_t n = first; n <= last; ++n)
            ASSERT_EQ(setLog(session, &n, sizeof(n)), TVRLOG_OK);
    }
    // Record numbers in arrival order; every message must be whole and name
    // its session and sender.
    Numbers Received(const wchar_t* name) {
        Numbers numbers;
        for (const Bytes& message : reader->TakeAll()) {
            EXPECT_EQ(message.size(), 114u);
            if (message.size() != 114u) continue;
            EXPECT_EQ(U32At(message, 4), ::GetCurrentProcessId());
            for (std::size_t i = 0; i <= std::wcslen(name); ++i)
                EXPECT_EQ(U16At(message, 24 + 2 * i), static_cast<std::uint32_t>(name[i]));
            numbers.push_back(U32At(message, 90));
        }
        return numbers;
    }

    UniqueModule library{::LoadLibraryW((torva::ProgramFolder() + L"Garrulon.dll").c_str())};
    std::unique_ptr<MailslotReader> reader;
    TVRLOG_CLEARLOGBUFFER_FN clear =
        Bind<TVRLOG_CLEARLOGBUFFER_FN>(library.get(), "TvrLog_ClearLogBuffer");
    TVRLOG_CLOSELOGSESSION_FN close =
        Bind<TVRLOG_CLOSELOGSESSION_FN>(library.get(), "TvrLog_CloseLogSession");
    TVRLOG_FLUSHLOG_FN flush = Bind<TVRLOG_FLUSHLOG_FN>(library.get(), "TvrLog_FlushLog");
    TVRLOG_OPENLOGSESSION_FN open =
        Bind<TVRLOG_OPENLOGSESSION_FN>(library.get(), "TvrLog_OpenLogSession");
    TVRLOG_SETLOG_FN setLog = Bind<TVRLOG_SETLOG_FN>(library.get(), "TvrLog_SetLog");
};

TEST_F(GarrulonDll, ExportsHaveTheirFixedOrdinals) {
    const char* names[] = {"TvrLog_ClearLogBuffer",      "TvrLog_CloseLogSession",
                           "TvrLog_EstablishConnection", "TvrLog_FlushLog",
                           "TvrLog_OpenLogSession",      "TvrLog_SetLog"};
    for (WORD ordinal = 1; ordinal <= 6; ++ordinal) {
        const FARPROC byName = ::GetProcAddress(library.get(), names[ordinal - 1]);
        ASSERT_NE(byName, nullptr) << names[ordinal - 1];
        EXPECT_EQ(::GetProcAddress(library.get(), MAKEINTRESOURCEA(ordinal)), byName)
            << names[ordinal - 1];
    }
    EXPECT_EQ(::GetProcAddress(library.get(), MAKEINTRESOURCEA(7)), nullptr);
    EXPECT_EQ(Bind<TVRLOG_ESTABLISHCONNECTION_FN>(library.get(), "TvrLog_EstablishConnection")(),
              TVRLOG_OK);
}

TEST_F(GarrulonDll, RecordsWaitForTheFlushThenArriveInOrder) {
    StartReader();
    const TVRLOG_HSESSION session = Open(L"DllFlush");
    Log(session, 1, 3);
    EXPECT_TRUE(reader->TakeAll().empty());
    ASSERT_EQ(flush(session, 0), TVRLOG_OK);
    EXPECT_EQ(Received(L"DllFlush"), (Numbers{1, 2, 3}));
    ASSERT_EQ(flush(session, 0), TVRLOG_OK);
    EXPECT_TRUE(reader->TakeAll().empty()) << "a flush empties the buffer";
    EXPECT_EQ(close(session), TVRLOG_OK);
}

TEST_F(GarrulonDll, CloseResendsWhatAFailedFlushKeptAndDropsTheRest) {
    const TVRLOG_HSESSION session = Open(L"DllClose");
    Log(session, 1, 3);
    EXPECT_EQ(flush(session, 0), TVRLOG_E_MAILSLOT);
    Log(session, 4, 5);
    StartReader();
    EXPECT_EQ(close(session), TVRLOG_OK);
    EXPECT_EQ(Received(L"DllClose"), (Numbers{1, 2, 3}));
}

TEST_F(GarrulonDll, ClearResendsWhatAFailedFlushKeptAndTheSessionGoesOn) {
    const TVRLOG_HSESSION session = Open(L"DllClear");
    Log(session, 1, 2);
    EXPECT_EQ(flush(session, 0), TVRLOG_E_MAILSLOT);
    Log(session, 3, 3);
    EXPECT_EQ(clear(session), TVRLOG_E_MAILSLOT) << "no reader yet: the kept records wait";
    StartReader();
    EXPECT_EQ(clear(session), TVRLOG_OK);
    EXPECT_EQ(Received(L"DllClear"), (Numbers{1, 2}));
    Log(session, 10, 11);
    EXPECT_EQ(flush(session, 0), TVRLOG_OK);
    EXPECT_EQ(close(session), TVRLOG_OK);
    EXPECT_EQ(Received(L"DllClear"), (Numbers{10, 11}));
}

TEST_F(GarrulonDll, CloseWithNoReaderRetriesThenReportsTheLossAndStillCloses) {
    const TVRLOG_HSESSION session = Open(L"DllLost");
    Log(session, 1, 1);
    EXPECT_EQ(flush(session, 0), TVRLOG_E_MAILSLOT);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(close(session), TVRLOG_E_MAILSLOT);
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(250));
    EXPECT_EQ(setLog(session, "x", 1), TVRLOG_E_INVALID_ARG);
}

TEST_F(GarrulonDll, MisuseIsRefusedWithoutHarm) {
    auto out = reinterpret_cast<TVRLOG_HSESSION>(static_cast<std::uintptr_t>(1));
    EXPECT_EQ(open(nullptr, &out), TVRLOG_E_INVALID_ARG);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(open(L"Misuse", nullptr), TVRLOG_E_INVALID_ARG);

    // A closed session and a block that looks like an open one from outside.
    const TVRLOG_HSESSION closed = Open(L"Misuse");
    ASSERT_EQ(close(closed), TVRLOG_OK);
    std::uint32_t lookAlike[64] = {80};
    for (const TVRLOG_HSESSION session :
         {TVRLOG_HSESSION{}, closed, reinterpret_cast<TVRLOG_HSESSION>(lookAlike)}) {
        EXPECT_EQ(setLog(session, "x", 1), TVRLOG_E_INVALID_ARG);
        EXPECT_EQ(flush(session, 0), TVRLOG_E_INVALID_ARG);
        EXPECT_EQ(clear(session), TVRLOG_E_INVALID_ARG);
        EXPECT_EQ(close(session), TVRLOG_E_INVALID_ARG);
    }
    const std::uint32_t untouched[64] = {80};
    EXPECT_EQ(std::memcmp(lookAlike, untouched, sizeof(lookAlike)), 0)
        << "a foreign block is never written";

    StartReader();
    const TVRLOG_HSESSION session = Open(L"Misuse");
    const std::uint8_t small[8] = {7};
    EXPECT_EQ(setLog(session, nullptr, 4), TVRLOG_E_INVALID_ARG);
    EXPECT_EQ(setLog(session, small, 0), TVRLOG_E_INVALID_ARG);
    EXPECT_EQ(setLog(session, small, 0x7FFFFFFF), TVRLOG_E_UNREADABLE);
    EXPECT_EQ(flush(session, 0), TVRLOG_OK);
    EXPECT_TRUE(reader->TakeAll().empty()) << "refused records are not buffered";
    EXPECT_EQ(close(session), TVRLOG_OK);
}

} // namespace
} // namespace torva::garrulon::testing

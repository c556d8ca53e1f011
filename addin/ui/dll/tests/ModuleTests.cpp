#include <CComModule.h>
#include <ProgramFolder.h>
#include <QuorvelModule.h>
#include <TraceHook.h>

#include <gtest/gtest.h>

using torva::trace::TraceHook;

namespace {

const CLSID kTestClass = {
    0x5C2C1A10, 0x1111, 0x4222, {0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x01}};

HRESULT NoCreate(IUnknown*, REFIID, void** object) {
    *object = nullptr;
    return E_NOTIMPL;
}

std::wstring TestFenwix() {
    return torva::ProgramFolder() + L"Fenwix.dll";
}

} // namespace

// The test program is no browser: its attach is refused. A module object that
// some other code of the process runs must survive the detach that follows.
TEST(ModuleLife, RefusedAttachDoesNotStopAModuleItNeverStarted) {
    const ComObjectEntry map[] = {ComObjectEntry{&kTestClass, &NoCreate, nullptr}};
    ASSERT_EQ(ComModule().Init(map, 1, ::GetModuleHandleW(nullptr), nullptr), S_OK);
    EXPECT_FALSE(QuorvelProcessAttach(::GetModuleHandleW(nullptr)));
    EXPECT_FALSE(QuorvelModuleStarted());
    QuorvelProcessDetach(false);
    QuorvelProcessDetach(false);
    EXPECT_EQ(ComModule().GetObjectMap().size(), 1u);
    ComModule().Term();
    // Fenwix beside the test program was bound and let go again.
    EXPECT_FALSE(TraceHook::IsBound());
    EXPECT_EQ(::GetModuleHandleW(TestFenwix().c_str()), nullptr);
}

TEST(ModuleLife, DetachAtProcessEndLeavesTheTraceLibraryLoaded) {
    ASSERT_TRUE(TraceHook::BindLibrary(TestFenwix(), L"addin_module_tests.exe"));
    QuorvelProcessDetach(true);
    EXPECT_FALSE(TraceHook::IsBound());
    const HMODULE left = ::GetModuleHandleW(TestFenwix().c_str());
    EXPECT_NE(left, nullptr);
    if (left) ::FreeLibrary(left); // the test's own clean-up of the abandoned load
}

TEST(ModuleLife, DetachOnUnloadFreesTheTraceLibrary) {
    ASSERT_TRUE(TraceHook::BindLibrary(TestFenwix(), L"addin_module_tests.exe"));
    QuorvelProcessDetach(false);
    EXPECT_FALSE(TraceHook::IsBound());
    EXPECT_EQ(::GetModuleHandleW(TestFenwix().c_str()), nullptr);
}

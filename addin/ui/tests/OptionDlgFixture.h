// What the option dialog's tests share: the boxes in stored order, a look at
// what the dialog shows, and a fixture that gives each test the option key
// as it found it afterwards.
#pragma once

#include "CDataOption.h"
#include "OptionKeyBackup.h"

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

inline constexpr wchar_t kOptionCaption[] = L"オプション設定";

// The boxes in the order of the stored values.
inline constexpr std::array<int, 7> kOptionBoxes = {201, 204, 205, 208, 210, 213, 215};
inline constexpr std::array<std::int32_t CDataOption::*, 7> kOptionFields = {
    &CDataOption::m_nStopFunc, &CDataOption::m_nStopAutoInput, &CDataOption::m_nSetAuto,
    &CDataOption::m_nCheckSet, &CDataOption::m_nOnlyPwd,       &CDataOption::m_nNoMultiText,
    &CDataOption::m_nHidePwd};

// A record from the seven flags in stored order.
CDataOption MakeOptions(const std::array<std::int32_t, 7>& flags);
std::array<std::int32_t, 7> Flags(const CDataOption& record);

// The check and enabled states of the seven boxes, in stored order.
struct Shown {
    std::array<std::int32_t, 7> checked{};
    std::array<bool, 7> enabled{};
};
Shown Look(HWND dialog);

// The notice window owned by dialog, once it shows; null after timeoutMs.
HWND WaitForNotice(HWND dialog, DWORD timeoutMs);
// Presses a message box's button (IDYES, IDNO) and waits until it is gone.
bool Answer(HWND box, int button);

class OptionDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override { m_backup.reset(); }

    OptionKeyBackup& Backup() { return *m_backup; }

private:
    std::unique_ptr<OptionKeyBackup> m_backup;
};

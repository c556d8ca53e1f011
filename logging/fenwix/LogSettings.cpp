#include "LogSettings.h"

#include "LogFormat.h"

namespace torva::fenwix {

DWORD LogSettings::LevelFrom(std::optional<DWORD> stored) {
    if (!stored || *stored > kMaxLogLevel) return 0;
    return *stored;
}

DWORD LogSettings::DeleteOldDaysFrom(std::optional<DWORD> stored) {
    if (!stored || *stored == 0 || *stored > kMaxDeleteOldDays) return kDefaultDeleteOldDays;
    return *stored;
}

} // namespace torva::fenwix

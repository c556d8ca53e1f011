#include "AnsiText.h"

#include <windows.h>

bool AppendAnsi(const wchar_t* text, size_t length, std::string& out) {
    if (length == 0) return true;
    BOOL usedDefault = FALSE;
    const int needed =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(length), nullptr,
                              0, nullptr, &usedDefault);
    if (needed <= 0 || usedDefault) return false;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(needed));
    usedDefault = FALSE;
    const int written =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(length),
                              &out[at], needed, nullptr, &usedDefault);
    if (written != needed || usedDefault) {
        out.resize(at);
        return false;
    }
    return true;
}

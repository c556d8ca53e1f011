#include "LogFileAppender.h"

#include "LogFormat.h"
#include "Win32Handles.h"

namespace torva::fenwix {

std::string LogFileAppender::Encode(const std::wstring& line) {
    std::string bytes;
    if (!line.empty()) {
        const int wideChars = static_cast<int>(line.size());
        // No best-fit mapping: a character the code page lacks shows as '?'
        // rather than as a look-alike that was never in the text.
        const int size = ::WideCharToMultiByte(kLogCodePage, WC_NO_BEST_FIT_CHARS, line.data(),
                                               wideChars, nullptr, 0, nullptr, nullptr);
        if (size > 0) {
            bytes.resize(static_cast<std::size_t>(size));
            ::WideCharToMultiByte(kLogCodePage, WC_NO_BEST_FIT_CHARS, line.data(), wideChars,
                                  bytes.data(), size, nullptr, nullptr);
        }
    }
    return bytes + kLineEnd;
}

bool LogFileAppender::Append(const std::wstring& path, const std::wstring& line) {
    const std::string bytes = Encode(line);
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end
    // of the file as one piece, even when another process appends as well.
    UniqueFile file(::CreateFileW(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        return false;
    return written == bytes.size();
}

} // namespace torva::fenwix

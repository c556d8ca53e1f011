#include "ExportSink.h"

bool ExportSink::Append(const std::string& bytes, bool atStart) {
    if (m_discard) return true;
    LARGE_INTEGER zero = {};
    if (!::SetFilePointerEx(m_file, zero, nullptr, atStart ? FILE_BEGIN : FILE_END)) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(bytes.size() - done > 0x10000000 ? 0x10000000 : bytes.size() - done);
        DWORD written = 0;
        if (!::WriteFile(m_file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

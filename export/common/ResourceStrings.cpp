#include "ResourceStrings.h"

#include <cstring>

namespace {

constexpr UINT kFirstExportId = 22001;
constexpr size_t kExportIdCount = 105;
// The load buffer of one text; longer texts are cut.
constexpr int kLoadBufferChars = 4096;

// Constant data, there before any code of the program runs.
struct ExportIds {
    UINT ids[kExportIdCount];
};
constexpr ExportIds MakeExportIds() {
    ExportIds list{};
    for (size_t i = 0; i < kExportIdCount; ++i)
        list.ids[i] = kFirstExportId + static_cast<UINT>(i);
    return list;
}
constexpr ExportIds g_exportIds = MakeExportIds();
const UINT g_exportSubstitutions[][2] = {{22102, 22103}};
const ResourceStringTable g_exportTable = {g_exportIds.ids, kExportIdCount, g_exportSubstitutions,
                                           1};

// Never freed: it stands for every missing text.
const wchar_t g_blank[] = L" ";

ResourceStringCache& ProcessCache() {
    static ResourceStringCache cache(g_exportTable);
    return cache;
}

} // namespace

const ResourceStringTable& ExportUtilityStringTable() {
    return g_exportTable;
}

BOOL ResourceStringCache::QuerySystemVersion(OSVERSIONINFOEXW* info) {
    // GetVersionEx answers 6.2 to programs without a compatibility manifest
    // from Windows 8 on; that is exactly the boundary the substitution needs.
    ZeroMemory(info, sizeof *info);
    info->dwOSVersionInfoSize = sizeof *info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(info));
#pragma GCC diagnostic pop
}

int ResourceStringCache::Load(HMODULE module) {
    if (m_state == kLoaded) return 0;
    if (!module) module = ::GetModuleHandleW(nullptr);
    const size_t count = m_table->idCount;
    auto* entries = static_cast<Entry*>(::GlobalAlloc(GPTR, count * sizeof(Entry)));
    if (!entries) return 0;
    m_entries = entries;
    m_count = count;
    m_state = kLoaded;

    auto* buffer = static_cast<wchar_t*>(::GlobalAlloc(GPTR, kLoadBufferChars * sizeof(wchar_t)));
    int loaded = 0;
    for (size_t i = 0; i < count; ++i) {
        entries[i].id = m_table->ids[i];
        entries[i].text = const_cast<LPWSTR>(g_blank);
        if (!buffer) continue;
        ZeroMemory(buffer, kLoadBufferChars * sizeof(wchar_t));
        const int length = ::LoadStringW(module, entries[i].id, buffer, kLoadBufferChars);
        if (length <= 0) continue;
        auto* copy = static_cast<LPWSTR>(::GlobalAlloc(GPTR, (length + 1) * sizeof(wchar_t)));
        if (!copy) continue;
        std::memcpy(copy, buffer, length * sizeof(wchar_t));
        entries[i].text = copy;
        ++loaded;
    }
    if (buffer) ::GlobalFree(buffer);

    OSVERSIONINFOEXW info;
    if (m_query && m_query(&info)) {
        m_substitute =
            info.dwMajorVersion > 6 || (info.dwMajorVersion == 6 && info.dwMinorVersion >= 2);
    }
    return loaded;
}

LPCWSTR ResourceStringCache::Get(UINT id, HMODULE module) {
    if (m_state == kFreed) return g_blank;
    if (m_state == kNotLoaded) Load(module);
    if (m_substitute) {
        for (size_t i = 0; i < m_table->substitutionCount; ++i) {
            if (m_table->substitutions[i][0] == id) {
                id = m_table->substitutions[i][1];
                break;
            }
        }
    }
    for (size_t i = 0; i < m_count; ++i) {
        if (m_entries[i].id == id) return m_entries[i].text ? m_entries[i].text : g_blank;
    }
    return g_blank;
}

void ResourceStringCache::Free() {
    if (m_state != kLoaded) return;
    for (size_t i = 0; i < m_count; ++i) {
        if (m_entries[i].text && m_entries[i].text != g_blank) ::GlobalFree(m_entries[i].text);
    }
    ::GlobalFree(m_entries);
    m_entries = nullptr;
    m_count = 0;
    m_substitute = false;
    m_state = kFreed;
}

void UseResourceStringTable(const ResourceStringTable& table) {
    ProcessCache().UseTable(table);
}
int LoadResourceStrings(HMODULE module) {
    return ProcessCache().Load(module);
}
LPCWSTR GetResourceString(UINT id, HMODULE module) {
    return ProcessCache().Get(id, module);
}
void FreeResourceStrings() {
    ProcessCache().Free();
}

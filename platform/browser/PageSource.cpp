#include "PageSource.h"

#include "HtmlNode.h"

#include <Win32Handles.h>
#include <windows.h>

namespace torva::browser {

namespace {

bool StartsWithNoCase(const std::wstring& s, const wchar_t* prefix) {
    const std::wstring p(prefix);
    return s.size() >= p.size() && EqualsNoCase(std::wstring_view(s).substr(0, p.size()), p);
}

bool IsDriveAt(const std::wstring& s, size_t i) {
    return s.size() > i + 1 && iswalpha(s[i]) && s[i + 1] == L':';
}

int HexValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

std::wstring FromCodePage(UINT cp, const std::string& bytes, DWORD flags = 0) {
    if (bytes.empty()) return {};
    const int n =
        MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring r(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), r.data(), n);
    return r;
}

// The code page a meta tag in the first kilobytes names, 0 when none.
UINT MetaCodePage(const std::string& bytes) {
    std::string head = bytes.substr(0, 4096);
    for (auto& c : head)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    const size_t at = head.find("charset=");
    if (at == std::string::npos) return 0;
    size_t p = at + 8;
    while (p < head.size() && (head[p] == '"' || head[p] == '\'' || head[p] == ' '))
        ++p;
    size_t e = p;
    while (e < head.size() &&
           (isalnum(static_cast<unsigned char>(head[e])) || head[e] == '-' || head[e] == '_'))
        ++e;
    const std::string cs = head.substr(p, e - p);
    if (cs == "shift_jis" || cs == "shift-jis" || cs == "x-sjis" || cs == "windows-31j" ||
        cs == "sjis")
        return 932;
    if (cs == "euc-jp") return 20932;
    if (cs == "utf-8") return CP_UTF8;
    if (cs == "iso-8859-1" || cs == "windows-1252") return 1252;
    return 0;
}

} // namespace

std::wstring PercentDecode(const std::wstring& s) {
    std::string bytes;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 &&
            HexValue(s[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
            continue;
        }
        char buf[8];
        const int n = WideCharToMultiByte(CP_UTF8, 0, &s[i], 1, buf, sizeof buf, nullptr, nullptr);
        bytes.append(buf, static_cast<size_t>(n > 0 ? n : 0));
    }
    return FromCodePage(CP_UTF8, bytes);
}

std::wstring PercentEncode(const std::wstring& s) {
    static const char hex[] = "0123456789ABCDEF";
    std::wstring r;
    if (s.empty()) return r;
    const int n = WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n > 0 ? n : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), bytes.data(), n, nullptr,
                        nullptr);
    for (unsigned char c : bytes) {
        if (isalnum(c) || c == '-' || c == '_' || c == '.' || c == '*') {
            r += static_cast<wchar_t>(c);
        } else if (c == ' ') {
            r += L'+';
        } else {
            r += L'%';
            r += static_cast<wchar_t>(hex[c >> 4]);
            r += static_cast<wchar_t>(hex[c & 15]);
        }
    }
    return r;
}

std::wstring CanonicalUrl(const std::wstring& typed) {
    if (typed.empty() || EqualsNoCase(typed, L"about:blank")) return L"about:blank";
    if (IsDriveAt(typed, 0) || typed.rfind(L"\\\\", 0) == 0) {
        std::wstring p = typed;
        for (auto& c : p)
            if (c == L'\\') c = L'/';
        return (typed[1] == L':' ? L"file:///" : L"file:") + p;
    }
    if (StartsWithNoCase(typed, L"file:")) {
        std::wstring rest = typed.substr(5);
        for (auto& c : rest)
            if (c == L'\\') c = L'/';
        size_t i = 0;
        while (i < rest.size() && rest[i] == L'/')
            ++i;
        if (IsDriveAt(rest, i)) return L"file:///" + rest.substr(i);
        return L"file:" + rest;
    }
    return typed;
}

std::wstring FileUrlToPath(const std::wstring& url) {
    const std::wstring canon = CanonicalUrl(url);
    if (!StartsWithNoCase(canon, L"file:")) return {};
    std::wstring rest = canon.substr(5);
    const size_t cut = rest.find_first_of(L"?#");
    if (cut != std::wstring::npos) rest.resize(cut);
    rest = PercentDecode(rest);
    size_t i = 0;
    while (i < rest.size() && rest[i] == L'/')
        ++i;
    std::wstring path = IsDriveAt(rest, i) ? rest.substr(i) : L"\\\\" + rest.substr(i);
    for (auto& c : path)
        if (c == L'/') c = L'\\';
    return path;
}

std::wstring ResolveUrl(const std::wstring& base, const std::wstring& reference) {
    if (reference.empty()) return base;
    const size_t colon = reference.find(L':');
    const size_t slash = reference.find_first_of(L"/\\?#");
    if (IsDriveAt(reference, 0) || (colon != std::wstring::npos && colon > 1 && colon < slash))
        return CanonicalUrl(reference);
    std::wstring b = base;
    const size_t cut = b.find_first_of(L"?#");
    if (cut != std::wstring::npos) b.resize(cut);
    if (reference[0] == L'?' || reference[0] == L'#') return b + reference;
    std::wstring ref = reference;
    for (auto& c : ref)
        if (c == L'\\') c = L'/';
    std::wstring prefix; // "file:///C:" or the scheme and authority
    std::wstring path;
    if (StartsWithNoCase(b, L"file:///") && IsDriveAt(b, 8)) {
        prefix = b.substr(0, 10);
        path = b.substr(10);
    } else {
        const size_t authority = b.find(L"//");
        const size_t start =
            authority == std::wstring::npos ? b.find(L':') + 1 : b.find(L'/', authority + 2);
        if (start == std::wstring::npos || start > b.size()) return ref;
        prefix = b.substr(0, start);
        path = b.substr(start);
    }
    if (ref[0] != L'/')
        path = path.substr(0, path.rfind(L'/') + 1) + ref;
    else
        path = ref;
    // Remove "." and ".." segments.
    std::wstring out;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t next = path.find(L'/', pos);
        if (next == std::wstring::npos) next = path.size();
        const std::wstring seg = path.substr(pos, next - pos);
        const bool last = next == path.size();
        if (seg == L"..") {
            const size_t prev = out.rfind(L'/');
            out.resize(prev == std::wstring::npos ? 0 : prev);
            if (last) out += L'/';
        } else if (seg == L".") {
            if (last) out += L'/';
        } else if (pos != 0 || !seg.empty()) {
            out += L'/';
            out += seg;
        }
        pos = next + 1;
    }
    return prefix + out;
}

std::wstring DecodePageBytes(const std::string& bytes) {
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return FromCodePage(CP_UTF8, bytes.substr(3));
    if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0) {
        std::wstring r((bytes.size() - 2) / 2, L'\0');
        memcpy(r.data(), bytes.data() + 2, r.size() * 2);
        return r;
    }
    if (const UINT cp = MetaCodePage(bytes)) return FromCodePage(cp, bytes);
    const std::wstring utf8 = FromCodePage(CP_UTF8, bytes, MB_ERR_INVALID_CHARS);
    if (!utf8.empty() || bytes.empty()) return utf8;
    return FromCodePage(CP_ACP, bytes);
}

std::optional<std::wstring> LoadPage(const std::wstring& url) {
    const std::wstring canon = CanonicalUrl(url);
    if (canon == L"about:blank") return std::wstring();
    const std::wstring path = FileUrlToPath(canon);
    if (path.empty()) return std::nullopt;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 64 * 1024 * 1024) return std::nullopt;
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return std::nullopt;
    bytes.resize(read);
    return DecodePageBytes(bytes);
}

} // namespace torva::browser

// Where pages come from: local files named by a path or a file: URL, and
// about:blank. URLs are kept in the form the browser reports them
// (file:///C:/dir/page.html); relative references resolve against them.
#pragma once

#include <optional>
#include <string>

namespace torva::browser {

// The URL the browser reports for what the user typed: a path becomes a
// file: URL, a file: URL is normalised, other URLs are kept.
std::wstring CanonicalUrl(const std::wstring& typed);
// The local path of a file: URL (query and fragment dropped); empty when the
// URL is no file: URL.
std::wstring FileUrlToPath(const std::wstring& url);
// A reference resolved against a base URL.
std::wstring ResolveUrl(const std::wstring& base, const std::wstring& reference);
// The markup of a page as text: about:blank is empty; a file is decoded from
// UTF-8 or UTF-16 (by its byte-order mark), from the charset its meta tag
// names, from UTF-8 when it is valid UTF-8, else from the ANSI code page.
// Nothing when the page cannot be read.
std::optional<std::wstring> LoadPage(const std::wstring& url);
// Decodes the bytes of a page (exposed for tests).
std::wstring DecodePageBytes(const std::string& bytes);
// %XX escapes of a URL (form data and file names), decoded as UTF-8.
std::wstring PercentDecode(const std::wstring& s);
std::wstring PercentEncode(const std::wstring& s);

} // namespace torva::browser

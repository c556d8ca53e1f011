#include "KeyPath.h"

#include "Brisbel.h"
#include "NameFold.h"

namespace brisbel {

DWORD KeyPath::Parse(std::wstring_view text, KeyPath& out) {
    if (text.size() > TVRDB_MAX_NAME) return TVRDB_E_NAME_TOO_LONG;
    while (!text.empty() && text.front() == L'\\')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == L'\\')
        text.remove_suffix(1);

    KeyPath path;
    while (!text.empty()) {
        const size_t end = text.find(L'\\');
        const std::wstring_view part = text.substr(0, end);
        if (part.empty()) return TVRDB_E_INVALID_ARG;
        path.m_names.emplace_back(part);
        path.m_folded.push_back(NameFold::Fold(part));
        if (end == std::wstring_view::npos) break;
        text.remove_prefix(end + 1);
    }
    out = std::move(path);
    return TVRDB_OK;
}

DWORD KeyPath::Join(const KeyPath& relative, KeyPath& out) const {
    size_t length = Length() + relative.Length();
    if (!IsRoot() && !relative.IsRoot()) ++length;
    if (length > TVRDB_MAX_NAME) return TVRDB_E_NAME_TOO_LONG;

    KeyPath joined = *this;
    joined.m_names.insert(joined.m_names.end(), relative.m_names.begin(), relative.m_names.end());
    joined.m_folded.insert(joined.m_folded.end(), relative.m_folded.begin(),
                           relative.m_folded.end());
    out = std::move(joined);
    return TVRDB_OK;
}

size_t KeyPath::Length() const noexcept {
    if (m_names.empty()) return 0;
    size_t length = m_names.size() - 1;
    for (const auto& name : m_names)
        length += name.size();
    return length;
}

std::wstring KeyPath::Text() const {
    std::wstring text;
    text.reserve(Length());
    for (size_t i = 0; i < m_names.size(); ++i) {
        if (i != 0) text += L'\\';
        text += m_names[i];
    }
    return text;
}

} // namespace brisbel

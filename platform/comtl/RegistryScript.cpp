#include "RegistryScript.h"
#include <cwchar>
#include <cwctype>

namespace {

class ScriptReader {
public:
    explicit ScriptReader(const std::wstring& text) : m_text(text) {}

    // The next token: a brace, '=', a quoted string (quoted set) or a word.
    // Empty at the end. A '{' directly followed by a non-space character
    // starts a word such as a class id in braces.
    bool Next(std::wstring& token, bool& quoted) {
        quoted = false;
        token.clear();
        while (m_pos < m_text.size() && std::iswspace(m_text[m_pos]))
            ++m_pos;
        if (m_pos >= m_text.size()) return true;
        const wchar_t c = m_text[m_pos];
        if (c == L'{' && (m_pos + 1 >= m_text.size() || std::iswspace(m_text[m_pos + 1]))) {
            ++m_pos;
            token = L"{";
            return true;
        }
        if (c == L'}' || c == L'=') {
            ++m_pos;
            token.assign(1, c);
            return true;
        }
        if (c == L'\'') {
            quoted = true;
            for (++m_pos; m_pos < m_text.size(); ++m_pos) {
                if (m_text[m_pos] != L'\'') {
                    token += m_text[m_pos];
                } else if (m_pos + 1 < m_text.size() && m_text[m_pos + 1] == L'\'') {
                    token += L'\'';
                    ++m_pos;
                } else {
                    ++m_pos;
                    return true;
                }
            }
            return false; // unterminated quote
        }
        const bool braced = c == L'{';
        while (m_pos < m_text.size()) {
            const wchar_t w = m_text[m_pos];
            if (braced ? w == L'}' : (std::iswspace(w) || w == L'=' || w == L'}' || w == L'{'))
                break;
            token += w;
            ++m_pos;
        }
        if (braced) {
            if (m_pos >= m_text.size()) return false;
            token += L'}';
            ++m_pos;
        }
        return true;
    }

    bool Peek(std::wstring& token, bool& quoted) {
        const size_t saved = m_pos;
        const bool ok = Next(token, quoted);
        m_pos = saved;
        return ok;
    }

private:
    const std::wstring& m_text;
    size_t m_pos = 0;
};

bool Is(const std::wstring& token, const wchar_t* word) {
    return ::_wcsicmp(token.c_str(), word) == 0;
}

HKEY RootFromName(const std::wstring& name) {
    if (Is(name, L"HKCR") || Is(name, L"HKEY_CLASSES_ROOT")) return HKEY_CLASSES_ROOT;
    if (Is(name, L"HKLM") || Is(name, L"HKEY_LOCAL_MACHINE")) return HKEY_LOCAL_MACHINE;
    if (Is(name, L"HKCU") || Is(name, L"HKEY_CURRENT_USER")) return HKEY_CURRENT_USER;
    if (Is(name, L"HKU") || Is(name, L"HKEY_USERS")) return HKEY_USERS;
    return nullptr;
}

// After '=': a type letter and the quoted value.
bool ReadValue(ScriptReader& reader, RegScriptValue& value) {
    std::wstring type, text;
    bool quoted = false;
    if (!reader.Next(type, quoted) || quoted || !reader.Next(text, quoted) || !quoted) return false;
    if (Is(type, L"s")) {
        value.type = REG_SZ;
    } else if (Is(type, L"e")) {
        value.type = REG_EXPAND_SZ;
    } else if (Is(type, L"d")) {
        value.type = REG_DWORD;
        wchar_t* end = nullptr;
        value.number = static_cast<DWORD>(std::wcstoul(text.c_str(), &end, 0));
        if (text.empty() || *end != L'\0') return false;
    } else {
        return false;
    }
    value.text = text;
    return true;
}

bool ReadKeys(ScriptReader& reader, RegScriptKey* owner, std::vector<RegScriptKey>& keys);

// One entry inside braces: a named value of the owning key ("val") or a key
// with its optional default value and block. owner is null directly under a
// root, where no values may stand.
bool ReadEntry(ScriptReader& reader, std::wstring first, bool quoted, RegScriptKey* owner,
               std::vector<RegScriptKey>& keys) {
    if (!quoted && Is(first, L"val")) {
        RegScriptValue value;
        std::wstring eq;
        if (!owner || !reader.Next(value.name, quoted) || value.name.empty()) return false;
        if (!reader.Next(eq, quoted) || eq != L"=" || !ReadValue(reader, value)) return false;
        owner->values.push_back(value);
        return true;
    }
    RegScriptKey key;
    if (!quoted && (Is(first, L"NoRemove") || Is(first, L"ForceRemove"))) {
        key.removal = Is(first, L"NoRemove") ? RegScriptKey::Removal::NoRemove
                                             : RegScriptKey::Removal::ForceRemove;
        if (!reader.Next(first, quoted)) return false;
    }
    if (first.empty() || (!quoted && (first == L"{" || first == L"}" || first == L"=")))
        return false;
    key.name = first;
    std::wstring token;
    if (!reader.Peek(token, quoted)) return false;
    if (!quoted && token == L"=") {
        (void)reader.Next(token, quoted);
        RegScriptValue value; // the default value: no name
        if (!ReadValue(reader, value)) return false;
        key.values.push_back(value);
        if (!reader.Peek(token, quoted)) return false;
    }
    if (!quoted && token == L"{") {
        (void)reader.Next(token, quoted);
        if (!ReadKeys(reader, &key, key.subkeys)) return false;
    }
    keys.push_back(std::move(key));
    return true;
}

// Reads entries up to the closing brace.
bool ReadKeys(ScriptReader& reader, RegScriptKey* owner, std::vector<RegScriptKey>& keys) {
    for (;;) {
        std::wstring token;
        bool quoted = false;
        if (!reader.Next(token, quoted) || token.empty()) return false;
        if (!quoted && token == L"}") return true;
        if (!ReadEntry(reader, token, quoted, owner, keys)) return false;
    }
}

} // namespace

bool SubstituteRegScript(const std::wstring& text, const RegScriptVariables& variables,
                         std::wstring& out) {
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'%') {
            out += text[i];
            continue;
        }
        const size_t end = text.find(L'%', i + 1);
        if (end == std::wstring::npos) return false;
        const std::wstring name = text.substr(i + 1, end - i - 1);
        if (name.empty()) {
            out += L'%';
        } else {
            const auto found = variables.find(name);
            if (found == variables.end()) return false;
            out += found->second;
        }
        i = end;
    }
    return true;
}

bool ParseRegScript(const std::wstring& text, std::vector<RegScriptRoot>& out) {
    out.clear();
    ScriptReader reader(text);
    for (;;) {
        std::wstring token;
        bool quoted = false;
        if (!reader.Next(token, quoted)) return false;
        if (token.empty()) return true;
        RegScriptRoot root;
        root.root = quoted ? nullptr : RootFromName(token);
        if (!root.root || !reader.Next(token, quoted) || token != L"{") return false;
        if (!ReadKeys(reader, nullptr, root.keys)) return false;
        out.push_back(std::move(root));
    }
}

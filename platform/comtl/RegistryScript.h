#pragma once
#include <windows.h>
#include <map>
#include <string>
#include <vector>

// A registrar script, parsed. The text form:
//   HKCR
//   {
//       NoRemove CLSID
//       {
//           ForceRemove {guid} = s 'Name'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'Apartment'
//               }
//           }
//       }
//   }
// Values are s (REG_SZ), e (REG_EXPAND_SZ) or d (REG_DWORD, decimal or 0x).
// Quoted names and values use single quotes, '' standing for one quote.
struct RegScriptValue {
    std::wstring name; // empty: the key's default value
    DWORD type = REG_SZ;
    std::wstring text;
    DWORD number = 0;
};

struct RegScriptKey {
    // ForceRemove: registration starts from an empty key and removal takes
    // the whole tree. NoRemove: removal keeps the key (only the values the
    // script names go). Plain: removal deletes the key once its script
    // sub keys are gone and nothing else is left below it.
    enum class Removal { Plain, NoRemove, ForceRemove };

    std::wstring name;
    Removal removal = Removal::Plain;
    std::vector<RegScriptValue> values; // the default value, when given, first
    std::vector<RegScriptKey> subkeys;
};

struct RegScriptRoot {
    HKEY root = nullptr;
    std::vector<RegScriptKey> keys;
};

using RegScriptVariables = std::map<std::wstring, std::wstring>;

// Replaces %NAME% by its variable (%% by one %). Fails on an unknown name or
// an unterminated reference.
[[nodiscard]] bool SubstituteRegScript(const std::wstring& text,
                                       const RegScriptVariables& variables, std::wstring& out);

// Parses substituted script text; false on any syntax error (out is then
// incomplete and must not be applied).
[[nodiscard]] bool ParseRegScript(const std::wstring& text, std::vector<RegScriptRoot>& out);

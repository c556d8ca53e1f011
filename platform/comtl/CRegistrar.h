#pragma once
#include <windows.h>
#include <string>
#include "RegistryScript.h"

// Applies a registrar script (see RegistryScript.h) to the registry or takes
// it away again. Removal of what is already gone succeeds, so unregistering
// twice is harmless. A registration that fails half way is removed again.
class CRegistrar {
public:
    // %name% in scripts becomes value (e.g. MODULE, the server's path).
    void AddReplacement(const wchar_t* name, const wchar_t* value) { m_variables[name] = value; }

    [[nodiscard]] HRESULT ApplyScript(const std::wstring& text, bool registering);
    // A script stored as resource type "REGISTRY" (UTF-8 text).
    [[nodiscard]] HRESULT ApplyResource(HINSTANCE module, UINT id, bool registering);

private:
    RegScriptVariables m_variables;
};

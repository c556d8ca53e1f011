// Gives the product's shared databases their initial content: each of
// "TORVA_SYSTEMDEFINED", "TORVA_ADMIN" and "TORVA_GINA" that is missing or
// empty (no key, no value) is filled; one that holds anything is left as
// it is, and so is every other database.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace dbinit {

struct InitOutcome {
    std::wstring name;
    DWORD status = 0; // the database library's result; 0 when done or left alone
    bool filled = false;
};

class DbInitializer {
public:
    static std::vector<InitOutcome> Run(const std::wstring& folder);
};

} // namespace dbinit

// Self-registration of the add-in: besides the COM entries, the band goes
// first into the machine's toolbar list and into the saved toolbar layout
// of every user profile; unregistration takes both out again.
#pragma once

#include <windows.h>

#include <string>

class ProfileHives;

// Where registration reads and writes. The defaults are the machine's; tests
// point them at keys of their own.
struct RegistrationPlaces {
    HKEY machineRoot = HKEY_LOCAL_MACHINE;
    std::wstring toolbarKey = L"Software\\Microsoft\\Internet Explorer\\Toolbar";
    std::wstring versionVectorKey = L"Software\\Microsoft\\Internet Explorer\\Version Vector";
    std::wstring profileListKey = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
    ProfileHives* hives = nullptr; // null: the machine's profiles
    // The COM step: the object map's registrar scripts and the type library.
    HRESULT (*comStep)(bool registering) = nullptr;
};

// DllRegisterServer and DllUnregisterServer.
[[nodiscard]] HRESULT RegisterQuorvel(const RegistrationPlaces& places);
[[nodiscard]] HRESULT UnregisterQuorvel(const RegistrationPlaces& places);

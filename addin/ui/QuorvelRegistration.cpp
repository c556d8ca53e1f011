#include "QuorvelRegistration.h"

#include "ProfileLayouts.h"
#include "QuorvelGuids.h"
#include "RegistrySupport.h"
#include "ToolbarList.h"

#include <TraceScope.h>
#include <Win32Handles.h>

#include <vector>

namespace {

constexpr wchar_t kRestorePrivilege[] = L"SeRestorePrivilege";

HRESULT RunComStep(const RegistrationPlaces& places, bool registering) {
    return places.comStep ? places.comStep(registering) : S_OK;
}

// The band's machine-wide value still reads "TORVA": our registrar script
// has run before and every layout already holds the band.
bool BandAlreadyRegistered(const RegistrationPlaces& places) {
    torva::UniqueRegKey key;
    if (PutErrorMessage(::RegOpenKeyExW(places.machineRoot, places.toolbarKey.c_str(), 0,
                                        KEY_READ | KEY_WOW64_64KEY, key.put())) != ERROR_SUCCESS)
        return false;
    return ::_wcsicmp(ReadTextValue(key.get(), kStockBarClsidText, MAX_PATH).c_str(),
                      kStockBarToolbarText) == 0;
}

// The profile folders and names, or false when there is nothing to walk.
bool PrepareWalk(const RegistrationPlaces& places, ProfileWalk& walk) {
    ProfileSetup setup;
    if (!ReadProfileSetup(places.machineRoot, places.profileListKey.c_str(), setup)) return false;
    walk.profilesDirectory = setup.profilesDirectory;
    walk.defaultUserProfile = setup.defaultUserProfile;
    // A default profile given as a full path names the same folder.
    const std::wstring prefix = setup.profilesDirectory + L"\\";
    if (walk.defaultUserProfile.compare(0, prefix.size(), prefix) == 0)
        walk.defaultUserProfile.erase(0, prefix.size());
    walk.currentUserFolderName = CurrentUserFolderName(setup.profilesDirectory);
    return GetDirectory(setup.profilesDirectory + L"\\*", walk.folders) != FALSE;
}

ProfileHives& HivesOf(const RegistrationPlaces& places, MachineProfileHives& machine) {
    return places.hives ? *places.hives : machine;
}

} // namespace

HRESULT RegisterQuorvel(const RegistrationPlaces& places) {
    TORVA_TRACE_SCOPE(L"DllRegisterServer");
    ProfileWalk walk;
    walk.layoutName = GetITBarLayoutKeyAt(places.machineRoot, places.versionVectorKey.c_str());

    torva::UniqueRegKey toolbar;
    DWORD disposition = 0;
    if (PutErrorMessage(::RegCreateKeyExW(places.machineRoot, places.toolbarKey.c_str(), 0, nullptr,
                                          0, KEY_ALL_ACCESS, nullptr, toolbar.put(),
                                          &disposition)) != ERROR_SUCCESS) {
        torvaTraceScope.Text(L"FALSE", __LINE__);
        return E_FAIL;
    }
    std::size_t otherCount = 0;
    switch (PutBandFirst(toolbar.get(), kStockBarClsidText, otherCount)) {
    case ToolbarListResult::AlreadyListed:
        // Registered before: only the COM entries are made again.
        toolbar.reset();
        TORVA_RETURN_INT(RunComStep(places, true));
    case ToolbarListResult::Failed:
        torvaTraceScope.Text(L"FALSE", __LINE__);
        return E_FAIL;
    case ToolbarListResult::PutFirst:
        break;
    }
    toolbar.reset();

    if (PrepareWalk(places, walk)) {
        if (!Privilege(kRestorePrivilege, TRUE)) {
            torvaTraceScope.Text(L"FALSE", __LINE__);
            return E_FAIL;
        }
        if (!BandAlreadyRegistered(places)) {
            MachineProfileHives machine;
            AddBandToProfiles(walk, otherCount == 0, HivesOf(places, machine));
        }
        (void)Privilege(kRestorePrivilege, FALSE);
    }
    TORVA_RETURN_INT(RunComStep(places, true));
}

HRESULT UnregisterQuorvel(const RegistrationPlaces& places) {
    TORVA_TRACE_SCOPE(L"DllUnregisterServer");
    ProfileWalk walk;
    walk.layoutName = GetITBarLayoutKeyAt(places.machineRoot, places.versionVectorKey.c_str());
    {
        torva::UniqueRegKey toolbar;
        if (PutErrorMessage(::RegCreateKeyExW(places.machineRoot, places.toolbarKey.c_str(), 0,
                                              nullptr, 0, KEY_WRITE, nullptr, toolbar.put(),
                                              nullptr)) != ERROR_SUCCESS) {
            torvaTraceScope.Text(L"FALSE", __LINE__);
            return E_FAIL;
        }
        // Already gone (a second unregistration): the rest still runs.
        const LSTATUS deleted =
            PutErrorMessage(::RegDeleteValueW(toolbar.get(), kStockBarClsidText));
        if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) {
            torvaTraceScope.Text(L"FALSE", __LINE__);
            return E_FAIL;
        }
    }

    if (PrepareWalk(places, walk)) {
        if (!Privilege(kRestorePrivilege, TRUE)) {
            torvaTraceScope.Text(L"FALSE", __LINE__);
            return E_FAIL;
        }
        if (!BandAlreadyRegistered(places)) {
            MachineProfileHives machine;
            RemoveBandFromProfiles(walk, HivesOf(places, machine));
        }
        (void)Privilege(kRestorePrivilege, FALSE);
    }
    TORVA_RETURN_INT(RunComStep(places, false));
}

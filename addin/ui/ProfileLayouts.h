// The toolbar layouts of every user profile on the machine: our band is
// added to (registration) or taken out of (unregistration) the saved layout
// of each profile, the current user's through HKEY_CURRENT_USER and the
// others' by loading their NTUSER.DAT for the duration of one update.
#pragma once

#include <windows.h>

#include <Win32Handles.h>

#include <string>
#include <vector>

// The registry root of one profile while it is updated. Closes the key and,
// for a hive it loaded, unloads it again.
class ProfileRoot {
public:
    ProfileRoot() = default;
    ProfileRoot(const ProfileRoot&) = delete;
    ProfileRoot& operator=(const ProfileRoot&) = delete;
    ~ProfileRoot() { Reset(); }

    HKEY Get() const noexcept { return m_borrowed ? m_borrowed : m_owned.get(); }
    // A root someone else owns (HKEY_CURRENT_USER).
    void Borrow(HKEY root) noexcept;
    // An opened key, closed at the end.
    void Own(HKEY key) noexcept;
    // An opened key of a hive loaded under HKEY_USERS\hiveName: the key is
    // closed, then the hive unloaded.
    void OwnLoaded(HKEY key, const std::wstring& hiveName);
    void Reset() noexcept;

private:
    HKEY m_borrowed = nullptr;
    torva::UniqueRegKey m_owned;
    std::wstring m_hiveName; // non-empty: unload at the end
};

// Opens the registry root of a profile folder.
class ProfileHives {
public:
    virtual ~ProfileHives() = default;
    // folderName: the folder's name below the profiles directory; current:
    // it is the running user's own profile. False: the profile is skipped.
    virtual bool Open(const std::wstring& folderPath, const std::wstring& folderName, bool current,
                      ProfileRoot& root) = 0;
};

// The machine's own: HKEY_CURRENT_USER for the current user, the profile's
// NTUSER.DAT loaded under HKEY_USERS\<folder name> for any other (needs
// SeRestorePrivilege; a hive in use by a logged-on user fails and is skipped).
class MachineProfileHives : public ProfileHives {
public:
    bool Open(const std::wstring& folderPath, const std::wstring& folderName, bool current,
              ProfileRoot& root) override;
};

struct ProfileWalk {
    std::vector<std::wstring> folders;  // "<profiles directory>\<name>"
    std::wstring profilesDirectory;     // expanded, as ProfileList gives it
    std::wstring defaultUserProfile;    // expanded; may be empty
    std::wstring currentUserFolderName; // from USERPROFILE; may be empty
    std::wstring layoutName;            // "ITBarLayout" or "ITBar7Layout"
};

// The current user's profile folder name: USERPROFILE with every
// "<profiles directory>\" taken out; empty when USERPROFILE is unset.
std::wstring CurrentUserFolderName(const std::wstring& profilesDirectory);

// Registration: each profile's layout gets our band (a missing layout value
// the default layout). firstToolbar: no other toolbar was registered on the
// machine. A profile that cannot be opened or updated is skipped; the walk
// goes on with the next one.
void AddBandToProfiles(const ProfileWalk& walk, bool firstToolbar, ProfileHives& hives);
// Unregistration: each profile's layout loses our band.
void RemoveBandFromProfiles(const ProfileWalk& walk, ProfileHives& hives);

// The per-user steps, on an opened "...\Toolbar\WebBrowser" key.
void AddBandToUserLayout(HKEY webBrowserKey, const std::wstring& layoutName, bool firstToolbar);
void RemoveBandFromUserLayout(HKEY webBrowserKey, const std::wstring& layoutName,
                              bool defaultProfile);

inline constexpr wchar_t kWebBrowserToolbarKey[] =
    L"Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser";

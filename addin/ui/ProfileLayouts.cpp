#include "ProfileLayouts.h"

#include "QuorvelGuids.h"
#include "RegistrySupport.h"
#include "ToolbarLayout.h"

#include <TraceScope.h>

using toolbar_layout::Layout;

void ProfileRoot::Borrow(HKEY root) noexcept {
    Reset();
    m_borrowed = root;
}

void ProfileRoot::Own(HKEY key) noexcept {
    Reset();
    m_owned.reset(key);
}

void ProfileRoot::OwnLoaded(HKEY key, const std::wstring& hiveName) {
    Reset();
    m_owned.reset(key);
    m_hiveName = hiveName;
}

void ProfileRoot::Reset() noexcept {
    m_borrowed = nullptr;
    m_owned.reset();
    if (!m_hiveName.empty()) {
        (void)PutErrorMessage(::RegUnLoadKeyW(HKEY_USERS, m_hiveName.c_str()));
        m_hiveName.clear();
    }
}

bool MachineProfileHives::Open(const std::wstring& folderPath, const std::wstring& folderName,
                               bool current, ProfileRoot& root) {
    if (current) {
        root.Borrow(HKEY_CURRENT_USER);
        return true;
    }
    if (folderName.empty()) return false;
    const std::wstring hive = folderPath + L"\\NTUSER.DAT";
    if (PutErrorMessage(::RegLoadKeyW(HKEY_USERS, folderName.c_str(), hive.c_str())) !=
        ERROR_SUCCESS)
        return false;
    HKEY key = nullptr;
    if (PutErrorMessage(::RegOpenKeyExW(HKEY_USERS, folderName.c_str(), 0, KEY_ALL_ACCESS, &key)) !=
        ERROR_SUCCESS) {
        (void)PutErrorMessage(::RegUnLoadKeyW(HKEY_USERS, folderName.c_str()));
        return false;
    }
    root.OwnLoaded(key, folderName);
    return true;
}

namespace {

void EraseAll(std::wstring& text, const std::wstring& part) {
    if (part.empty()) return;
    std::size_t at = 0;
    while ((at = text.find(part, at)) != std::wstring::npos)
        text.erase(at, part.size());
}

enum class LayoutRead { Read, Missing, Unusable };

// Only a value of exactly the layout's size is ever edited; anything else
// (longer, shorter, another type) belongs to a browser we do not know.
LayoutRead ReadLayout(HKEY key, const std::wstring& name, Layout& layout) {
    layout.fill(0);
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(layout.size());
    const LSTATUS status = PutErrorMessage(
        ::RegQueryValueExW(key, name.c_str(), nullptr, &type, layout.data(), &bytes));
    if (status == ERROR_FILE_NOT_FOUND) return LayoutRead::Missing;
    if (status != ERROR_SUCCESS || type != REG_BINARY || bytes != layout.size())
        return LayoutRead::Unusable;
    return LayoutRead::Read;
}

void WriteLayout(HKEY key, const std::wstring& name, const Layout& layout) {
    (void)PutErrorMessage(::RegSetValueExW(key, name.c_str(), 0, REG_BINARY, layout.data(),
                                           static_cast<DWORD>(layout.size())));
}

template <typename UserStep>
void WalkProfiles(const ProfileWalk& walk, ProfileHives& hives, UserStep step) {
    const std::wstring prefix = walk.profilesDirectory + L"\\";
    for (const std::wstring& folder : walk.folders) {
        std::wstring name = folder;
        EraseAll(name, prefix);
        const bool current =
            !walk.currentUserFolderName.empty() && name == walk.currentUserFolderName;
        ProfileRoot root;
        if (!hives.Open(folder, name, current, root)) continue;
        torva::UniqueRegKey webBrowser;
        if (PutErrorMessage(::RegCreateKeyExW(root.Get(), kWebBrowserToolbarKey, 0, nullptr, 0,
                                              KEY_ALL_ACCESS, nullptr, webBrowser.put(),
                                              nullptr)) != ERROR_SUCCESS)
            continue;
        step(webBrowser.get(), name);
    }
}

} // namespace

std::wstring CurrentUserFolderName(const std::wstring& profilesDirectory) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(L"USERPROFILE", buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::wstring name(buffer, length);
    EraseAll(name, profilesDirectory + L"\\");
    return name;
}

void AddBandToUserLayout(HKEY webBrowserKey, const std::wstring& layoutName, bool firstToolbar) {
    TORVA_TRACE_SCOPE(L"AddBandToUserLayout");
    Layout layout{};
    switch (ReadLayout(webBrowserKey, layoutName, layout)) {
    case LayoutRead::Missing:
        WriteLayout(webBrowserKey, layoutName, toolbar_layout::DefaultLayout(CLSID_StockBar));
        TORVA_RETURN_VOID();
    case LayoutRead::Unusable:
        TORVA_TRACE_DETAIL(L"layout left alone");
        TORVA_RETURN_VOID();
    case LayoutRead::Read:
        break;
    }
    const toolbar_layout::AddResult result =
        toolbar_layout::AddBand(layout, CLSID_StockBar, firstToolbar);
    if (result == toolbar_layout::AddResult::Added)
        WriteLayout(webBrowserKey, layoutName, layout);
    else
        TORVA_TRACE_DETAIL(L"layout unchanged (%d)", static_cast<int>(result));
    TORVA_RETURN_VOID();
}

void RemoveBandFromUserLayout(HKEY webBrowserKey, const std::wstring& layoutName,
                              bool defaultProfile) {
    TORVA_TRACE_SCOPE(L"RemoveBandFromUserLayout");
    Layout layout{};
    if (ReadLayout(webBrowserKey, layoutName, layout) != LayoutRead::Read) TORVA_RETURN_VOID();
    switch (toolbar_layout::RemoveBand(layout, CLSID_StockBar)) {
    case toolbar_layout::RemoveResult::Removed:
        WriteLayout(webBrowserKey, layoutName, layout);
        break;
    case toolbar_layout::RemoveResult::NotFirst:
        // The browser rebuilds a missing layout; the default profile's is
        // the template of new users and stays.
        if (!defaultProfile)
            (void)PutErrorMessage(::RegDeleteValueW(webBrowserKey, layoutName.c_str()));
        break;
    case toolbar_layout::RemoveResult::NotPresent:
        break;
    }
    TORVA_RETURN_VOID();
}

void AddBandToProfiles(const ProfileWalk& walk, bool firstToolbar, ProfileHives& hives) {
    TORVA_TRACE_SCOPE(L"AddBandToProfiles");
    WalkProfiles(walk, hives, [&](HKEY key, const std::wstring&) {
        AddBandToUserLayout(key, walk.layoutName, firstToolbar);
    });
    TORVA_RETURN_VOID();
}

void RemoveBandFromProfiles(const ProfileWalk& walk, ProfileHives& hives) {
    TORVA_TRACE_SCOPE(L"RemoveBandFromProfiles");
    WalkProfiles(walk, hives, [&](HKEY key, const std::wstring& name) {
        RemoveBandFromUserLayout(key, walk.layoutName,
                                 !walk.defaultUserProfile.empty() &&
                                     name == walk.defaultUserProfile);
    });
    TORVA_RETURN_VOID();
}

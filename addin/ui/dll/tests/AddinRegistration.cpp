#include "AddinRegistration.h"

#include "DllTestSupport.h"

namespace module_tests {

namespace {

constexpr wchar_t kToolbar[] = L"Software\\Microsoft\\Internet Explorer\\Toolbar";
constexpr wchar_t kExtensions[] = L"Software\\Microsoft\\Internet Explorer\\Extensions";
constexpr wchar_t kWebBrowser[] = L"Software\\Microsoft\\Internet Explorer\\Toolbar\\WebBrowser";

void DeleteKeyTree(HKEY root, const wchar_t* path) {
    ::RegDeleteTreeW(root, path);
    ::RegDeleteKeyW(root, path);
}

} // namespace

AddinRegistration::AddinRegistration(Start start) {
    m_toolbar = ReadValues(HKEY_LOCAL_MACHINE, kToolbar);
    m_extensionsExisted = KeyExists(HKEY_LOCAL_MACHINE, kExtensions);
    m_userToolbarExisted = KeyExists(HKEY_CURRENT_USER, kToolbar);
    m_webBrowser = ReadValues(HKEY_CURRENT_USER, kWebBrowser);
    if (start == Start::Registered && !InstalledQuorvel().empty()) m_result = Regsvr32(false);
}

AddinRegistration::~AddinRegistration() {
    (void)Regsvr32(true);
    RestoreValues(HKEY_LOCAL_MACHINE, kToolbar, m_toolbar);
    if (!m_extensionsExisted) DeleteKeyTree(HKEY_LOCAL_MACHINE, kExtensions);
    // The user's toolbar key did not exist: registration made it, layouts and
    // all. Otherwise only the layouts registration writes are put back.
    if (!m_userToolbarExisted)
        DeleteKeyTree(HKEY_CURRENT_USER, kToolbar);
    else
        RestoreValues(HKEY_CURRENT_USER, kWebBrowser, m_webBrowser);
}

} // namespace module_tests

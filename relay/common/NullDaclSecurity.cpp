#include "NullDaclSecurity.h"

namespace torva::relay {
namespace {

struct NullDacl {
    SECURITY_DESCRIPTOR descriptor{};
    SECURITY_ATTRIBUTES attributes{};
    NullDacl() noexcept {
        ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        // Present but null: every access is granted.
        ::SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
        attributes.nLength = sizeof attributes;
        attributes.lpSecurityDescriptor = &descriptor;
        attributes.bInheritHandle = FALSE;
    }
};

} // namespace

SECURITY_ATTRIBUTES* NullDaclAttributes() noexcept {
    static NullDacl instance;
    return &instance.attributes;
}

} // namespace torva::relay

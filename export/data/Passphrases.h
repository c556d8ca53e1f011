// The three passphrases of the values that other components of the product
// seal with TvrCT_PassEncrypt, and the export store opens: the machine
// passphrase (Windows-logon mode, touch authentication), the user passphrase
// (policy values) and the device passphrase (additional device information).
// They are put together at run time from pieces and never stored whole.
#pragma once

#include "SecretText.h"

#include <string>

// From the account domain of the first local account's SID (the SID text up
// to its last "-").
SecretText MachinePassphrase(const std::wstring& accountDomainSid);
// From the current user's full SID text.
SecretText UserPassphrase(const std::wstring& userSid);
SecretText DevicePassphrase();

// Defines the test type library's ids declared by its widl header; the
// system headers come first so that only the library's own ids are defined.
#include <windows.h>
#include <oaidl.h>
#include <initguid.h>
#include "ComtlTestLib.h"

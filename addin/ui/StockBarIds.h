// The band's class, interface and type-library ids, and its dual interface.
// mingw-w64 ignores __declspec(uuid), so the ids are explicit objects
// (selectany: the module's generated type-library ids may define them too).
#pragma once

#include <windows.h>
#include <oaidl.h>

extern "C" {
extern const CLSID CLSID_StockBar;   // {B26980BD-C1E7-4153-82C3-FB2CEC27657A}
extern const IID IID_IStockBar;      // {14A574BD-5A7B-4F33-9724-A8CF917230D7}
extern const GUID LIBID_MablixLib;   // {0CC4E8D2-3419-4696-A45E-A9DD1F3FE859}, version 1.0
}

#ifndef __IStockBar_INTERFACE_DEFINED__
#define __IStockBar_INTERFACE_DEFINED__
// "IStockBar Interface": a dual interface with the IDispatch methods only.
struct IStockBar : public IDispatch {};
#endif

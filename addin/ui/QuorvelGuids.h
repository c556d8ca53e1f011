// The add-in's class, interface and type-library ids. Declared as widl's
// headers declare them (C linkage), so that this header and the type
// library's generated header may meet in one file.
#pragma once

#include <windows.h>

extern "C" {
extern const GUID LIBID_MablixLib; // version 1.0
extern const GUID CLSID_StockBar;  // the band object
extern const GUID IID_IStockBar;
extern const GUID CLSID_SubmitButoonEventSink; // created internally only
extern const GUID IID_ISubmitButoonEventSink;
}

// The band's class id as text: its value name in the machine's toolbar list.
inline constexpr wchar_t kStockBarClsidText[] = L"{B26980BD-C1E7-4153-82C3-FB2CEC27657A}";
// What script 103 writes there.
inline constexpr wchar_t kStockBarToolbarText[] = L"TORVA";

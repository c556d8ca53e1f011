// The band's dual interface, as the type library declares it; its ids are
// the add-in's (QuorvelGuids.h).
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "QuorvelGuids.h"

#ifndef __IStockBar_INTERFACE_DEFINED__
#define __IStockBar_INTERFACE_DEFINED__
// "IStockBar Interface": a dual interface with the IDispatch methods only.
struct IStockBar : public IDispatch {};
#endif

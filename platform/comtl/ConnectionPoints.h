#pragma once
#include <windows.h>
#include <ocidl.h>

// Finds source's connection point for the outgoing interface iid and advises
// sink on it; cookie receives what ComUnadvise needs. The source keeps a
// reference to the sink until then.
[[nodiscard]] HRESULT ComAdvise(IUnknown* source, IUnknown* sink, REFIID iid, DWORD* cookie);
// Ends an advise made by ComAdvise; an unknown cookie gives the source's error.
[[nodiscard]] HRESULT ComUnadvise(IUnknown* source, REFIID iid, DWORD cookie);

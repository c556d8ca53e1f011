// Every section of a store, in the order the item tree lists them: the
// export of a tree whose every item is checked. The benchmark and the demo
// write with it.
#pragma once

#include "ExportBatch.h"

#include <vector>

// pages whose texts code page 932 cannot hold are left out when skipUrl matches.
std::vector<SectionWrite> AllSections(const CExportStore& store, const std::wstring& skipUrl);

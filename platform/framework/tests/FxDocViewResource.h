// Resource ids of the document/view tests' frame.
#pragma once

#define IDR_DV_FRAME 610
#define ID_DV_VIEW 40101
#define ID_DV_FRAME 40102
#define ID_DV_APP 40103
#define ID_DV_NOBODY 40104
#define ID_DV_DISABLED 40105

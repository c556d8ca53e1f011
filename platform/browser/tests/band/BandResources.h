// Resource ids of the test band (the add-in's own numbers, so the same
// script lines drive both).
#pragma once

#define IDM_TESTBAND_MENU 102
#define IDC_TESTBAND_DROPDOWN 102
#define IDC_TESTBAND_PLAIN 103
#define IDC_TESTBAND_OFF 104
#define IDC_TESTBAND_COMBO 105
#define IDC_TESTBAND_INPUT 106
#define IDD_TESTBAND_CONFIRM 109
#define IDC_TESTBAND_NOMORE 241
#define IDM_TESTBAND_REGISTER 32776
#define IDM_TESTBAND_MANAGE 32777
#define IDM_TESTBAND_ONOFF 32778
#define IDM_TESTBAND_OPTIONS 32779
#define IDM_TESTBAND_GREYED 32780

// The project's Windows class framework: the application object, windows
// and dialogs with message maps, data exchange, controls, menus, worker
// threads and ActiveX hosting, for the programs with windows (the manager,
// the export utility, the diagnosis tool). One include for a program.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "CCmdTarget.h"
#include "CCmdUI.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "CDocTemplate.h"
#include "CDocument.h"
#include "CFrameWnd.h"
#include "CImageList.h"
#include "CMenu.h"
#include "CObject.h"
#include "CSplitterWnd.h"
#include "CTreeCtrl.h"
#include "CView.h"
#include "CWinApp.h"
#include "CWinThread.h"
#include "CWnd.h"
#include "FxBars.h"
#include "FxControls.h"
#include "FxProgressCtrls.h"
#include "FxEventSink.h"
#include "FxGdi.h"
#include "FxGeometry.h"
#include "FxMessageMap.h"
#include "FxString.h"

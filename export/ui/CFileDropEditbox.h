// The export dialog's path box (1007): an edit box that takes one file
// dropped on it from the shell. A dropped file names the target when its
// extension is exactly ".csv"; any other file is refused with 22086 and the
// text stays as it was. Every drop is ended (DragFinish), whatever came of it.
#pragma once

#include "Framework.h"
#include "FxDropFiles.h"

namespace vantrel {

// The dialog subclasses its item with it and calls DragAcceptFiles(TRUE).
class CFileDropEditbox : public CEdit {
public:
    void OnDropFiles(HDROP drop);

protected:
    DECLARE_MESSAGE_MAP()
};

} // namespace vantrel

// The document of Vantrel: it holds nothing (the data live in the export
// store); new-document handling is the framework's.
#pragma once

#include "Framework.h"

class CVantrelDoc : public CDocument {
    DECLARE_DYNCREATE(CVantrelDoc)
};

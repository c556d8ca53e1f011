#include "CVantrelDoc.h"

IMPLEMENT_DYNCREATE(CVantrelDoc, CDocument)

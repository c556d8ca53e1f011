#include "CDataWebForm.h"

CDataWebForm::~CDataWebForm() {
    RemoveAllItems();
}

CDataWebItem& CDataWebForm::AddItem() {
    m_items.push_back(std::make_unique<CDataWebItem>());
    return *m_items.back();
}

#include "CObject.h"

#include <new>

CObject* CRuntimeClass::CreateObject() const {
    if (!m_pfnCreateObject) return nullptr;
    try {
        return m_pfnCreateObject();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const noexcept {
    for (const CRuntimeClass* type = this; type;
         type = type->m_pfnGetBaseClass ? type->m_pfnGetBaseClass() : nullptr) {
        if (type == base) return true;
    }
    return false;
}

const CRuntimeClass* CObject::GetThisClass() noexcept {
    static const CRuntimeClass s_class = {"CObject", nullptr, nullptr};
    return &s_class;
}

const CRuntimeClass* CObject::GetRuntimeClass() const noexcept {
    return GetThisClass();
}

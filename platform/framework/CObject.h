// CObject and CRuntimeClass: the root of the framework's classes and the
// run-time class information behind DECLARE_DYNAMIC / DECLARE_DYNCREATE
// (a class's name, its base and, for creatable classes, a factory), which
// lets a program create an object by its class (RUNTIME_CLASS(CMyView)) and
// ask an object for its kind (IsKindOf).
#pragma once

class CObject;

struct CRuntimeClass {
    const char* m_lpszClassName;
    CObject* (*m_pfnCreateObject)(); // null for classes that are not creatable
    const CRuntimeClass* (*m_pfnGetBaseClass)();

    // A new object of the class (the caller owns it), or null.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const noexcept;
};

class CObject {
public:
    CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
    virtual ~CObject() = default;

    static const CRuntimeClass* GetThisClass() noexcept;
    virtual const CRuntimeClass* GetRuntimeClass() const noexcept;
    bool IsKindOf(const CRuntimeClass* type) const noexcept {
        return GetRuntimeClass()->IsDerivedFrom(type);
    }
};

#define RUNTIME_CLASS(theClass) (theClass::GetThisClass())

#define DECLARE_DYNAMIC(theClass)                                                                  \
public:                                                                                            \
    static const CRuntimeClass* GetThisClass() noexcept;                                           \
    const CRuntimeClass* GetRuntimeClass() const noexcept override;

#define DECLARE_DYNCREATE(theClass)                                                                \
    DECLARE_DYNAMIC(theClass)                                                                      \
    static CObject* CreateObject();

#define FX_IMPLEMENT_RUNTIMECLASS(theClass, baseClass, factory)                                    \
    const CRuntimeClass* theClass::GetThisClass() noexcept {                                       \
        static const CRuntimeClass s_class = {#theClass, factory, &baseClass::GetThisClass};       \
        return &s_class;                                                                           \
    }                                                                                              \
    const CRuntimeClass* theClass::GetRuntimeClass() const noexcept {                              \
        return GetThisClass();                                                                     \
    }

#define IMPLEMENT_DYNAMIC(theClass, baseClass)                                                     \
    FX_IMPLEMENT_RUNTIMECLASS(theClass, baseClass, nullptr)

#define IMPLEMENT_DYNCREATE(theClass, baseClass)                                                   \
    CObject* theClass::CreateObject() {                                                            \
        return new theClass;                                                                       \
    }                                                                                              \
    FX_IMPLEMENT_RUNTIMECLASS(theClass, baseClass, &theClass::CreateObject)

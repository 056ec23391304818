// The root of the framework's class tree and its runtime-class records, which let the document
// template create documents, frames and views knowing only their records.
#pragma once

#include "core/Afx.h"

class CObject;

struct CRuntimeClass {
  const char* m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;  // 0xFFFF: never serialized
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;

  // A new object of this class, or nullptr when the class is not dynamically creatable.
  CObject* CreateObject() const;
  bool IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

class CObject {
 public:
  virtual ~CObject() = default;
  virtual const CRuntimeClass* GetRuntimeClass() const;
  bool IsKindOf(const CRuntimeClass* pClass) const;
  // Diagnostics: each class checks its own invariants and defers to its base.
  virtual void AssertValid() const {}
  virtual void Dump() const;

  static const CRuntimeClass classCObject;

 protected:
  CObject() = default;
};

#define RUNTIME_CLASS(theClass) (&theClass::class##theClass)

#define DECLARE_DYNAMIC(theClass)             \
 public:                                      \
  static const CRuntimeClass class##theClass; \
  const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(theClass) \
  DECLARE_DYNAMIC(theClass)         \
  static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS(theClass, baseClass, schema, pfnNew)                                  \
  const CRuntimeClass theClass::class##theClass = {#theClass, int(sizeof(theClass)), schema, pfnNew, \
                                                   RUNTIME_CLASS(baseClass)};                        \
  const CRuntimeClass* theClass::GetRuntimeClass() const { return RUNTIME_CLASS(theClass); }

#define IMPLEMENT_DYNAMIC(theClass, baseClass) IMPLEMENT_RUNTIMECLASS(theClass, baseClass, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(theClass, baseClass)             \
  CObject* theClass::CreateObject() { return new theClass; } \
  IMPLEMENT_RUNTIMECLASS(theClass, baseClass, 0xFFFF, theClass::CreateObject)

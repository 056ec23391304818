#include "core/CObject.h"

#include "core/Trace.h"

const CRuntimeClass CObject::classCObject = {"CObject", int(sizeof(CObject)), 0xFFFF, nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

CObject* CRuntimeClass::CreateObject() const {
  if (m_pfnCreateObject == nullptr) {
    AfxTrace("Error: Trying to create object which is not DECLARE_DYNCREATE: %s\n", m_lpszClassName);
    return nullptr;
  }
  return m_pfnCreateObject();
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
  for (const CRuntimeClass* p = this; p != nullptr; p = p->m_pBaseClass)
    if (p == pBaseClass) return true;
  return false;
}

bool CObject::IsKindOf(const CRuntimeClass* pClass) const { return GetRuntimeClass()->IsDerivedFrom(pClass); }

void CObject::Dump() const {
  AfxTrace("a %s at %p\n", GetRuntimeClass()->m_lpszClassName, static_cast<const void*>(this));
}

#include "core/CCmdTarget.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

namespace {
const AFX_MSGMAP_ENTRY g_noEntries[] = {{0, 0, 0, 0, AfxSig::end, {}}};
const AFX_MSGMAP g_rootMap = {nullptr, g_noEntries};
}  // namespace

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() { return &g_rootMap; }
const AFX_MSGMAP* CCmdTarget::GetMessageMap() const { return GetThisMessageMap(); }

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(const AFX_MSGMAP* pMap, UINT nMessage, int nCode, UINT nID) {
  for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
    for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nSig != AfxSig::end; ++e) {
      if (e->nMessage != nMessage) continue;
      if (nMessage != WM_COMMAND) return e;
      if (e->nCode == nCode && nID >= e->nID && nID <= e->nLastID) return e;
    }
  }
  return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
  const AFX_MSGMAP_ENTRY* e = FindMessageEntry(GetMessageMap(), WM_COMMAND, nCode, nID);
  if (e == nullptr) return FALSE;
  if (pHandlerInfo != nullptr) {
    pHandlerInfo->pTarget = this;
    pHandlerInfo->pEntry = e;
    return TRUE;
  }
  switch (e->nSig) {
    case AfxSig::v_cmdui:
      (this->*e->pfn.v_cmdui)(static_cast<CCmdUI*>(pExtra));
      break;
    case AfxSig::v_u:
      (this->*e->pfn.v_u)(nID);
      break;
    case AfxSig::v_v:
      (this->*e->pfn.v_v)();
      break;
    default:
      return FALSE;
  }
  return TRUE;
}

#include "core/CCmdUI.h"

#include "core/CCmdTarget.h"

void CCmdUI::Enable(BOOL bOn) {
  m_bEnabled = bOn != FALSE;
  m_bEnableChanged = true;
}

void CCmdUI::SetCheck(int nCheck) { m_nCheck = nCheck; }

void CCmdUI::SetText(const std::string&) {}

bool CCmdUI::DoUpdate(CCmdTarget* pTarget, bool bDisableIfNoHandler) {
  m_bEnableChanged = false;
  if (pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr)) return true;
  if (bDisableIfNoHandler && !m_bEnableChanged) {
    AFX_CMDHANDLERINFO info;
    Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
  }
  return false;
}

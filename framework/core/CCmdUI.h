// One user-interface element (menu item, toolbar button, status pane) whose state is decided by
// the command route: an update handler sets it; without one, the element is enabled exactly when
// some target on the route handles its command.
#pragma once

#include <string>

#include "core/Afx.h"

class CCmdTarget;

class CCmdUI {
 public:
  virtual ~CCmdUI() = default;
  virtual void Enable(BOOL bOn = TRUE);
  virtual void SetCheck(int nCheck = 1);
  virtual void SetText(const std::string& text);

  // Asks pTarget's route for an update handler; returns true when one handled it.
  bool DoUpdate(CCmdTarget* pTarget, bool bDisableIfNoHandler);

  UINT m_nID = 0;
  bool m_bEnableChanged = false;
  // The state last set; elements that need no widget (and tests) read these.
  bool m_bEnabled = true;
  int m_nCheck = 0;
};

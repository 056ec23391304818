// The About box: the application icon, the product name and version, and the copyright line.
#pragma once

#include "dialogs/CDialog.h"

class CAboutBox : public CDialog {
 public:
  CAboutBox();
  ~CAboutBox() override = default;

 protected:
  void DoDataExchange() override { CDialog::DoDataExchange(); }

  DECLARE_MESSAGE_MAP()
};

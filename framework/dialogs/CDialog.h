// A modal dialog built from a dialog template: a GTK dialog centred over the main window, with
// its controls placed in dialog units converted through the dialog font's metrics. OK and Cancel
// (Enter on the default button, Esc, the close box) end it through OnOK and OnCancel.
#pragma once

#include <memory>

#include "window/CWnd.h"

namespace Gtk {
class Dialog;
}
struct DialogItemResource;
struct DialogResource;

class CDialog : public CWnd {
 public:
  DECLARE_DYNAMIC(CDialog)
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

  // Runs the dialog; IDOK or IDCANCEL (or what EndDialog was given); -1 when the template is missing.
  virtual int DoModal();
  void EndDialog(int nResult);

  // Dialog units of a template in pixels, for a font whose average character is averageWidth
  // wide and height high.
  static int DluToPixelsX(int dlu, double averageWidth) { return int(dlu * averageWidth / 4 + 0.5); }
  static int DluToPixelsY(int dlu, int height) { return (dlu * height + 4) / 8; }

 protected:
  virtual BOOL OnInitDialog() { return TRUE; }
  virtual void DoDataExchange() {}
  virtual void OnOK();
  virtual void OnCancel();

  UINT m_nIDTemplate;
  CWnd* m_pOwnerWnd;  // the window the dialog is modal over; nullptr: the main window

 private:
  // The empty dialog window, over its owner frame.
  std::unique_ptr<Gtk::Dialog> CreateDialogWindow(const DialogResource& t) const;
  // Places the template's controls, in dialog units of the dialog's font, and shows them.
  void AddControls(Gtk::Dialog& dialog, const DialogResource& t);
  Gtk::Widget* CreateControl(Gtk::Dialog& dialog, const DialogItemResource& item);

  int m_nResult = IDCANCEL;
  DECLARE_MESSAGE_MAP()
};

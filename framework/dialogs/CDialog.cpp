#include "dialogs/CDialog.h"

#include <gtkmm/button.h>
#include <gtkmm/dialog.h>
#include <gtkmm/fixed.h>
#include <gtkmm/image.h>
#include <gtkmm/label.h>

#include "app/CWinApp.h"
#include "core/ResourceModule.h"
#include "window/CFrameWnd.h"

namespace {

// An icon's first image, or on a denser screen its image of as many more pixels, shown at the
// first one's size.
Gtk::Image* IconImage(const IconResource& icon, int scale) {
  auto pixbuf = Gdk::Pixbuf::create_from_resource(icon.images.front());
  auto* image = Gtk::make_managed<Gtk::Image>(pixbuf);
  if (scale < 2) return image;
  for (const char* path : icon.images) {
    auto dense = Gdk::Pixbuf::create_from_resource(path);
    if (dense->get_width() != pixbuf->get_width() * scale) continue;
    cairo_surface_t* surface = gdk_cairo_surface_create_from_pixbuf(dense->gobj(), scale, nullptr);
    gtk_image_set_from_surface(image->gobj(), surface);
    cairo_surface_destroy(surface);
    break;
  }
  return image;
}

}  // namespace

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pOwnerWnd(pParentWnd) {}

int CDialog::DoModal() {
  const DialogResource* t = AfxFindDialog(m_nIDTemplate);
  if (t == nullptr) return -1;
  std::unique_ptr<Gtk::Dialog> created = CreateDialogWindow(*t);
  Gtk::Dialog& dialog = *created;
  m_pWidget = std::move(created);
  AddControls(dialog, *t);
  // Esc and the close box cancel.
  dialog.signal_response().connect([this](int response) {
    if (response == Gtk::RESPONSE_DELETE_EVENT) SendMessage(WM_COMMAND, IDCANCEL);
  });
  OnInitDialog();
  if (dialog.run() == Gtk::RESPONSE_DELETE_EVENT) m_nResult = IDCANCEL;
  m_pWidget.reset();  // the dialog window goes with this function
  return m_nResult;
}

std::unique_ptr<Gtk::Dialog> CDialog::CreateDialogWindow(const DialogResource& t) const {
  auto dialog = std::make_unique<Gtk::Dialog>(t.caption, true);
  CWnd* pOwner = m_pOwnerWnd ? m_pOwnerWnd : AfxGetApp()->m_pMainWnd;
  if (auto* pFrame = dynamic_cast<CFrameWnd*>(pOwner); pFrame && pFrame->GetGtkWindow())
    dialog->set_transient_for(*pFrame->GetGtkWindow());
  dialog->set_position(Gtk::WIN_POS_CENTER_ON_PARENT);
  dialog->set_resizable(false);
  return dialog;
}

void CDialog::AddControls(Gtk::Dialog& dialog, const DialogResource& t) {
  // The dialog font's average character width and height make the dialog units.
  auto layout = dialog.create_pango_layout("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  int textWidth = 0, textHeight = 0;
  layout->get_pixel_size(textWidth, textHeight);
  const double average = textWidth / 52.0;
  auto x = [&](int dlu) { return DluToPixelsX(dlu, average); };
  auto y = [&](int dlu) { return DluToPixelsY(dlu, textHeight); };

  auto* fixed = Gtk::make_managed<Gtk::Fixed>();
  fixed->set_size_request(x(t.cx), y(t.cy));
  for (const DialogItemResource& item : t.items) {
    Gtk::Widget* widget = CreateControl(dialog, item);
    if (widget == nullptr) continue;
    widget->set_size_request(x(item.cx), y(item.cy));
    fixed->put(*widget, x(item.x), y(item.y));
  }
  dialog.get_content_area()->pack_start(*fixed);
  dialog.show_all();
  for (auto* child : fixed->get_children())
    if (auto* button = dynamic_cast<Gtk::Button*>(child); button && button->has_default()) button->grab_focus();
}

Gtk::Widget* CDialog::CreateControl(Gtk::Dialog& dialog, const DialogItemResource& item) {
  switch (item.kind) {
    case DialogItemResource::iconItem:
      if (const IconResource* icon = AfxFindIcon(item.iconID); icon && !icon->images.empty())
        return IconImage(*icon, dialog.get_scale_factor());
      return nullptr;
    case DialogItemResource::textItem: {
      auto* label = Gtk::make_managed<Gtk::Label>(item.text);
      label->set_xalign(0.0f);
      return label;
    }
    case DialogItemResource::buttonItem: {
      auto* button = Gtk::make_managed<Gtk::Button>(item.text);
      const int nID = item.nID;
      button->signal_clicked().connect([this, nID] { SendMessage(WM_COMMAND, WPARAM(nID)); });
      if (item.isDefault) {
        button->set_can_default(true);
        dialog.set_default(*button);
        button->grab_focus();
      }
      return button;
    }
  }
  return nullptr;
}

void CDialog::EndDialog(int nResult) {
  m_nResult = nResult;
  if (auto* dialog = dynamic_cast<Gtk::Dialog*>(m_pWidget.get())) dialog->response(nResult);
}

void CDialog::OnOK() {
  DoDataExchange();
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

// The frame as assistive technologies read it (its accessible tree: roles, names, states), the
// message box's icon, and the toolbar pictures' contrast in light, dark and high-contrast themes.
#include <atk/atk.h>
#include <atkmm/object.h>
#include <glibmm/main.h>
#include <gtkmm/button.h>
#include <gtkmm/icontheme.h>
#include <gtkmm/image.h>
#include <gtkmm/messagedialog.h>
#include <gtkmm/settings.h>

#include <set>
#include <sstream>
#include <vector>

#include "../unit/TempDir.h"
#include "GuiTest.h"
#include "bars/BarDocking.h"
#include "bars/CToolBar.h"
#include "bars/ToolBarImages.h"
#include "resources/Resource.h"

namespace {

class Accessibility : public testing::Test {
 protected:
  void SetUp() override { StartOnce(); }
  CFrameWnd* frame() { return MainFrame(); }
  CToolBar* toolBar() { return dynamic_cast<CToolBar*>(frame()->GetControlBar(AFX_IDW_TOOLBAR)); }
};

std::string StateText(AtkObject* object) {
  AtkStateSet* states = atk_object_ref_state_set(object);
  std::string text;
  if (!atk_state_set_contains_state(states, ATK_STATE_SENSITIVE)) text += " disabled";
  if (atk_state_set_contains_state(states, ATK_STATE_CHECKED)) text += " checked";
  g_object_unref(states);
  return text;
}

// A role's name as screen readers say it (AT-SPI's names, which the end-to-end test reads too).
std::string RoleName(AtkRole role) { return role == ATK_ROLE_STATUSBAR ? "status bar" : atk_role_get_name(role); }

// One row per element a screen reader announces: "role: name [— description] [states]", the
// children of a tool bar, status bar or menu indented below it.
void ReadTree(AtkObject* object, const std::string& indent, std::vector<std::string>& rows) {
  static const std::set<AtkRole> shown = {ATK_ROLE_TOOL_BAR,       ATK_ROLE_PUSH_BUTTON, ATK_ROLE_STATUSBAR,
                                          ATK_ROLE_MENU_BAR,       ATK_ROLE_MENU,        ATK_ROLE_MENU_ITEM,
                                          ATK_ROLE_CHECK_MENU_ITEM};
  AtkRole role = atk_object_get_role(object);
  std::string childIndent = indent;
  const bool inBar = indent == "  tool bar/" || indent == "  status bar/";
  if ((shown.count(role) && (role != ATK_ROLE_PUSH_BUTTON || inBar)) || (role == ATK_ROLE_LABEL && inBar)) {
    std::string row = indent + RoleName(role) + ": " + (atk_object_get_name(object) ?: "");
    const char* description = atk_object_get_description(object);
    if (description != nullptr && *description != '\0') row += " — " + std::string(description);
    rows.push_back(row + StateText(object));
    if (role == ATK_ROLE_TOOL_BAR || role == ATK_ROLE_STATUSBAR || role == ATK_ROLE_MENU)
      childIndent = "  " + RoleName(role) + "/";
  }
  for (int i = 0; i < atk_object_get_n_accessible_children(object); ++i) {
    AtkObject* child = atk_object_ref_accessible_child(object, i);
    ReadTree(child, childIndent, rows);
    g_object_unref(child);
  }
}

// The rows the frame reads as, from the file the end-to-end test reads too; {message} stands for
// the message pane's text.
std::vector<std::string> ExpectedRows(const std::string& message) {
  std::vector<std::string> rows;
  std::istringstream in(TempDir::Read(TESTS_DIR "/accessible-frame.txt"));
  for (std::string row; std::getline(in, row);) {
    if (std::size_t at = row.find("{message}"); at != std::string::npos) row.replace(at, 9, message);
    rows.push_back(row);
  }
  return rows;
}

TEST_F(Accessibility, FrameReadsAsToolBarStatusBarAndMenusWithNamesAndStates) {
  frame()->SetMessageText("Ready");
  // Idle passes set the buttons' states once the view is on the command route.
  EXPECT_TRUE(RunUntil([this] { return toolBar()->GetButton(ID_BACK_BROWSER)->get_sensitive(); }));
  std::vector<std::string> rows;
  ReadTree(frame()->GetGtkWindow()->get_accessible()->gobj(), "", rows);
  const std::vector<std::string> expected = ExpectedRows("Ready");
  ASSERT_EQ(expected.size(), 35u);  // the file is there and whole
  EXPECT_EQ(rows, expected);
}

TEST_F(Accessibility, FloatingPaletteIsNamedAfterItsToolbar) {
  BarDocking::FloatControlBar(*frame(), toolBar(), 300, 200);
  auto* palette = dynamic_cast<Gtk::Window*>(toolBar()->GetWidget()->get_toplevel());
  ASSERT_NE(palette, frame()->GetGtkWindow());
  EXPECT_EQ(palette->get_title(), "");  // the caption stays as it was
  EXPECT_EQ(palette->get_accessible()->get_name(), "Toolbar");
  BarDocking::DockControlBar(*frame(), toolBar());
}

// Finds the first accessible of this role below object.
AtkObject* FindRole(AtkObject* object, AtkRole role) {
  if (atk_object_get_role(object) == role) return object;
  for (int i = 0; i < atk_object_get_n_accessible_children(object); ++i) {
    AtkObject* child = atk_object_ref_accessible_child(object, i);
    AtkObject* found = FindRole(child, role);
    g_object_unref(child);  // the widget keeps its accessible
    if (found != nullptr) return found;
  }
  return nullptr;
}

TEST_F(Accessibility, MessageBoxShowsTheThemesWarningIconBesideItsText) {
  std::string iconName, iconTheme;
  int iconWidth = 0, textX = 0, iconX = 0;
  auto look = Glib::signal_timeout().connect(
      [&] {
        for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
          auto* dialog = dynamic_cast<Gtk::MessageDialog*>(window);
          if (dialog == nullptr || !dialog->get_mapped()) continue;
          if (AtkObject* icon = FindRole(dialog->get_accessible()->gobj(), ATK_ROLE_ICON)) {
            iconName = atk_object_get_name(icon) ?: "";
            auto* image = dynamic_cast<Gtk::Image*>(Glib::wrap(gtk_accessible_get_widget(GTK_ACCESSIBLE(icon))));
            if (image != nullptr) {
              iconTheme = image->property_icon_name().get_value();
              iconWidth = image->get_allocated_width();
              int y = 0;
              image->translate_coordinates(*dialog, 0, 0, iconX, y);
              dialog->get_message_area()->translate_coordinates(*dialog, 0, 0, textX, y);
            }
          }
          dialog->response(Gtk::RESPONSE_OK);
          return false;
        }
        return true;
      },
      50);
  AfxMessageBox("Something to warn about.");
  look.disconnect();
  EXPECT_EQ(iconName, "Warning");
  EXPECT_EQ(iconTheme, "dialog-warning");
  EXPECT_TRUE(Gtk::IconTheme::get_default()->has_icon("dialog-warning"));
  EXPECT_GE(iconWidth, 32);
  EXPECT_LT(iconX, textX);  // beside the text, before it
}

// The ground of a toolbar picture (its background-coloured pixels reachable from its edge), and
// how many of the pixels around it, and of all the picture's pixels, keep 3:1 contrast against it.
struct Legibility {
  double outline;  // share of the outline pixels
  double overall;  // share of all the picture's pixels
};

Legibility MeasureLegibility(const Glib::RefPtr<Gdk::Pixbuf>& image, const Gdk::RGBA& face) {
  const int w = image->get_width(), h = image->get_height(), n = image->get_n_channels();
  auto color = [&](int x, int y) {
    const guint8* p = image->get_pixels() + y * image->get_rowstride() + x * n;
    Gdk::RGBA c;
    c.set_rgba_u(p[0] * 257, p[1] * 257, p[2] * 257);
    return c;
  };
  auto isFace = [&](int x, int y) { return ContrastRatio(color(x, y), face) < 1.01; };
  std::vector<bool> ground(size_t(w * h), false);
  std::vector<std::pair<int, int>> todo;
  for (int x = 0; x < w; ++x) todo.insert(todo.end(), {{x, 0}, {x, h - 1}});
  for (int y = 0; y < h; ++y) todo.insert(todo.end(), {{0, y}, {w - 1, y}});
  while (!todo.empty()) {
    auto [x, y] = todo.back();
    todo.pop_back();
    if (x < 0 || y < 0 || x >= w || y >= h || ground[size_t(y * w + x)] || !isFace(x, y)) continue;
    ground[size_t(y * w + x)] = true;
    todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
  }
  int outline = 0, outlineLegible = 0, all = 0, allLegible = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (ground[size_t(y * w + x)]) continue;
      bool legible = ContrastRatio(color(x, y), face) >= 3.0;
      ++all;
      allLegible += legible;
      auto onGround = [&](int gx, int gy) {
        return gx < 0 || gy < 0 || gx >= w || gy >= h || ground[size_t(gy * w + gx)];
      };
      if (onGround(x + 1, y) || onGround(x - 1, y) || onGround(x, y + 1) || onGround(x, y - 1)) {
        ++outline;
        outlineLegible += legible;
      }
    }
  }
  return {double(outlineLegible) / outline, double(allLegible) / all};
}

TEST_F(Accessibility, ToolbarPicturesKeepContrastInLightDarkAndHighContrastThemes) {
  auto settings = Gtk::Settings::get_default();
  const Glib::ustring themeBefore = settings->property_gtk_theme_name().get_value();
  struct Theme {
    const char* name;
    bool dark;
  };
  for (Theme theme : {Theme{"Adwaita", false}, Theme{"Adwaita", true}, Theme{"HighContrast", false},
                      Theme{"HighContrastInverse", false}}) {
    settings->property_gtk_theme_name() = theme.name;
    settings->property_gtk_application_prefer_dark_theme() = theme.dark;
    RunUntil([] { return false; }, 300);
    Gdk::RGBA face;
    ASSERT_TRUE(toolBar()->GetWidget()->get_style_context()->lookup_color("theme_bg_color", face));
    const bool darkGround = ContrastRatio(face, Gdk::RGBA("#ffffff")) > ContrastRatio(face, Gdk::RGBA("#000000"));
    EXPECT_EQ(darkGround, theme.dark || std::string(theme.name) == "HighContrastInverse");
    for (UINT nID :
         std::initializer_list<UINT>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE,
                                     ID_FILE_PRINT, ID_APP_ABOUT, ID_BACK_BROWSER, ID_FORWARD_BROWSER}) {
      auto image = static_cast<Gtk::Image*>(toolBar()->GetButton(nID)->get_image())->get_pixbuf();
      ASSERT_TRUE(image);
      Legibility legibility = MeasureLegibility(image, face);
      SCOPED_TRACE(std::string(theme.name) + (theme.dark ? " dark, " : ", ") + CToolBar::TooltipOf(nID));
      EXPECT_GE(legibility.outline, 0.9);
      // On a dark bar most of a picture stands out, not only its outline, so no picture is a faint
      // dark shape on the dark ground. (On a light bar the white paper is close to the ground by
      // design, kept apart by its outline.)
      if (darkGround) {
        EXPECT_GE(legibility.overall, 0.5);
      }
    }
  }
  settings->property_gtk_application_prefer_dark_theme() = false;
  settings->property_gtk_theme_name() = themeBefore;
  RunUntil([] { return false; }, 300);
}

}  // namespace

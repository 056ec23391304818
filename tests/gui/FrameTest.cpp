// The main frame on screen: its menus and their states, the bar toggles, the floating toolbar,
// toolbar states at idle time, the lock-key indicators, fly-by and menu prompts and separators.
#include <glibmm/main.h>
#include <gtk/gtkunixprint.h>
#include <gtkmm/accellabel.h>
#include <gtkmm/button.h>
#include <gtkmm/checkmenuitem.h>
#include <gtkmm/label.h>
#include <gtkmm/menu.h>
#include <gtkmm/separatormenuitem.h>

#include "PageDriver.h"
#include "app/AboutBox.h"
#include "bars/BarDocking.h"
#include "bars/CStatusBar.h"
#include "bars/CToolBar.h"
#include "bars/ToolBarImages.h"
#include "resources/Resource.h"
#include "window/CFrameMenu.h"
#include "window/CView.h"

namespace {

class Frame : public testing::Test {
 protected:
  void SetUp() override { StartOnce(); }
  CFrameWnd* frame() { return MainFrame(); }
  CToolBar* toolBar() { return dynamic_cast<CToolBar*>(frame()->GetControlBar(AFX_IDW_TOOLBAR)); }
  CStatusBar* statusBar() { return dynamic_cast<CStatusBar*>(frame()->GetControlBar(AFX_IDW_STATUS_BAR)); }

  // Opens the pop-up menu with this label and returns its items: label (with its shown key),
  // sensitive, checked; a separator as "-".
  std::vector<std::string> OpenMenu(const std::string& label) {
    CFrameMenu* menu = frame()->GetMenu();
    Gtk::MenuItem* top = nullptr;
    for (auto [item, id] : menu->GetItems())
      if (id == 0 && item->get_label() == label) top = item;
    EXPECT_NE(top, nullptr) << label;
    if (top == nullptr) return {};
    menu->GetMenuBar().select_item(*top);
    EXPECT_TRUE(RunUntil([top] { return top->get_submenu()->get_mapped(); }));
    std::vector<std::string> items;
    for (Gtk::Widget* child : top->get_submenu()->get_children()) {
      if (dynamic_cast<Gtk::SeparatorMenuItem*>(child)) {
        items.push_back("-");
        continue;
      }
      auto* item = static_cast<Gtk::MenuItem*>(child);
      auto* check = dynamic_cast<Gtk::CheckMenuItem*>(item);
      std::string text = item->get_label();
      guint key = 0;
      Gdk::ModifierType mods{};
      static_cast<Gtk::AccelLabel*>(item->get_child())->get_accel(key, mods);
      if (key != 0) text += "\t" + std::string(gtk_accelerator_get_label(key, GdkModifierType(mods)));
      if (!item->get_sensitive()) text += " (disabled)";
      if (check != nullptr && check->get_active()) text += " (checked)";
      items.push_back(text);
    }
    return items;
  }
  std::string message() { return frame()->GetMessageText(); }
  // The screen point at the middle of a widget on screen.
  static std::pair<int, int> Middle(Gtk::Widget& widget) {
    const Gdk::Rectangle rect = CControlBar::ScreenRect(widget);
    return {rect.get_x() + rect.get_width() / 2, rect.get_y() + rect.get_height() / 2};
  }
  static void MovePointer(int x, int y) { ASSERT_TRUE(page::Xdo({"mousemove", std::to_string(x), std::to_string(y)})); }
  // Asks the X server where the pointer is: its answer comes after the events of every move made so
  // far, which are then handled. A move made by another client is in when that client has ended.
  static void HandleQueuedPointerEvents() {
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default()));
    gdk_device_get_position(pointer, nullptr, nullptr, nullptr);
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
  }
  void CloseMenu() {
    frame()->GetMenu()->GetMenuBar().deactivate();
    RunUntil([] { return false; }, 50);
  }
};

TEST_F(Frame, MenusShowTheirItemsAndStatesAndPromptsWhenOpened) {
  using V = std::vector<std::string>;
  EXPECT_EQ(OpenMenu("_File"), (V{"_New\tCtrl+N", "_Open...\tCtrl+O", "_Save\tCtrl+S", "Save _As...", "-",
                                  "_Print...\tCtrl+P", "P_rint Setup...", "-", "E_xit"}));
  // The highlighted item's prompt; "Ready" when the menu closes.
  Gtk::MenuItem* first = nullptr;
  for (auto [item, id] : frame()->GetMenu()->GetItems())
    if (id == ID_FILE_NEW) first = item;
  static_cast<Gtk::MenuShell*>(first->get_parent())->select_item(*first);
  EXPECT_EQ(frame()->GetMessageText(), "Create a new document");
  CloseMenu();
  EXPECT_EQ(frame()->GetMessageText(), "Ready");
  EXPECT_EQ(OpenMenu("_Edit"), (V{"_Undo\tCtrl+Z (disabled)", "-", "Cu_t\tCtrl+X (disabled)",
                                  "_Copy\tCtrl+C (disabled)", "_Paste\tCtrl+V (disabled)"}));
  CloseMenu();
  EXPECT_EQ(OpenMenu("_View"), (V{"_Toolbar (checked)", "_Status Bar (checked)"}));
  CloseMenu();
  EXPECT_EQ(OpenMenu("_Help"), (V{"_About FOLIOSCP..."}));
  CloseMenu();
}

TEST_F(Frame, BarTogglesHideAndShowAtOnceWithTheirCheckMarks) {
  struct Bar {
    UINT command;
    CControlBar* bar;
    std::vector<std::string> viewMenuWhileHidden;
  };
  const Bar bars[] = {
      {ID_VIEW_TOOLBAR, toolBar(), {"_Toolbar", "_Status Bar (checked)"}},
      {ID_VIEW_STATUS_BAR, statusBar(), {"_Toolbar (checked)", "_Status Bar"}},
  };
  for (const Bar& b : bars) {
    SCOPED_TRACE(b.viewMenuWhileHidden[0]);
    frame()->SendMessage(WM_COMMAND, b.command);
    EXPECT_FALSE(b.bar->IsWindowVisible());
    EXPECT_EQ(OpenMenu("_View"), b.viewMenuWhileHidden);
    CloseMenu();
    // Texts set while a bar is hidden: the latest shows when the status bar returns.
    frame()->SetMessageText("first");
    frame()->SetMessageText("latest");
    frame()->SendMessage(WM_COMMAND, b.command);
    EXPECT_TRUE(b.bar->IsWindowVisible());
    EXPECT_EQ(statusBar()->GetPaneText(0), "latest");
    EXPECT_EQ(OpenMenu("_View"), (std::vector<std::string>{"_Toolbar (checked)", "_Status Bar (checked)"}));
    CloseMenu();
  }
}

TEST_F(Frame, FloatingToolbarHidesAndReturnsWithItsPalette) {
  BarDocking::FloatControlBar(*frame(), toolBar(), 300, 200);
  auto* palette = dynamic_cast<Gtk::Window*>(toolBar()->GetWidget()->get_toplevel());
  ASSERT_NE(palette, nullptr);
  ASSERT_NE(palette, frame()->GetGtkWindow());
  EXPECT_TRUE(RunUntil([palette] { return palette->get_mapped(); }));
  EXPECT_EQ(palette->get_transient_for(), frame()->GetGtkWindow());
  int x = 0, y = 0;
  palette->get_position(x, y);

  frame()->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
  EXPECT_FALSE(palette->get_visible());
  frame()->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
  EXPECT_TRUE(RunUntil([palette] { return palette->get_mapped(); }));
  int x2 = 0, y2 = 0;
  palette->get_position(x2, y2);
  EXPECT_EQ(std::make_pair(x2, y2), std::make_pair(x, y));

  // A narrower palette re-flows the buttons into rows.
  Gtk::Button* first = toolBar()->GetButton(ID_FILE_NEW);
  Gtk::Button* last = toolBar()->GetButton(ID_FORWARD_BROWSER);
  EXPECT_EQ(first->get_allocation().get_y(), last->get_allocation().get_y());
  palette->resize(4 * 23, 200);
  EXPECT_TRUE(RunUntil([&] { return last->get_allocation().get_y() > first->get_allocation().get_y(); }, 5000));

  BarDocking::ToggleFloating(*frame(), toolBar());  // back to its last docked place
  EXPECT_EQ(toolBar()->GetParent()->GetDlgCtrlID(), UINT(AFX_IDW_DOCKBAR_TOP));
  EXPECT_FALSE(toolBar()->IsFloating());
}

TEST_F(Frame, FloatingPaletteGivesTheKeyboardBackToTheFrame) {
  BarDocking::FloatControlBar(*frame(), toolBar(), 300, 200);
  auto* palette = dynamic_cast<Gtk::Window*>(toolBar()->GetWidget()->get_toplevel());
  ASSERT_TRUE(RunUntil([palette] { return palette->get_mapped(); }));
  EXPECT_FALSE(palette->get_accept_focus());
  // Focused all the same (as a window manager may do), it hands the keyboard to the frame.
  palette->present();
  EXPECT_TRUE(RunUntil([&] { return frame()->GetGtkWindow()->is_active() && !palette->is_active(); }, 3000));
  BarDocking::DockControlBar(*frame(), toolBar(), BarDocking::GetDockBar(*frame(), CBRS_ALIGN_TOP));
}

TEST_F(Frame, ToolbarStatesFollowTheRouteAtIdleTime) {
  ASSERT_TRUE(RunUntil([this] { return !toolBar()->GetButton(ID_EDIT_CUT)->get_sensitive(); }));
  for (UINT id : {UINT(ID_EDIT_CUT), UINT(ID_EDIT_COPY), UINT(ID_EDIT_PASTE)})
    EXPECT_FALSE(toolBar()->GetButton(id)->get_sensitive());
  for (UINT id : {UINT(ID_FILE_NEW), UINT(ID_FILE_OPEN), UINT(ID_FILE_SAVE), UINT(ID_FILE_PRINT), UINT(ID_APP_ABOUT),
                  UINT(ID_BACK_BROWSER), UINT(ID_FORWARD_BROWSER)})
    EXPECT_TRUE(toolBar()->GetButton(id)->get_sensitive()) << id;
  EXPECT_EQ(toolBar()->GetButton(ID_BACK_BROWSER)->get_tooltip_text(), "Back Browser");
  EXPECT_EQ(toolBar()->GetButton(ID_FILE_NEW)->get_tooltip_text(), "New");
}

TEST_F(Frame, LockKeyIndicatorsFollowTheKeysAtIdleTime) {
  for (auto [key, pane, text] : {std::tuple{"Caps_Lock", 1, "CAP"}, std::tuple{"Num_Lock", 2, "NUM"}}) {
    SCOPED_TRACE(text);
    std::string before = statusBar()->GetPaneText(pane);
    std::string after = before.empty() ? text : "";
    ASSERT_TRUE(page::Xdo({"key", key}));
    EXPECT_TRUE(RunUntil([&] { return statusBar()->GetPaneText(pane) == after; }, 5000));
    ASSERT_TRUE(page::Xdo({"key", key}));
    EXPECT_TRUE(RunUntil([&] { return statusBar()->GetPaneText(pane) == before; }, 5000));
  }
}

TEST_F(Frame, RestingOnAButtonShowsItsPromptEnabledOrNot) {
  ASSERT_TRUE(RunUntil([this] { return !toolBar()->GetButton(ID_EDIT_CUT)->get_sensitive(); }));
  frame()->GetGtkWindow()->present();
  RunUntil([this] { return frame()->GetGtkWindow()->is_active(); }, 2000);
  auto [pageX, pageY] = Middle(*frame()->GetActiveView()->GetWidget());
  const std::pair<UINT, std::string> rows[] = {{ID_BACK_BROWSER, "Back Browser"},
                                               {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard"},
                                               {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard"},
                                               {ID_EDIT_PASTE, "Insert Clipboard contents"}};
  for (const auto& [id, prompt] : rows) {
    SCOPED_TRACE(prompt);
    auto [x, y] = Middle(*toolBar()->GetButton(id));
    const gint64 moved = g_get_monotonic_time();
    MovePointer(x, y);  // in one movement
    EXPECT_TRUE(RunUntil([&] { return message() == prompt; }, 3000)) << message();
    // The rest counts from the pointer's arrival (with room for a loaded machine), not from a
    // later event.
    EXPECT_LT(g_get_monotonic_time() - moved, 650 * G_TIME_SPAN_MILLISECOND);
    MovePointer(pageX, pageY);  // off the toolbar, over the page
    EXPECT_TRUE(RunUntil([&] { return message() == "Ready"; }, 3000)) << message();
  }
  // While a prompt is up it follows the pointer sooner than a new rest: to the next (disabled)
  // button, and to the bar's own background in a separator's gap.
  auto [cutX, cutY] = Middle(*toolBar()->GetButton(ID_EDIT_CUT));
  MovePointer(cutX, cutY);
  ASSERT_TRUE(RunUntil([&] { return message() == rows[1].second; }, 3000));
  auto [copyX, copyY] = Middle(*toolBar()->GetButton(ID_EDIT_COPY));
  MovePointer(copyX, copyY);
  EXPECT_TRUE(RunUntil([&] { return message() == rows[2].second; })) << message();
  Gtk::Button* save = toolBar()->GetButton(ID_FILE_SAVE);
  auto [saveX, saveY] = Middle(*save);
  MovePointer(saveX + save->get_allocated_width() / 2 + 3, saveY);
  EXPECT_TRUE(RunUntil([&] { return message() == "Ready"; })) << message();
  MovePointer(pageX, pageY);
}

// GDK's X11 call that fixes the scale of every window, declared here: its header brings Xlib's
// macros, which clash with GoogleTest's names.
extern "C" void gdk_x11_display_set_window_scale(GdkDisplay* display, gint scale);

// The strongest contrast against the bar's face of any pixel of a button as drawn at this scale.
double StrongestContrast(Gtk::Widget& button, int scale, const Gdk::RGBA& face) {
  auto image = Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, button.get_allocated_width() * scale,
                                           button.get_allocated_height() * scale);
  cairo_surface_set_device_scale(image->cobj(), scale, scale);
  auto cr = Cairo::Context::create(image);
  cr->set_source_rgb(face.get_red(), face.get_green(), face.get_blue());
  cr->paint();
  gtk_widget_draw(button.gobj(), cr->cobj());
  image->flush();
  double strongest = 1.0;
  for (int y = 0; y < image->get_height(); ++y) {
    for (int x = 0; x < image->get_width(); ++x) {
      const uint32_t pixel = reinterpret_cast<const uint32_t*>(image->get_data() + y * image->get_stride())[x];
      Gdk::RGBA color;
      color.set_rgba_u((pixel >> 16 & 0xFF) * 257, (pixel >> 8 & 0xFF) * 257, (pixel & 0xFF) * 257);
      strongest = std::max(strongest, ContrastRatio(color, face));
    }
  }
  return strongest;
}

TEST_F(Frame, DisabledButtonsAreDimmedAtEveryScale) {
  ASSERT_TRUE(RunUntil([this] { return !toolBar()->GetButton(ID_EDIT_CUT)->get_sensitive(); }));
  Gtk::Widget* bar = toolBar()->GetWidget();
  Gdk::RGBA face;
  ASSERT_TRUE(bar->get_style_context()->lookup_color("theme_bg_color", face));
  for (int scale : {1, 2}) {
    SCOPED_TRACE(scale);
    gdk_x11_display_set_window_scale(gdk_display_get_default(), scale);
    ASSERT_TRUE(RunUntil([&] { return bar->get_scale_factor() == scale; }));
    RunUntil([] { return false; }, 100);
    const double enabled = StrongestContrast(*toolBar()->GetButton(ID_FILE_SAVE), scale, face);
    for (UINT nID : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}) {
      SCOPED_TRACE(CToolBar::TooltipOf(nID));
      EXPECT_LT(StrongestContrast(*toolBar()->GetButton(nID), scale, face), 0.7 * enabled);
    }
  }
  gdk_x11_display_set_window_scale(gdk_display_get_default(), 1);
}

// Draws the toolbar as it is on screen and returns, for the gap between Save and Cut, the gap's
// size across the row and the longest straight run of line pixels in it along the row.
std::pair<int, int> SeparatorInGap(CToolBar& bar) {
  Gtk::Widget* widget = bar.GetWidget();
  auto image =
      Cairo::ImageSurface::create(Cairo::FORMAT_RGB24, widget->get_allocated_width(), widget->get_allocated_height());
  gtk_widget_draw(widget->gobj(), Cairo::Context::create(image)->cobj());
  image->flush();
  auto pixel = [&](int x, int y) {
    return reinterpret_cast<const uint32_t*>(image->get_data() + y * image->get_stride())[x] & 0xFFFFFF;
  };
  int sx = 0, sy = 0, cx = 0, cy = 0;
  Gtk::Button* save = bar.GetButton(ID_FILE_SAVE);
  save->translate_coordinates(*widget, 0, 0, sx, sy);
  bar.GetButton(ID_EDIT_CUT)->translate_coordinates(*widget, 0, 0, cx, cy);
  bool horizontal = bar.IsHorizontal();
  // Across the row: from Save's far side to Cut; along the row: the buttons' extent.
  int from = horizontal ? sx + save->get_allocated_width() : sy + save->get_allocated_height();
  int to = horizontal ? cx : cy;
  int rowStart = horizontal ? sy : sx;
  int rowLength = horizontal ? save->get_allocated_height() : save->get_allocated_width();
  uint32_t ground = horizontal ? pixel(from, rowStart) : pixel(rowStart, from);
  int longest = 0;
  for (int across = from; across < to; ++across) {
    int run = 0;
    for (int along = rowStart; along < rowStart + rowLength; ++along) {
      bool line = (horizontal ? pixel(across, along) : pixel(along, across)) != ground;
      run = line ? run + 1 : 0;
      longest = std::max(longest, run);
    }
  }
  return {to - from, longest};
}

TEST_F(Frame, SeparatorLinesSpanTheButtonRowInTheirGap) {
  const std::pair<const char*, long> places[] = {
      {"top", CBRS_ALIGN_TOP}, {"bottom", CBRS_ALIGN_BOTTOM}, {"left", CBRS_ALIGN_LEFT}, {"floating", 0}};
  for (auto [name, align] : places) {
    SCOPED_TRACE(name);
    if (align != 0)
      BarDocking::DockControlBar(*frame(), toolBar(), BarDocking::GetDockBar(*frame(), align));
    else
      BarDocking::FloatControlBar(*frame(), toolBar(), 300, 200);
    Gtk::Button* save = toolBar()->GetButton(ID_FILE_SAVE);
    ASSERT_TRUE(RunUntil([&] { return save->get_mapped(); }, 5000));
    RunUntil([] { return false; }, 200);
    auto [gap, line] = SeparatorInGap(*toolBar());
    EXPECT_EQ(gap, 6);
    int row = toolBar()->IsHorizontal() ? save->get_allocated_height() : save->get_allocated_width();
    EXPECT_GE(line, row * 2 / 3) << "row " << row;
    EXPECT_LE(line, row);
  }
  BarDocking::DockControlBar(*frame(), toolBar(), BarDocking::GetDockBar(*frame(), CBRS_ALIGN_TOP));
}

TEST_F(Frame, MenuPromptsFollowThePointerOverEveryKindOfItem) {
  // The menu opened by a click, then the pointer moved over these items in turn ("-" the first
  // separator, "page" off the menu over the page): the pane's text at the end.
  struct Row {
    const char* menu;
    std::vector<std::string> path;
    std::string text;
  };
  const Row rows[] = {
      {"_File", {"_New", "_Open..."}, "Open an existing document"},
      {"_File", {"_New", "-"}, ""},
      {"_File", {"_Save", "page"}, ""},
      {"_Edit", {"Cu_t"}, "Cut the selection and put it on the Clipboard"},
      {"_Edit", {"Cu_t", "_Copy"}, "Copy the selection and put it on the Clipboard"},
      {"_Edit", {"_Undo", "-"}, ""},
      {"_Edit", {"Cu_t", "-"}, ""},
      {"_Edit", {"_Paste", "page"}, ""},
      {"_View", {"_Toolbar", "page", "_Status Bar"}, "Show or hide the status bar"},
  };
  frame()->GetGtkWindow()->present();
  RunUntil([this] { return frame()->GetGtkWindow()->is_active(); }, 2000);
  auto [pageX, pageY] = Middle(*frame()->GetActiveView()->GetWidget());
  for (const Row& row : rows) {
    std::string trace = row.menu;
    for (const std::string& step : row.path) trace += " > " + step;
    SCOPED_TRACE(trace);
    Gtk::MenuItem* top = nullptr;
    for (auto [item, id] : frame()->GetMenu()->GetItems())
      if (id == 0 && item->get_label() == row.menu) top = item;
    ASSERT_NE(top, nullptr);
    auto [topX, topY] = Middle(*top);
    ASSERT_TRUE(page::Xdo({"mousemove", std::to_string(topX), std::to_string(topY), "click", "1"}));
    Gtk::Menu* popup = top->get_submenu();
    ASSERT_TRUE(RunUntil([popup] { return popup->get_mapped(); }, 3000));
    RunUntil([] { return false; }, 100);
    for (const std::string& step : row.path) {
      Gtk::Widget* target = nullptr;
      for (Gtk::Widget* child : popup->get_children()) {
        auto* item = dynamic_cast<Gtk::MenuItem*>(child);
        bool separator = dynamic_cast<Gtk::SeparatorMenuItem*>(child) != nullptr;
        if ((step == "-" && separator) || (!separator && item && item->get_label() == step)) {
          target = child;
          break;
        }
      }
      if (step == "page") {
        MovePointer(pageX, pageY);
      } else {
        ASSERT_NE(target, nullptr) << step;
        auto [x, y] = Middle(*target);
        MovePointer(x, y);
      }
      HandleQueuedPointerEvents();
    }
    EXPECT_EQ(message(), row.text);
    CloseMenu();
    EXPECT_EQ(message(), "Ready");
  }
}

TEST_F(Frame, MenusOpenedFromTheKeyboardShowTheFirstPromptAtOnce) {
  Gtk::MenuItem* view = nullptr;
  for (auto [item, id] : frame()->GetMenu()->GetItems())
    if (id == 0 && item->get_label() == "_View") view = item;
  ASSERT_NE(view, nullptr);
  auto [viewX, viewY] = Middle(*view);
  auto [pageX, pageY] = Middle(*frame()->GetActiveView()->GetWidget());
  struct Row {
    const char* how;
    std::vector<std::vector<std::string>> steps;  // xdotool's arguments
    std::string text;
  };
  const Row rows[] = {
      {"Alt+F", {{"key", "--clearmodifiers", "alt+f"}}, "Create a new document"},
      {"Alt+H", {{"key", "--clearmodifiers", "alt+h"}}, "Display program information, version number and copyright"},
      {"a click on View, then Down",
       {{"mousemove", std::to_string(viewX), std::to_string(viewY), "click", "1"}, {"key", "Down"}},
       "Show or hide the toolbar"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.how);
    frame()->GetGtkWindow()->present();
    ASSERT_TRUE(RunUntil([this] { return frame()->GetGtkWindow()->is_active(); }, 5000));
    MovePointer(pageX, pageY);  // off every menu, at rest
    for (const auto& step : row.steps) ASSERT_TRUE(page::Xdo(step));
    EXPECT_TRUE(RunUntil([&] { return message() == row.text; }, 5000)) << message();
    // Every event the menu's appearing caused has been handled; the prompt stays.
    gdk_display_sync(gdk_display_get_default());
    while (gtk_events_pending()) gtk_main_iteration_do(false);
    EXPECT_EQ(message(), row.text);
    CloseMenu();
  }
}

// The toplevel window with this title, or nullptr.
Gtk::Window* FindWindow(const std::string& title) {
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    if (window->get_mapped() && window->get_title() == title) return window;
  return nullptr;
}

template <class T>
std::vector<T*> Descendants(Gtk::Widget* widget) {
  std::vector<T*> found;
  if (auto* t = dynamic_cast<T*>(widget)) found.push_back(t);
  if (auto* container = dynamic_cast<Gtk::Container*>(widget))
    for (Gtk::Widget* child : container->get_children()) {
      auto more = Descendants<T>(child);
      found.insert(found.end(), more.begin(), more.end());
    }
  return found;
}

// Runs body on the dialog once it is on screen, from inside its modal loop.
void WhenShown(const std::string& title, std::function<void(Gtk::Window&)> body) {
  auto* pending = new std::function<void(Gtk::Window&)>(std::move(body));
  auto* name = new std::string(title);
  Glib::signal_timeout().connect(
      [pending, name] {
        Gtk::Window* window = FindWindow(*name);
        if (window == nullptr) return true;
        (*pending)(*window);
        delete pending;
        delete name;
        return false;
      },
      50);
}

TEST_F(Frame, AboutBoxIsCentredAndEndsWithOkEnterEscOrItsCloseBox) {
  const std::pair<const char*, int> cases[] = {
      {"OK", IDOK}, {"Return", IDOK}, {"Escape", IDCANCEL}, {"close", IDCANCEL}};
  for (auto [how, result] : cases) {
    SCOPED_TRACE(how);
    std::string texts;
    bool centred = false;
    WhenShown("About FOLIOSCP", [&, how = std::string(how)](Gtk::Window& dialog) {
      for (Gtk::Label* label : Descendants<Gtk::Label>(&dialog)) texts += label->get_text() + "|";
      int fx, fy, fw, fh, dx, dy, dw, dh;
      frame()->GetGtkWindow()->get_position(fx, fy);
      frame()->GetGtkWindow()->get_size(fw, fh);
      dialog.get_position(dx, dy);
      dialog.get_size(dw, dh);
      centred = std::abs((fx + fw / 2) - (dx + dw / 2)) <= 2 && std::abs((fy + fh / 2) - (dy + dh / 2)) <= 2;
      if (how == "OK") {
        for (Gtk::Button* button : Descendants<Gtk::Button>(&dialog))
          if (button->get_label() == "OK") button->clicked();
      } else if (how == "close") {
        dialog.close();
      } else {
        EXPECT_TRUE(page::Xdo({"mousemove", std::to_string(dx + dw / 2), std::to_string(dy + 10), "key", how}));
      }
    });
    CAboutBox about;
    EXPECT_EQ(about.DoModal(), result);
    EXPECT_TRUE(centred);
    EXPECT_NE(texts.find("FOLIOSCOPE PRO 3.4|"), std::string::npos) << texts;
    EXPECT_NE(texts.find("Copyright"), std::string::npos) << texts;
  }
  // Through the Help menu's command.
  WhenShown("About FOLIOSCP", [](Gtk::Window& dialog) { dialog.close(); });
  frame()->SendMessage(WM_COMMAND, ID_APP_ABOUT);
  EXPECT_EQ(FindWindow("About FOLIOSCP"), nullptr);
}

TEST_F(Frame, PrintSetupKeepsTheConfirmedChoiceForTheRun) {
  auto setup = [this](GtkPageOrientation orientation, int response) {
    WhenShown("Print Setup", [&](Gtk::Window& window) {
      auto* dialog = GTK_PRINT_UNIX_DIALOG(window.gobj());
      GtkPageSetup* page = gtk_page_setup_copy(gtk_print_unix_dialog_get_page_setup(dialog));
      gtk_page_setup_set_orientation(page, orientation);
      gtk_print_unix_dialog_set_page_setup(dialog, page);
      g_object_unref(page);
      gtk_dialog_response(GTK_DIALOG(dialog), response);
    });
    frame()->SendMessage(WM_COMMAND, ID_FILE_PRINT_SETUP);
    GtkPageSetup* kept = theApp.GetPageSetup();
    return kept ? int(gtk_page_setup_get_orientation(kept)) : -1;
  };
  EXPECT_EQ(setup(GTK_PAGE_ORIENTATION_LANDSCAPE, GTK_RESPONSE_CANCEL), -1);  // nothing chosen yet
  EXPECT_EQ(setup(GTK_PAGE_ORIENTATION_LANDSCAPE, GTK_RESPONSE_OK), GTK_PAGE_ORIENTATION_LANDSCAPE);
  // A cancelled choice changes nothing.
  EXPECT_EQ(setup(GTK_PAGE_ORIENTATION_PORTRAIT, GTK_RESPONSE_CANCEL), GTK_PAGE_ORIENTATION_LANDSCAPE);
}

}  // namespace

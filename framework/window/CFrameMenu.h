// A frame's menu bar, built from a menu resource. Each pop-up menu decides its items' states
// through the frame's command route when it opens; the highlighted item's prompt goes to the
// message pane, and "Ready" comes back when the menu closes. Choosing an item sends its command.
#pragma once

#include <gtkmm/menubar.h>
#include <gtkmm/menuitem.h>
#include <sigc++/connection.h>

#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/ResourceModule.h"

class CFrameWnd;

class CFrameMenu {
 public:
  CFrameMenu(CFrameWnd& frame, const MenuBarResource& resource);
  ~CFrameMenu();
  CFrameMenu(const CFrameMenu&) = delete;
  CFrameMenu& operator=(const CFrameMenu&) = delete;

  Gtk::MenuBar& GetMenuBar() { return m_menuBar; }
  // The pop-up items of the bar and the command items of each, in order, with their commands.
  const std::vector<std::pair<Gtk::MenuItem*, UINT>>& GetItems() const { return m_items; }

  // "&Save\tCtrl+S" → the mnemonic label "_Save" and the shown key "Ctrl+S".
  static std::pair<std::string, std::string> SplitLabel(const std::string& text);

 private:
  // Asks each command's update handler whether it sets a check mark: only those items become check
  // items.
  void ProbeStates(std::span<const MenuResource> items);
  void AddItems(Gtk::MenuShell& shell, std::span<const MenuResource> items);
  void UpdatePopup(Gtk::MenuShell& popup);
  // The item of the open pop-up menu under the pointer with its command, or nullptr.
  const std::pair<Gtk::MenuItem*, UINT>* ItemUnderPointer(Gtk::MenuShell& popup) const;
  bool PointerOnEnabledItem(Gtk::MenuShell& popup) const;
  // The pane's text when no enabled item is highlighted: from what the pointer is over.
  void PromptUnderPointer(Gtk::MenuShell& popup);
  // The pointer's place on the screen; whether an event finds it elsewhere than last seen.
  static std::pair<int, int> PointerPosition(Gtk::Widget& widget);
  bool PointerMoved(const GdkEvent* event);

  void Keep(sigc::connection connection) { m_connections.push_back(connection); }

  static constexpr int kPointerCheckMs = 100;

  CFrameWnd& m_frame;
  std::vector<std::pair<Gtk::MenuItem*, UINT>> m_items;
  std::map<UINT, bool> m_checkMarks;  // the check items' commands, with their first mark
  bool m_bUpdating = false;
  std::pair<int, int> m_pointerSeen{-1, -1};
  sigc::connection m_pointerCheck;
  std::vector<sigc::connection> m_connections;  // every handler that reaches this object or the frame
  // Last, so that it goes first: its items are gone before the data their handlers read.
  Gtk::MenuBar m_menuBar;
};

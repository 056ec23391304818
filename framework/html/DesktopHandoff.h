// Hands a location that the engine cannot show (a mailto: link, another scheme, a file of a type it
// has no viewer for) to the desktop's handler for it, as the user's file manager would.
#pragma once

#include <giomm/cancellable.h>

#include <functional>
#include <string>

class DesktopHandoff {
 public:
  // done(uri, error) runs from the main loop once the handler has started ("") or could not ("why");
  // never after this object is gone.
  using Done = std::function<void(const std::string& uri, const std::string& error)>;

  explicit DesktopHandoff(Done done);
  ~DesktopHandoff();
  DesktopHandoff(const DesktopHandoff&) = delete;
  DesktopHandoff& operator=(const DesktopHandoff&) = delete;

  // Whether the engine shows locations of this URI's scheme itself.
  static bool EngineShows(const std::string& uri);
  void Open(const std::string& uri);

 private:
  Done m_done;
  Glib::RefPtr<Gio::Cancellable> m_cancellable;
};

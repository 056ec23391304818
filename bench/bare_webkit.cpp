// Bare reference program for the benchmark: one gtkmm window holding one
// WebKitWebView that loads index.html of the current directory. It does
// nothing else, so it shows what WebKitGTK costs on its own. With --sandbox
// its page process runs in the engine's bubblewrap sandbox, as the viewer's
// does. Every finished load is reported on stderr.

#include <gtkmm.h>
#include <webkit2/webkit2.h>

#include <cstdio>
#include <string>

namespace {

void on_load_changed(WebKitWebView* view, WebKitLoadEvent event, gpointer) {
  if (event != WEBKIT_LOAD_FINISHED) return;
  const gchar* uri = webkit_web_view_get_uri(view);
  std::fprintf(stderr, "Load finished: %s\n", uri ? uri : "");
  std::fflush(stderr);
}

std::string start_page_uri() {
  gchar* cwd = g_get_current_dir();
  gchar* path = g_build_filename(cwd, "index.html", nullptr);
  GError* error = nullptr;
  gchar* uri = g_filename_to_uri(path, nullptr, &error);
  std::string result;
  if (uri) {
    result = uri;
  } else {
    std::fprintf(stderr, "cannot make a URI from %s: %s\n", path, error ? error->message : "unknown error");
    g_clear_error(&error);
  }
  g_free(uri);
  g_free(path);
  g_free(cwd);
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  const bool sandbox = argc > 1 && std::string(argv[1]) == "--sandbox";
  // Must precede GTK initialisation, which happens inside Gtk::Application.
  gdk_set_allowed_backends("x11");

  auto app = Gtk::Application::create("", Gio::APPLICATION_NON_UNIQUE);
  Gtk::Window* window = nullptr;

  app->signal_activate().connect([&]() {
    // Overlay scrollbars animate and keep waking the main loop; turn
    // them off before any view exists so an idle window stays idle.
    g_object_set(gtk_settings_get_default(), "gtk-overlay-scrolling", FALSE, nullptr);

    window = new Gtk::Window();
    window->set_title("bare-webkit");
    // The viewer's size: the primary monitor's work area, so both engines lay out as much.
    GdkRectangle area{0, 0, 1024, 768};
    GdkDisplay* display = gdk_display_get_default();
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (monitor == nullptr) monitor = gdk_display_get_monitor(display, 0);
    if (monitor != nullptr) gdk_monitor_get_workarea(monitor, &area);
    window->set_default_size(area.width, area.height);

    if (sandbox) webkit_web_context_set_sandbox_enabled(webkit_web_context_get_default(), TRUE);
    GtkWidget* raw_view = webkit_web_view_new();
    g_signal_connect(raw_view, "load-changed", G_CALLBACK(on_load_changed), nullptr);
    Gtk::Widget* view = Glib::wrap(raw_view);
    window->add(*view);
    view->show();

    app->add_window(*window);
    window->show();

    const std::string uri = start_page_uri();
    if (!uri.empty()) webkit_web_view_load_uri(WEBKIT_WEB_VIEW(raw_view), uri.c_str());
  });

  const int status = app->run(1, argv);
  delete window;
  return status;
}

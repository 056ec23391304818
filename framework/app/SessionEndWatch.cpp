#include "app/SessionEndWatch.h"

#include <glib-unix.h>
#include <gtkmm/dialog.h>

#include <csignal>

#include "core/Trace.h"

namespace {

// How often a session that cannot end yet looks again: its dialogs' loops have to return first.
constexpr guint kRetryMs = 50;

void CloseDialogs() {
  for (Gtk::Window* window : Gtk::Window::list_toplevels())
    if (auto* dialog = dynamic_cast<Gtk::Dialog*>(window); dialog != nullptr && dialog->get_visible()) {
      AfxTrace("Closing the dialog \"%s\": the session ends\n", dialog->get_title().c_str());
      dialog->response(Gtk::RESPONSE_DELETE_EVENT);
    }
}

}  // namespace

SessionEndWatch::SessionEndWatch(std::function<bool()> atMainLoop, std::function<void()> end)
    : m_atMainLoop(std::move(atMainLoop)), m_end(std::move(end)) {
  for (int signal : {SIGTERM, SIGHUP, SIGINT}) m_signalSources.push_back(g_unix_signal_add(signal, OnSignal, this));
}

SessionEndWatch::~SessionEndWatch() {
  for (guint source : m_signalSources) g_source_remove(source);
  if (m_tick != 0) g_source_remove(m_tick);
}

gboolean SessionEndWatch::OnSignal(gpointer data) {
  auto* self = static_cast<SessionEndWatch*>(data);
  if (!self->m_ending) AfxTrace("The session ends\n");
  self->m_ending = true;
  if (!self->TryEnd() && self->m_tick == 0) self->m_tick = g_timeout_add(kRetryMs, OnTick, self);
  return G_SOURCE_CONTINUE;
}

gboolean SessionEndWatch::OnTick(gpointer data) {
  auto* self = static_cast<SessionEndWatch*>(data);
  if (!self->TryEnd()) return G_SOURCE_CONTINUE;
  self->m_tick = 0;
  return G_SOURCE_REMOVE;
}

bool SessionEndWatch::TryEnd() {
  if (m_ended) return true;
  CloseDialogs();
  if (!m_atMainLoop()) return false;
  m_ended = true;
  m_end();
  return true;
}

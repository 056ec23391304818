#include "app/MainLoop.h"

#include <utility>

namespace {

// The loop whose idle pass the poll arms, and the poll it stands in for.
MainLoop* g_watching = nullptr;
GPollFunc g_defaultPoll = nullptr;

}  // namespace

MainLoop::MainLoop(std::function<void()> idlePass) : m_idlePass(std::move(idlePass)) {}

MainLoop::~MainLoop() { EndIdleProcessing(); }

void MainLoop::Run() {
  BeginIdleProcessing();
  m_loop = Glib::MainLoop::create();
  if (!m_quit) m_loop->run();
  m_loop.reset();
  EndIdleProcessing();
}

void MainLoop::Quit() {
  m_quit = true;
  if (m_loop) m_loop->quit();
}

bool MainLoop::IsRunningAtTop() const { return m_loop && m_loop->is_running() && g_main_depth() <= 1; }

void MainLoop::ArmIdle() {
  if (m_armed) return;
  m_armed = true;
  m_idle = Glib::signal_idle().connect(
      [this] {
        m_armed = false;  // the pass may arm the next one
        m_idlePass();
        return false;
      },
      Glib::PRIORITY_LOW);
}

// A zero-timeout poll that found nothing is the idle pass's own and re-arms nothing.
gint MainLoop::Poll(GPollFD* fds, guint nfds, gint timeout) {
  const gint result = g_defaultPoll(fds, nfds, timeout);
  if ((timeout != 0 || result > 0) && g_watching != nullptr) g_watching->ArmIdle();
  return result;
}

void MainLoop::BeginIdleProcessing() {
  if (g_watching != nullptr) return;
  g_watching = this;
  g_defaultPoll = g_main_context_get_poll_func(nullptr);
  g_main_context_set_poll_func(nullptr, &MainLoop::Poll);
  ArmIdle();
}

void MainLoop::EndIdleProcessing() {
  m_idle.disconnect();
  m_armed = false;
  if (g_watching != this) return;
  g_main_context_set_poll_func(nullptr, g_defaultPoll);
  g_watching = nullptr;
  g_defaultPoll = nullptr;
}

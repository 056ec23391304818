#include "content/search/FolderSearch.h"

#include <glib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <memory>

#include "content/search/PageText.h"

namespace {

// How much nicer than the window the indexing threads are, as the command nice counts it.
constexpr int kNicer = 10, kLowestNice = 19;

std::string FolderUriOf(const std::string& folder) {
  const std::unique_ptr<gchar, decltype(&g_free)> uri(g_filename_to_uri(folder.c_str(), nullptr, nullptr), g_free);
  std::string result = uri ? uri.get() : "";
  if (!result.empty() && result.back() != '/') result += '/';
  return result;
}

}  // namespace

FolderSearch::FolderSearch(const std::string& folder, std::function<void(const std::string&)> status,
                           std::function<void()> indexed, const std::string& file)
    : m_folderUri(FolderUriOf(folder)),
      m_index(folder, file),
      m_status(std::move(status)),
      m_indexed(std::move(indexed)) {
  PageText::InitParser();
  m_progressed.connect([this] { ShowProgress(); });
  if (!m_index.Notice().empty()) m_status(m_index.Notice());
}

FolderSearch::~FolderSearch() {
  m_cancel = true;
  if (m_thread.joinable()) m_thread.join();
}

void FolderSearch::Refresh() {
  if (m_running) return;
  if (m_thread.joinable()) m_thread.join();
  m_running = true;
  m_finished = false;
  m_cancel = false;
  m_thread = std::thread([this] {
    // Indexing gives way to the window: this thread and the readers it starts, which inherit its
    // priority, run at a lower one, so the main loop is never kept waiting for a processor.
    setpriority(PRIO_PROCESS, gettid(), std::min(kLowestNice, getpriority(PRIO_PROCESS, gettid()) + kNicer));
    SearchIndex::Refreshed refreshed;
    try {
      refreshed = m_index.Refresh(
          [this](std::size_t done, std::size_t total) {
            {
              std::lock_guard lock(m_mutex);
              m_done = done;
              m_total = total;
            }
            if (done % 10 == 0 || done == total) m_progressed.emit();
          },
          m_cancel);
    } catch (const std::exception& error) {
      g_warning("The search index could not be brought up to date: %s", error.what());
    }
    {
      std::lock_guard lock(m_mutex);
      m_refreshed = refreshed;
    }
    m_finished = true;
    m_progressed.emit();
  });
}

void FolderSearch::ShowProgress() {
  if (m_finished && m_running) {
    m_running = false;
    if (m_thread.joinable()) m_thread.join();
    m_status("");
    bool changed;
    {
      std::lock_guard lock(m_mutex);
      changed = m_refreshed.read > 0 || m_refreshed.removed > 0;
    }
    if (!m_cancel && changed) m_indexed();
    return;
  }
  std::size_t done, total;
  {
    std::lock_guard lock(m_mutex);
    done = m_done;
    total = m_total;
  }
  if (m_running) m_status("Indexing " + std::to_string(done) + " of " + std::to_string(total) + " pages…");
}

std::string FolderSearch::Page(const std::string& address) {
  const std::optional<ResultsPage::Request> request = ResultsPage::Parse(address);
  if (!request || request->folderUri != m_folderUri) return "";
  ResultsPage::Footer footer;
  {
    std::lock_guard lock(m_mutex);
    footer.unreadable = m_refreshed.unreadable;
    footer.cut = m_refreshed.cut;
  }
  footer.indexing = m_running;
  if (!m_running && m_index.Notice() != m_noticeTold) footer.notice = m_noticeTold = m_index.Notice();
  SearchIndex::Results results;
  try {
    results = m_index.Find(SearchQuery::Parse(request->typed), request->from, ResultsPage::kPerPage);
  } catch (const std::exception& error) {
    footer.notice = std::string("The search index cannot be read: ") + error.what();
  }
  return ResultsPage::Html(*request, results, footer);
}

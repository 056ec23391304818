// The search of the folder the window shows: its index (SearchIndex), brought up to date on a
// thread of its own at each new search while the window keeps answering, with its progress as a
// status text ("Indexing 230 of 530 pages…") and the results pages (ResultsPage) made from what is
// committed so far. Ending it (its destructor) cancels indexing and waits for the thread.
#pragma once

#include <glibmm/dispatcher.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "content/search/ResultsPage.h"
#include "content/search/SearchIndex.h"

class FolderSearch {
 public:
  // folder: its canonical path. status: told each status text; indexed: told when indexing ends.
  // file: the index's file, SearchIndex::FileFor(folder) when "".
  FolderSearch(const std::string& folder, std::function<void(const std::string&)> status, std::function<void()> indexed,
               const std::string& file = "");
  ~FolderSearch();
  FolderSearch(const FolderSearch&) = delete;
  FolderSearch& operator=(const FolderSearch&) = delete;

  // Starts bringing the index up to date, unless that is under way.
  void Refresh();
  // Stops indexing soon (after the page being read); what was committed stays.
  void Cancel() { m_cancel = true; }
  bool Indexing() const { return m_running; }
  const std::string& FolderUri() const { return m_folderUri; }
  // The results page of an address below the folder, or "" for another address. The index's
  // notice is on the first page made after indexing, not on every one.
  std::string Page(const std::string& address);

 private:
  void ShowProgress();

  std::string m_folderUri;
  SearchIndex m_index;
  std::string m_noticeTold;  // the index's notice once a results page has said it
  std::function<void(const std::string&)> m_status;
  std::function<void()> m_indexed;
  Glib::Dispatcher m_progressed;  // the indexing thread's news, delivered on the main thread
  std::mutex m_mutex;             // guards what follows, written by the indexing thread
  std::size_t m_done = 0, m_total = 0;
  SearchIndex::Refreshed m_refreshed;
  std::atomic<bool> m_running{false}, m_cancel{false}, m_finished{false};
  std::thread m_thread;
};

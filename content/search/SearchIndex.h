// The full-text index of a folder's pages: an SQLite FTS5 table with one row per section (page
// title, heading, body, anchor), English stemming, letter case and diacritics folded. It lives in a
// cache file of its own per folder (FileFor), in WAL mode, and is always safe to delete: a file that
// is corrupt, another program's or of another schema is replaced; when no file can be kept the index
// lives in memory for the run. Refresh brings it up to date with the folder by modification time and
// size (FolderScan), reading pages on worker threads (PageText) and writing from the calling thread;
// several processes may refresh one index at once. Find answers a SearchQuery, best first, on a
// connection of its own, so one thread may Find while another refreshes (WAL lets it read the last
// commit meanwhile); a damaged file replaced during a refresh is reopened by the next Find.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "content/search/SearchQuery.h"
#include "content/search/Sqlite.h"

class SearchIndex {
 public:
  struct Hit {
    std::string path;     // relative to the folder
    std::string anchor;   // "" for the top of the page
    std::string title;    // the page's title
    std::string heading;  // the section's heading
    std::string snippet;  // about a dozen words, the matched ones between kMarkStart and kMarkEnd
  };
  struct Results {
    std::size_t sections = 0;  // how many sections match
    std::size_t pages = 0;     // in how many pages
    std::vector<Hit> hits;     // the ones asked for, best first
  };
  struct Refreshed {
    std::size_t pages = 0;       // pages in the index
    std::size_t read = 0;        // pages read in this refresh
    std::size_t removed = 0;     // pages that are gone, taken out in this refresh
    std::size_t unreadable = 0;  // pages and subfolders that could not be read
    std::size_t cut = 0;         // pages too long to be indexed in full
    bool cancelled = false;
  };
  // Called on the calling thread: pages read so far and pages to read.
  using Progress = std::function<void(std::size_t done, std::size_t total)>;

  // The reading of one page during Refresh.
  struct Job;

  static constexpr char kMarkStart = '\x01', kMarkEnd = '\x02';
  static constexpr int kSchema = 1;

  // The index of folder (its canonical path) in the file given, or FileFor(folder) when file is "".
  explicit SearchIndex(const std::string& folder, const std::string& file = "");
  // $XDG_CACHE_HOME/folioscope/search/<hash of the folder's path>.sqlite
  static std::string FileFor(const std::string& folder);

  // What the user should be told once about the index itself ("" for nothing): that it is kept in
  // memory, that a damaged one was replaced, that the disk is full.
  std::string Notice() const;
  bool InMemory() const { return m_inMemory; }

  Refreshed Refresh(const Progress& progress, const std::atomic<bool>& cancel);
  Refreshed Refresh() {
    std::atomic<bool> never{false};
    return Refresh(nullptr, never);
  }
  Results Find(const SearchQuery& query, std::size_t offset, std::size_t limit);

 private:
  void Open(const std::string& file);
  bool Usable();
  void CreateSchema();
  void Replace(const std::string& file);
  void Rebuild();
  void SetNotice(const std::string& notice);
  SqliteDatabase& Reader();
  void Write(std::vector<Job>& jobs, const std::vector<std::string>& vanished, bool fresh, const Progress& progress,
             const std::atomic<bool>& cancel, Refreshed& result);

  std::string m_folder;
  std::string m_file;
  std::unique_ptr<SqliteDatabase> m_db;  // the writer's: Open and Refresh
  bool m_inMemory = false;
  mutable std::mutex m_mutex;                // guards what follows, shared by Find's thread and Refresh's
  std::unique_ptr<SqliteDatabase> m_reader;  // Find's, opened when first needed
  std::string m_notice;
};

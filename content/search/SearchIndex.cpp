#include "content/search/SearchIndex.h"

#include <glib.h>
#include <glib/gstdio.h>
#include <glibmm/checksum.h>
#include <glibmm/convert.h>
#include <glibmm/miscutils.h>
#include <sys/stat.h>

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "content/search/FolderScan.h"
#include "content/search/PageText.h"
#include "content/search/SectionSnippet.h"

namespace {

constexpr std::int64_t kApplicationId = 0x464f4c53;  // "FOLS"
// A page's sections have the row ids from its file's id times this on.
constexpr std::int64_t kRowsPerPage = 1 << 20;
// Pages read and written in one transaction.
constexpr std::size_t kBatch = 200;
// A block of text on more than half the pages of a folder of at least this many is boilerplate.
constexpr std::size_t kBoilerplateSample = 4;
constexpr std::size_t kBoilerplateMinLength = 16;
// Hits considered for the exact-heading boost beyond the ones shown.
constexpr std::size_t kBoostWindow = 50;
// How long the writer waits for another process's write.
constexpr int kBusyTimeoutMs = 10000;

const char* const kDamagedNotice = "The search index was damaged and has been rebuilt.";

enum FileState { kRead = 0, kUnreadable = 1, kCut = 2 };

std::int64_t Hash(const std::string& text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  return std::int64_t(hash >> 1);
}

std::string Join(const std::string& dir, const std::string& name) { return dir == "/" ? "/" + name : dir + "/" + name; }

// A heading as words in lower case, its arguments left out: "socket.settimeout(value)" reads as
// "socket settimeout", as the query "socket.settimeout" does.
std::string HeadingKey(const std::string& heading) {
  return SearchQuery::Parse(heading.substr(0, heading.find('('))).Normalised();
}

}  // namespace

struct SearchIndex::Job {
  const ScannedPage* page = nullptr;
  PageText text;
  bool readable = true;
  bool moved = false;  // changed or vanished while it was read: left for the next refresh
  bool ready = false;
};

namespace {

using Job = SearchIndex::Job;

// Reads pages on worker threads, handing them over in order; at most kBatch ahead of the reader.
class Readers {
 public:
  Readers(const std::string& folder, std::vector<Job>& jobs) : m_folder(folder), m_jobs(jobs) {
    const unsigned n = std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
    for (unsigned i = 0; i < n; ++i) m_threads.emplace_back([this] { Work(); });
  }
  ~Readers() {
    {
      std::lock_guard lock(m_mutex);
      m_stop = true;
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads) thread.join();
  }
  Readers(const Readers&) = delete;
  Readers& operator=(const Readers&) = delete;

  Job& Take(std::size_t i) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_jobs[i].ready; });
    m_taken = i + 1;
    m_changed.notify_all();
    return m_jobs[i];
  }

 private:
  void Work() {
    for (;;) {
      std::size_t i;
      {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_stop || m_next < std::min(m_jobs.size(), m_taken + kBatch); });
        if (m_stop || m_next >= m_jobs.size()) return;
        i = m_next++;
      }
      Read(m_jobs[i]);
      {
        std::lock_guard lock(m_mutex);
        m_jobs[i].ready = true;
      }
      m_changed.notify_all();
    }
  }

  void Read(Job& job) const {
    const std::string path = Join(m_folder, job.page->path);
    std::string error;
    job.readable = PageText::FromFile(path, job.text, error);
    struct stat st {};
    job.moved = stat(path.c_str(), &st) != 0
                    ? job.readable
                    : std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec != job.page->mtime ||
                          std::int64_t(st.st_size) != job.page->size;
  }

  const std::string& m_folder;
  std::vector<Job>& m_jobs;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::size_t m_next = 0, m_taken = 0;
  bool m_stop = false;
  std::vector<std::thread> m_threads;
};

// Settings for a write, kept while it lasts: a bigger page cache for every write, and for the first
// build of an index no syncs to disk (a crash meanwhile leaves a cache file that the next search
// finds damaged and replaces). Afterwards (a write that failed rolled back first) the write-ahead
// log is emptied into the file and cut short, so the index takes its own size on disk, not twice
// it; a reader that keeps the log in use is not waited for.
class BulkSettings {
 public:
  BulkSettings(SqliteDatabase& db, bool unsynced) : m_db(db), m_unsynced(unsynced) {
    m_db.Execute("PRAGMA cache_size=-32768");
    if (m_unsynced) m_db.Execute("PRAGMA synchronous=OFF");
  }
  ~BulkSettings() {
    sqlite3* handle = m_db.Handle();
    if (sqlite3_get_autocommit(handle) == 0) sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(handle, 0);
    sqlite3_wal_checkpoint_v2(handle, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    sqlite3_busy_timeout(handle, kBusyTimeoutMs);
    sqlite3_exec(handle, "PRAGMA cache_size=-2000", nullptr, nullptr, nullptr);
    if (m_unsynced) sqlite3_exec(handle, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
  }
  BulkSettings(const BulkSettings&) = delete;
  BulkSettings& operator=(const BulkSettings&) = delete;

 private:
  SqliteDatabase& m_db;
  bool m_unsynced;
};

// The blocks of text that are on more than half of the pages given.
std::set<std::int64_t> Boilerplate(const std::vector<Job>& jobs, std::size_t from, std::size_t to) {
  std::map<std::int64_t, std::size_t> pagesWith;
  std::size_t pages = 0;
  for (std::size_t i = from; i < to; ++i) {
    if (!jobs[i].readable || jobs[i].moved) continue;
    ++pages;
    std::set<std::int64_t> blocks;
    for (const PageSection& section : jobs[i].text.sections)
      for (const std::string& block : section.blocks)
        if (block.size() >= kBoilerplateMinLength) blocks.insert(Hash(block));
    for (std::int64_t hash : blocks) ++pagesWith[hash];
  }
  std::set<std::int64_t> common;
  if (pages < kBoilerplateSample) return common;
  for (const auto& [hash, count] : pagesWith)
    if (count * 2 > pages) common.insert(hash);
  return common;
}

}  // namespace

SearchIndex::SearchIndex(const std::string& folder, const std::string& file) : m_folder(folder) {
  Open(file.empty() ? FileFor(folder) : file);
}

std::string SearchIndex::FileFor(const std::string& folder) {
  const std::string hash = Glib::Checksum::compute_checksum(Glib::Checksum::CHECKSUM_SHA256, folder).substr(0, 32);
  return Glib::build_filename(Glib::get_user_cache_dir(), "folioscope", "search", hash + ".sqlite");
}

void SearchIndex::Open(const std::string& file) {
  m_file = file;
  std::string why;
  const std::string dir = Glib::path_get_dirname(file);
  if (g_mkdir_with_parents(dir.c_str(), 0700) != 0) {
    why = g_strerror(errno);
  } else {
    try {
      m_db = std::make_unique<SqliteDatabase>(file);
      sqlite3_busy_timeout(m_db->Handle(), kBusyTimeoutMs);
      if (!Usable()) Replace(file);
      CreateSchema();
      return;
    } catch (const SqliteError& error) {
      if (error.Code() == SQLITE_CORRUPT || error.Code() == SQLITE_NOTADB) {
        if (m_notice.empty()) m_notice = kDamagedNotice;
        try {
          Replace(file);
          CreateSchema();
          return;
        } catch (const SqliteError& again) {
          why = again.what();
        }
      } else {
        why = error.what();
      }
    }
  }
  m_db.reset();
  m_inMemory = true;
  m_notice = "The search index cannot be kept in " + Glib::filename_display_name(dir) + " (" + why +
             "); it is kept in memory for this run.";
  m_db = std::make_unique<SqliteDatabase>(":memory:");
  SectionSnippet::Register(*m_db);
  CreateSchema();
}

// An empty database, or one of this program's in this schema.
bool SearchIndex::Usable() {
  SqliteStatement application = m_db->Prepare("PRAGMA application_id");
  application.Step();
  const std::int64_t id = application.Int(0);
  SqliteStatement version = m_db->Prepare("PRAGMA user_version");
  version.Step();
  const std::int64_t schema = version.Int(0);
  SqliteStatement tables = m_db->Prepare("SELECT count(*) FROM sqlite_master");
  tables.Step();
  if (id == 0 && tables.Int(0) == 0) return true;
  if (id == kApplicationId && schema == kSchema) return true;
  m_notice = "The search index was made by another program or version and has been rebuilt.";
  return false;
}

void SearchIndex::Replace(const std::string& file) {
  m_db.reset();
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) g_unlink((file + suffix).c_str());
  m_db = std::make_unique<SqliteDatabase>(file);
  sqlite3_busy_timeout(m_db->Handle(), kBusyTimeoutMs);
}

// Replaces a file found damaged during a refresh. Find waits meanwhile: its connection is closed
// first and reopened on the new file once that has its tables.
void SearchIndex::Rebuild() {
  std::lock_guard lock(m_mutex);
  m_reader.reset();
  if (m_notice.empty()) m_notice = kDamagedNotice;
  Replace(m_file);
  CreateSchema();
}

std::string SearchIndex::Notice() const {
  std::lock_guard lock(m_mutex);
  return m_notice;
}

void SearchIndex::SetNotice(const std::string& notice) {
  std::lock_guard lock(m_mutex);
  m_notice = notice;
}

// Find's connection, with m_mutex held. An index in memory has only the writer's: SQLite
// serialises the calls of two threads on one connection.
SqliteDatabase& SearchIndex::Reader() {
  if (m_inMemory) return *m_db;
  if (!m_reader) {
    m_reader = std::make_unique<SqliteDatabase>(m_file);
    sqlite3_busy_timeout(m_reader->Handle(), 1000);
    SectionSnippet::Register(*m_reader);
  }
  return *m_reader;
}

void SearchIndex::CreateSchema() {
  if (!m_inMemory) m_db->Execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL");
  m_db->Execute("BEGIN IMMEDIATE");
  try {
    SqliteStatement version = m_db->Prepare("PRAGMA user_version");
    version.Step();
    if (version.Int(0) == 0) {
      m_db->Execute(
          "CREATE TABLE files(id INTEGER PRIMARY KEY, path TEXT UNIQUE NOT NULL, mtime INTEGER NOT NULL,"
          " size INTEGER NOT NULL, state INTEGER NOT NULL);"
          "CREATE TABLE boilerplate(hash INTEGER PRIMARY KEY);"
          "CREATE VIRTUAL TABLE sections USING fts5(title, heading, body, anchor UNINDEXED,"
          " tokenize='porter unicode61 remove_diacritics 2');"
          // The heading weighs most, the page's title more than the body.
          "INSERT INTO sections(sections, rank) VALUES('rank', 'bm25(2.0, 10.0, 1.0)');");
      m_db->Execute(("PRAGMA application_id=" + std::to_string(kApplicationId) +
                     "; PRAGMA user_version=" + std::to_string(kSchema))
                        .c_str());
    }
    m_db->Execute("COMMIT");
  } catch (...) {
    sqlite3_exec(m_db->Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

SearchIndex::Refreshed SearchIndex::Refresh(const Progress& progress, const std::atomic<bool>& cancel) {
  const FolderScan scan = FolderScan::Of(m_folder);
  Refreshed result;
  result.unreadable = scan.unreadable;

  try {
    // What the index holds, against what the folder holds.
    std::map<std::string, std::pair<std::int64_t, std::int64_t>> stored;
    {
      SqliteStatement files = m_db->Prepare("SELECT path, mtime, size FROM files");
      while (files.Step()) stored[files.Text(0)] = {files.Int(1), files.Int(2)};
    }
    const bool fresh = stored.empty();
    std::vector<Job> jobs;
    std::set<std::string> present;
    for (const ScannedPage& page : scan.pages) {
      present.insert(page.path);
      const auto known = stored.find(page.path);
      if (known == stored.end() || known->second != std::make_pair(page.mtime, page.size))
        jobs.emplace_back().page = &page;
    }
    std::vector<std::string> vanished;
    for (const auto& [path, unused] : stored)
      if (present.count(path) == 0) vanished.push_back(path);
    if (!jobs.empty() || !vanished.empty()) Write(jobs, vanished, fresh, progress, cancel, result);
  } catch (const SqliteError& error) {
    sqlite3_exec(m_db->Handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    if (error.Code() == SQLITE_CORRUPT || error.Code() == SQLITE_NOTADB) {
      if (m_inMemory) throw;
      Rebuild();
      return Refresh(progress, cancel);
    }
    SetNotice(error.Code() == SQLITE_FULL
                  ? "The disk is full: the search index keeps what it held before."
                  : "The search index cannot be brought up to date (" + std::string(error.what()) + ").");
  }
  SqliteStatement counts = m_db->Prepare("SELECT count(*), sum(state = 1), sum(state = 2) FROM files");
  counts.Step();
  result.pages = std::size_t(counts.Int(0));
  result.unreadable += std::size_t(counts.Int(1));
  result.cut = std::size_t(counts.Int(2));
  return result;
}

void SearchIndex::Write(std::vector<Job>& jobs, const std::vector<std::string>& vanished, bool fresh,
                        const Progress& progress, const std::atomic<bool>& cancel, Refreshed& result) {
  SqliteStatement findFile = m_db->Prepare("SELECT id, mtime, size FROM files WHERE path = ?");
  SqliteStatement dropFile = m_db->Prepare("DELETE FROM files WHERE id = ?");
  SqliteStatement dropSections = m_db->Prepare("DELETE FROM sections WHERE rowid BETWEEN ? AND ?");
  SqliteStatement addFile = m_db->Prepare("INSERT INTO files(path, mtime, size, state) VALUES(?, ?, ?, ?)");
  SqliteStatement addSection =
      m_db->Prepare("INSERT INTO sections(rowid, title, heading, body, anchor) VALUES(?, ?, ?, ?, ?)");
  SqliteStatement addBoilerplate = m_db->Prepare("INSERT OR IGNORE INTO boilerplate(hash) VALUES(?)");

  // Removes a page's file row and its sections; true when there was one.
  auto drop = [&](const std::string& path) {
    findFile.Bind(1, path);
    if (!findFile.Step()) {
      findFile.Reset();
      return;
    }
    const std::int64_t id = findFile.Int(0);
    findFile.Reset();
    dropSections.Bind(1, id * kRowsPerPage).Bind(2, id * kRowsPerPage + kRowsPerPage - 1).Run();
    dropFile.Bind(1, id).Run();
  };

  std::set<std::int64_t> boilerplate;
  {
    SqliteStatement known = m_db->Prepare("SELECT hash FROM boilerplate");
    while (known.Step()) boilerplate.insert(known.Int(0));
  }
  BulkSettings bulk(*m_db, fresh && !m_inMemory);
  Readers readers(m_folder, jobs);
  for (std::size_t from = 0; from == 0 || from < jobs.size(); from += kBatch) {
    const std::size_t to = std::min(jobs.size(), from + kBatch);
    for (std::size_t i = from; i < to; ++i) {
      if (cancel) {
        result.cancelled = true;
        return;
      }
      readers.Take(i);
      if (progress) progress(i + 1, jobs.size());
    }
    // The first pages read into an empty index tell what every page repeats.
    if (fresh && from == 0 && boilerplate.empty()) boilerplate = Boilerplate(jobs, from, to);

    m_db->Execute("BEGIN IMMEDIATE");
    if (from == 0) {
      for (const std::string& path : vanished) drop(path);
      result.removed = vanished.size();
      for (std::int64_t hash : boilerplate) addBoilerplate.Bind(1, hash).Run();
    }
    for (std::size_t i = from; i < to; ++i) {
      Job& job = jobs[i];
      if (job.moved) continue;
      // Another process may have written the same page meanwhile.
      findFile.Bind(1, job.page->path);
      const bool same = findFile.Step() && findFile.Int(1) == job.page->mtime && findFile.Int(2) == job.page->size;
      findFile.Reset();
      if (same) continue;
      drop(job.page->path);
      const int state = !job.readable ? kUnreadable : job.text.cut ? kCut : kRead;
      addFile.Bind(1, job.page->path)
          .Bind(2, job.page->mtime)
          .Bind(3, job.page->size)
          .Bind(4, std::int64_t(state))
          .Run();
      const std::int64_t id = m_db->LastRowId();
      std::int64_t n = 0;
      for (const PageSection& section : job.text.sections) {
        if (n == kRowsPerPage) break;
        std::string body;
        for (const std::string& block : section.blocks)
          if (boilerplate.count(Hash(block)) == 0) {
            if (!body.empty()) body += '\n';
            body += block;
          }
        if (body.empty() && section.heading.empty()) continue;
        addSection.Bind(1, id * kRowsPerPage + n++)
            .Bind(2, job.text.title)
            .Bind(3, section.heading)
            .Bind(4, body)
            .Bind(5, section.anchor)
            .Run();
      }
      job.text = PageText();
      ++result.read;
    }
    m_db->Execute("COMMIT");
  }
}

SearchIndex::Results SearchIndex::Find(const SearchQuery& query, std::size_t offset, std::size_t limit) {
  Results results;
  if (query.Empty()) return results;
  std::lock_guard lock(m_mutex);
  SqliteDatabase& db = Reader();
  const std::string expression = query.Expression();
  const std::string countSql = "SELECT count(*), count(DISTINCT rowid / " + std::to_string(kRowsPerPage) +
                               ") FROM sections WHERE sections MATCH ?";
  SqliteStatement counts = db.Prepare(countSql.c_str());
  counts.Bind(1, expression);
  counts.Step();
  results.sections = std::size_t(counts.Int(0));
  results.pages = std::size_t(counts.Int(1));
  if (results.sections == 0 || offset >= results.sections) return results;

  // The best by rank, then those whose heading is the query itself moved first.
  SqliteStatement ranked =
      db.Prepare("SELECT rowid, heading FROM sections WHERE sections MATCH ? ORDER BY rank LIMIT ?");
  ranked.Bind(1, expression).Bind(2, std::int64_t(offset + limit + kBoostWindow));
  std::vector<std::int64_t> exact, other;
  const std::string key = query.Normalised();
  while (ranked.Step()) (HeadingKey(ranked.Text(1)) == key ? exact : other).push_back(ranked.Int(0));
  exact.insert(exact.end(), other.begin(), other.end());

  const std::string hitSql =
      "SELECT files.path, sections.anchor, sections.title, sections.heading,"
      " section_snippet(sections, 2, char(1), char(2), '…', 12)"
      " FROM sections JOIN files ON files.id = sections.rowid / " +
      std::to_string(kRowsPerPage) + " WHERE sections MATCH ? AND sections.rowid = ?";
  SqliteStatement hit = db.Prepare(hitSql.c_str());
  for (std::size_t i = offset; i < exact.size() && i < offset + limit; ++i) {
    hit.Bind(1, expression).Bind(2, exact[i]);
    if (hit.Step()) results.hits.push_back({hit.Text(0), hit.Text(1), hit.Text(2), hit.Text(3), hit.Text(4)});
    hit.Reset();
  }
  return results;
}

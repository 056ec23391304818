// Small owners for SQLite's C API: a connection that closes itself and a prepared statement that
// finalises itself, with the few calls the search index needs. Failures throw SqliteError, which
// keeps SQLite's result code so that callers can tell a busy, full or corrupt database apart.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

class SqliteError : public std::runtime_error {
 public:
  SqliteError(int code, const std::string& what) : std::runtime_error(what), m_code(code) {}
  // SQLite's primary result code (SQLITE_CORRUPT, SQLITE_FULL ...).
  int Code() const { return m_code & 0xff; }

 private:
  int m_code;
};

class SqliteStatement;

class SqliteDatabase {
 public:
  // Opens (creating) the database at path; ":memory:" is one in memory.
  explicit SqliteDatabase(const std::string& path);
  sqlite3* Handle() const { return m_db.get(); }
  // Runs one or more statements without results.
  void Execute(const char* sql);
  SqliteStatement Prepare(const char* sql);
  std::int64_t LastRowId() const { return sqlite3_last_insert_rowid(m_db.get()); }
  // Throws SqliteError for code when it is not a success.
  void Check(int code) const;

 private:
  struct Close {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
  };
  std::unique_ptr<sqlite3, Close> m_db;
};

class SqliteStatement {
 public:
  SqliteStatement(const SqliteDatabase& db, const char* sql);
  // Bindings, by 1-based index.
  SqliteStatement& Bind(int index, const std::string& text);
  SqliteStatement& Bind(int index, std::int64_t value);
  // Steps once: true while there is a row to read.
  bool Step();
  // Steps to the end (a statement without results) and makes it ready to run again.
  void Run();
  void Reset();
  std::string Text(int column) const;
  std::int64_t Int(int column) const;
  sqlite3_stmt* Handle() const { return m_statement.get(); }

 private:
  struct Finalize {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
  };
  const SqliteDatabase* m_db;
  std::unique_ptr<sqlite3_stmt, Finalize> m_statement;
};

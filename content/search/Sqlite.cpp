#include "content/search/Sqlite.h"

SqliteDatabase::SqliteDatabase(const std::string& path) {
  sqlite3* db = nullptr;
  const int code =
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
  m_db.reset(db);
  if (code != SQLITE_OK) throw SqliteError(code, db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code));
  sqlite3_extended_result_codes(db, 1);
}

void SqliteDatabase::Check(int code) const {
  if (code != SQLITE_OK && code != SQLITE_ROW && code != SQLITE_DONE) throw SqliteError(code, sqlite3_errmsg(Handle()));
}

void SqliteDatabase::Execute(const char* sql) { Check(sqlite3_exec(Handle(), sql, nullptr, nullptr, nullptr)); }

SqliteStatement SqliteDatabase::Prepare(const char* sql) { return SqliteStatement(*this, sql); }

SqliteStatement::SqliteStatement(const SqliteDatabase& db, const char* sql) : m_db(&db) {
  sqlite3_stmt* statement = nullptr;
  db.Check(sqlite3_prepare_v2(db.Handle(), sql, -1, &statement, nullptr));
  m_statement.reset(statement);
}

SqliteStatement& SqliteStatement::Bind(int index, const std::string& text) {
  m_db->Check(sqlite3_bind_text(m_statement.get(), index, text.data(), int(text.size()), SQLITE_TRANSIENT));
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
  m_db->Check(sqlite3_bind_int64(m_statement.get(), index, value));
  return *this;
}

bool SqliteStatement::Step() {
  const int code = sqlite3_step(m_statement.get());
  if (code == SQLITE_ROW) return true;
  if (code == SQLITE_DONE) return false;
  const std::string message = sqlite3_errmsg(m_db->Handle());
  sqlite3_reset(m_statement.get());
  throw SqliteError(code, message);
}

void SqliteStatement::Run() {
  while (Step()) {
  }
  Reset();
}

void SqliteStatement::Reset() {
  sqlite3_reset(m_statement.get());
  sqlite3_clear_bindings(m_statement.get());
}

std::string SqliteStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement.get(), column));
  return text != nullptr ? std::string(text, std::size_t(sqlite3_column_bytes(m_statement.get(), column))) : "";
}

std::int64_t SqliteStatement::Int(int column) const { return sqlite3_column_int64(m_statement.get(), column); }

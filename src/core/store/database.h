#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace store {

// A failure of the database itself: the file could not be opened, a statement could not be
// prepared or stepped. The text is SQLite's, meant for logs and tests, not for the cashier;
// code() is SQLite's extended result code (SQLITE_READONLY, SQLITE_FULL, SQLITE_BUSY_..., 0
// when not known), from which a screen can tell the cashier why.
class DbError : public std::runtime_error {
 public:
  explicit DbError(const std::string& message, int code = 0)
      : std::runtime_error(message), code_(code) {}
  int code() const { return code_; }
  // The primary result code: SQLITE_BUSY for SQLITE_BUSY_SNAPSHOT, and so on.
  int primary_code() const { return code_ & 0xff; }

 private:
  int code_;
};

// Where kasso.db lives: the working directory unless set (tests point it at a temp dir).
void SetDataDirectory(const std::filesystem::path& directory);
std::filesystem::path DataDirectory();
std::filesystem::path DatabasePath();

// The SQLite VFS (by registered name) every Database opens its file through; empty for SQLite's
// default. Only tests set it, to run the till's operations over a disk that can lose power.
void SetVfsName(const std::string& name);

struct StatementDeleter {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// One prepared statement with its bound values. Step() walks the rows; columns are read by
// position, as the statement lists them.
class Statement {
 public:
  Statement(sqlite3* db, std::string_view sql);

  void Bind(int index, std::nullptr_t);
  void Bind(int index, std::string_view value);
  void Bind(int index, const std::string& value) { Bind(index, std::string_view(value)); }
  void Bind(int index, const char* value) { Bind(index, std::string_view(value)); }
  void Bind(int index, double value);
  void Bind(int index, int value) { Bind(index, static_cast<std::int64_t>(value)); }
  void Bind(int index, std::int64_t value);

  template <typename... Args>
  void BindAll(const Args&... args) {
    int index = 0;
    (Bind(++index, args), ...);
  }

  // Advances to the next row; false when there is none. Throws DbError on failure.
  bool Step();
  // Runs a statement that returns no rows.
  void Run();
  void Reset();

  bool IsNull(int column) const;
  std::string Text(int column) const;  // NULL reads as ""
  double Double(int column) const;     // NULL reads as 0
  std::int64_t Int(int column) const;  // NULL reads as 0
  int ColumnCount() const;
  sqlite3_stmt* raw() const { return statement_.get(); }

 private:
  sqlite3* db_;
  std::unique_ptr<sqlite3_stmt, StatementDeleter> statement_;
};

enum class OpenMode { kReadWrite, kCreate };

// What a connection to a file joined to a shop server has changed in shared data since its
// transaction began (see sharing.h); absent on other connections.
struct CaptureState;

// One connection to kasso.db for the length of one operation. Opening never creates the
// file: a missing database is an open failure (DbError).
class Database {
 public:
  Database();
  explicit Database(const std::filesystem::path& file, OpenMode mode = OpenMode::kReadWrite);
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  Database(Database&&) noexcept = default;
  Database& operator=(Database&&) noexcept = default;
  ~Database();

  template <typename... Args>
  Statement Query(std::string_view sql, const Args&... args) {
    Statement statement(handle(), sql);
    statement.BindAll(args...);
    return statement;
  }

  // Runs one statement with bound values; returns the number of rows it changed.
  template <typename... Args>
  int Exec(std::string_view sql, const Args&... args) {
    Query(sql, args...).Run();
    return sqlite3_changes(handle());
  }

  // First column of the first row, if any row comes back.
  template <typename... Args>
  std::optional<std::string> QueryText(std::string_view sql, const Args&... args) {
    Statement statement = Query(sql, args...);
    if (!statement.Step()) return std::nullopt;
    return statement.Text(0);
  }
  template <typename... Args>
  std::optional<double> QueryDouble(std::string_view sql, const Args&... args) {
    Statement statement = Query(sql, args...);
    if (!statement.Step()) return std::nullopt;
    return statement.Double(0);
  }
  template <typename... Args>
  std::optional<std::int64_t> QueryInt(std::string_view sql, const Args&... args) {
    Statement statement = Query(sql, args...);
    if (!statement.Step()) return std::nullopt;
    return statement.Int(0);
  }
  template <typename... Args>
  bool HasRow(std::string_view sql, const Args&... args) {
    return Query(sql, args...).Step();
  }

  // Runs fixed SQL text that may hold several statements and no values.
  void ExecScript(std::string_view sql);

  sqlite3* handle() const { return db_.get(); }
  CaptureState* capture() const { return capture_.get(); }
  void set_capture(std::shared_ptr<CaptureState> capture) { capture_ = std::move(capture); }

 private:
  struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
  };
  // Declared first so it goes last: the connection's hooks point into it until the close.
  std::shared_ptr<CaptureState> capture_;
  std::unique_ptr<sqlite3, Closer> db_;
};

// Changes between construction and Commit() are one transaction; leaving scope without
// Commit() rolls them back. Inside a caller's transaction it is a savepoint: its own changes
// are undone or kept on their own, and the caller's commit or rollback decides for good.
// The destructor never throws.
class Transaction {
 public:
  explicit Transaction(Database& db);
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  ~Transaction();
  void Commit();

 private:
  Database& db_;
  bool nested_;
  bool open_ = true;
  std::size_t capture_mark_[3] = {0, 0, 0};  // the shared changes caught before a savepoint
};

// One read transaction over a run of look-ups, so SQLite locks and checks the file once
// instead of once per statement. Inside a caller's transaction it does nothing. Statements
// stepped under it must be finished before it ends; End() closes it early, before the
// operation asks the user something or writes.
class ReadTransaction {
 public:
  explicit ReadTransaction(Database& db);
  ReadTransaction(const ReadTransaction&) = delete;
  ReadTransaction& operator=(const ReadTransaction&) = delete;
  ~ReadTransaction() { End(); }
  void End();

 private:
  Database& db_;
  bool own_;
};

// Runs select_in, a statement ending in "rowid in (", over the rowids (closing the list with
// them bound), and hands each row with its rowid's position in rowids to row. The statement's
// first column must be the rowid. Nothing runs for no rowids.
void ForEachRowOf(Database& db, std::string_view select_in, const std::vector<std::int64_t>& rowids,
                  const std::function<void(const Statement&, std::size_t position)>& row);

}  // namespace store

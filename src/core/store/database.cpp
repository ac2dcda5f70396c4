#include "core/store/database.h"

#include <unordered_map>

#include "core/store/private_files.h"
#include "core/store/sharing.h"

namespace store {
namespace {

std::filesystem::path& DirectorySetting() {
  static std::filesystem::path directory;
  return directory;
}

std::string& VfsSetting() {
  static std::string name;
  return name;
}

[[noreturn]] void Fail(sqlite3* db, std::string_view what) {
  throw DbError(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "out of memory"),
                db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM);
}

// Savepoints nest by name: each rollback or release acts on the newest one of that name.
constexpr const char* kSavepoint = "nested";

}  // namespace

void SetDataDirectory(const std::filesystem::path& directory) { DirectorySetting() = directory; }

std::filesystem::path DataDirectory() {
  return DirectorySetting().empty() ? std::filesystem::path(".") : DirectorySetting();
}

std::filesystem::path DatabasePath() { return DataDirectory() / "kasso.db"; }

void SetVfsName(const std::string& name) { VfsSetting() = name; }

Statement::Statement(sqlite3* db, std::string_view sql) : db_(db) {
  sqlite3_stmt* raw = nullptr;
  int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, nullptr);
  statement_.reset(raw);
  if (rc != SQLITE_OK) Fail(db, "prepare failed for \"" + std::string(sql) + "\"");
  if (!raw) throw DbError("empty statement");
}

void Statement::Bind(int index, std::nullptr_t) {
  if (sqlite3_bind_null(statement_.get(), index) != SQLITE_OK) Fail(db_, "bind");
}

void Statement::Bind(int index, std::string_view value) {
  if (sqlite3_bind_text(statement_.get(), index, value.data(), static_cast<int>(value.size()),
                        SQLITE_TRANSIENT) != SQLITE_OK) {
    Fail(db_, "bind");
  }
}

void Statement::Bind(int index, double value) {
  if (sqlite3_bind_double(statement_.get(), index, value) != SQLITE_OK) Fail(db_, "bind");
}

void Statement::Bind(int index, std::int64_t value) {
  if (sqlite3_bind_int64(statement_.get(), index, value) != SQLITE_OK) Fail(db_, "bind");
}

bool Statement::Step() {
  int rc = sqlite3_step(statement_.get());
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Fail(db_, "step failed for \"" + std::string(sqlite3_sql(statement_.get())) + "\"");
}

void Statement::Run() {
  while (Step()) {
  }
}

void Statement::Reset() {
  sqlite3_reset(statement_.get());
  sqlite3_clear_bindings(statement_.get());
}

bool Statement::IsNull(int column) const {
  return sqlite3_column_type(statement_.get(), column) == SQLITE_NULL;
}

std::string Statement::Text(int column) const {
  const unsigned char* text = sqlite3_column_text(statement_.get(), column);
  if (!text) return {};
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<size_t>(sqlite3_column_bytes(statement_.get(), column)));
}

double Statement::Double(int column) const {
  return sqlite3_column_double(statement_.get(), column);
}

std::int64_t Statement::Int(int column) const {
  return sqlite3_column_int64(statement_.get(), column);
}

int Statement::ColumnCount() const { return sqlite3_column_count(statement_.get()); }

Database::Database() : Database(DatabasePath()) {}

Database::Database(const std::filesystem::path& file, OpenMode mode) {
  int flags = SQLITE_OPEN_READWRITE;
  if (mode == OpenMode::kCreate) {
    flags |= SQLITE_OPEN_CREATE;
    // SQLite would create the file readable by everyone (less the umask); made empty and
    // owner-only first, it keeps that mode, and its journals take it from the file.
    try {
      CreatePrivateFile(file);
    } catch (const std::filesystem::filesystem_error& error) {
      throw DbError("cannot create " + file.string() + ": " + error.code().message(),
                    SQLITE_CANTOPEN);
    }
  }
  sqlite3* raw = nullptr;
  const std::string& vfs = VfsSetting();
  int rc = sqlite3_open_v2(file.c_str(), &raw, flags, vfs.empty() ? nullptr : vfs.c_str());
  db_.reset(raw);
  if (rc != SQLITE_OK) Fail(raw, "cannot open " + file.string());
  // Wait briefly rather than fail when the backup copy holds a read lock.
  sqlite3_busy_timeout(raw, 2000);
  // A committed sale must survive a power cut. The commit point is the removal of the
  // journal; "full" leaves that removal unsynced, so a cut soon after a commit could bring the
  // journal back and roll the sale back. "extra" syncs the folder after removing it.
  ExecScript("pragma synchronous = extra");
  detail::AttachCapture(*this);
}

Database::~Database() = default;

void Database::ExecScript(std::string_view sql) {
  std::string text(sql);
  char* message = nullptr;
  int rc = sqlite3_exec(handle(), text.c_str(), nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    std::string error = message ? message : "unknown error";
    sqlite3_free(message);
    throw DbError(error + " in \"" + text + "\"", sqlite3_extended_errcode(handle()));
  }
}

Transaction::Transaction(Database& db)
    : db_(db), nested_(sqlite3_get_autocommit(db.handle()) == 0) {
  if (nested_) {
    const detail::CaptureMark mark = detail::MarkCapture(db_);
    capture_mark_[0] = mark.keys;
    capture_mark_[1] = mark.moves;
    capture_mark_[2] = mark.records;
  }
  db_.ExecScript(nested_ ? std::string("savepoint ") + kSavepoint : "begin immediate");
}

Transaction::~Transaction() {
  if (!open_) return;
  // The shared changes the undone writes made are forgotten with them.
  detail::RollBackCapture(db_, {capture_mark_[0], capture_mark_[1], capture_mark_[2]});
  // Rolls back whatever the operation left; a failed rollback means SQLite already undid it.
  if (nested_) {
    std::string undo = std::string("rollback to ") + kSavepoint + "; release " + kSavepoint;
    sqlite3_exec(db_.handle(), undo.c_str(), nullptr, nullptr, nullptr);
  } else {
    sqlite3_exec(db_.handle(), "rollback", nullptr, nullptr, nullptr);
  }
}

void Transaction::Commit() {
  if (nested_) {
    db_.ExecScript(std::string("release ") + kSavepoint);
  } else {
    // A joined till's changes to shared data go to the server first; a refusal throws here
    // and the destructor rolls the transaction back. Should the server take them and the local
    // commit then fail, what the server took is given back (see SetCommitUndo).
    struct Done {
      Database& db;
      bool committed = false;
      ~Done() { detail::AfterCommit(db, committed); }
    } done{db_};
    detail::BeforeCommit(db_);
    db_.ExecScript("commit");
    done.committed = true;
  }
  open_ = false;
}

ReadTransaction::ReadTransaction(Database& db)
    : db_(db), own_(sqlite3_get_autocommit(db.handle()) != 0) {
  if (own_) db_.ExecScript("begin");
}

void ReadTransaction::End() {
  // Nothing was written, so ending cannot lose anything; a failure leaves SQLite to end it.
  if (own_) sqlite3_exec(db_.handle(), "commit", nullptr, nullptr, nullptr);
  own_ = false;
}

void ForEachRowOf(Database& db, std::string_view select_in, const std::vector<std::int64_t>& rowids,
                  const std::function<void(const Statement&, std::size_t position)>& row) {
  if (rowids.empty()) return;
  std::string sql(select_in);
  for (std::size_t i = 0; i < rowids.size(); ++i) sql += i == 0 ? "?" : ",?";
  sql += ")";
  Statement statement(db.handle(), sql);
  std::unordered_map<std::int64_t, std::size_t> position;
  for (std::size_t i = 0; i < rowids.size(); ++i) {
    statement.Bind(static_cast<int>(i) + 1, rowids[i]);
    position.emplace(rowids[i], i);
  }
  while (statement.Step()) row(statement, position.at(statement.Int(0)));
}

}  // namespace store

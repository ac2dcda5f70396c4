#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/database.h"

namespace store {

// The data a joined shop keeps on its server, and how a till's copy of it changes.
//
// Every table below lives on the server, which gives each change a sequence number; every till
// keeps a full copy and pulls the changes after the last one it applied. A change made at a
// till is caught as the till's own code writes it, row by row, and sent to the server when the
// transaction commits, in one server transaction, before the local commit: when the server
// refuses or cannot be reached the local transaction rolls back and nothing changed anywhere.
//
// Stock and member balances are figures the server adds up: a till sends how much they moved
// (a sale takes 2 off stock, a top-up puts 50 on a balance), never the figure it last saw.
// Moves that cannot clash (stock, points, a top-up) travel with the operation's record in the
// outbox and need no server at the time; a stored-value payment takes its amount off the
// server's balance before the local commit, so two tills cannot spend it twice.

enum class SharedKind {
  kRows,     // the rows of one key, the later write wins whole
  kGuarded,  // an open bill's lines: a write is refused when another till changed the line
  kFigures,  // rows the server works out (stock, balances); a till sends moves, never rows
};

struct SharedTable {
  std::string_view name;     // the table, as the server's change log names it
  std::string_view key;      // the key column; "" for the one settings row
  std::string_view columns;  // the shared columns, comma-separated, key first
  SharedKind kind;
};

// Every shared table. "balance" is not a local table: its rows are a member's stored value and
// points (memberid, depositvalue, memberpointsvalue), applied to membermaster.
std::span<const SharedTable> SharedTables();
const SharedTable* FindSharedTable(std::string_view name);
// The table's shared columns, key first.
std::vector<std::string_view> ColumnsOf(const SharedTable& table);

// One changed key of a shared table, and one move of a figure.
struct SharedKey {
  std::string table;
  std::string key;
};
struct FigureMove {
  std::string kind;  // "stock" (key: barcode), "deposit" or "points" (key: memberid)
  std::string key;
  double delta = 0;
  bool strict = false;  // a payment: refused unless the balance covers it
};

// What one transaction changed in shared data: the keys (each once), the moves (summed per
// kind, key and strictness) and the outbox records it queued.
struct PendingShare {
  std::vector<SharedKey> keys;
  std::vector<FigureMove> moves;
  std::vector<std::int64_t> records;  // outbox seq
  bool NeedsServer() const;
};

// Called before the local commit of a transaction whose changes need the server (see
// PendingShare::NeedsServer); throws to refuse, and the local transaction rolls back.
using CommitGate = std::function<void(Database&, const PendingShare&)>;

// Sets the gate for every connection opened from now on in this process (none: pass {}).
// Only connections to a file joined to a server catch changes.
void SetCommitGate(CommitGate gate);
bool HasCommitGate();

// For the gate: what to do should the local commit fail after the server took the changes (a
// lock held too long, a full disk): run once, right after the failure, its own failures
// swallowed. Set during the gate's call; forgotten once the transaction ends either way.
void SetCommitUndo(Database& db, std::function<void()> undo);

// While one lives, the connection's writes are this till's alone and are not sent: applying the
// server's changes, a data clear, a password re-hashed at login.
class LocalOnly {
 public:
  explicit LocalOnly(Database& db);
  LocalOnly(const LocalOnly&) = delete;
  LocalOnly& operator=(const LocalOnly&) = delete;
  ~LocalOnly();

 private:
  Database& db_;
};

// The moves of records queued without the server, as JSON, for the outbox.
std::string MovesAsJson(const std::vector<FigureMove>& moves);

// The shared rows of one key as the till has them now: a JSON array, [] when none.
std::string SharedRowsJson(Database& db, const SharedTable& table, const std::string& key);

// Every key of a shared table with its rows as JSON, as SharedRowsJson gives them (stock summed
// per barcode); for a till's first copy to the server.
void ForEachSharedKey(Database& db, const SharedTable& table,
                      const std::function<void(const std::string&, const std::string&)>& each);

// The server's sequence number of the key as last applied here; 0 when never.
std::int64_t ReplicaSeq(Database& db, std::string_view table, const std::string& key);

// Applies the server's rows of keys, in the caller's transaction, without sending them back.
// A key already applied at the same or a later sequence is left as it is. Unknown tables are
// skipped (a newer server's).
class SharedRowWriter {
 public:
  explicit SharedRowWriter(Database& db);
  void Apply(std::string_view table, const std::string& key, const std::string& rows_json,
             std::int64_t seq);
  // Empties every shared table and forgets every sequence, before a full copy.
  void ClearAll();

 private:
  Statement& Prepared(const std::string& sql);

  Database& db_;
  LocalOnly local_;
  bool cleared_ = false;
  std::map<std::string, std::unique_ptr<Statement>> statements_;
};

// Where the till's copy stands: the last sequence applied and when the last pull came back.
struct PullState {
  std::int64_t seq = 0;
  std::string when;
};
PullState ReadPullState(Database& db);
void WritePullState(Database& db, std::int64_t seq, const std::string& when);

namespace detail {
// Hooks of store::Database and store::Transaction.
void AttachCapture(Database& db);
struct CaptureMark {
  std::size_t keys = 0, moves = 0, records = 0;
};
CaptureMark MarkCapture(Database& db);
void RollBackCapture(Database& db, const CaptureMark& mark);
void BeforeCommit(Database& db);
void AfterCommit(Database& db, bool committed);
}  // namespace detail

}  // namespace store

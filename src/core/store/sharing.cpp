// The preupdate hook's declarations are compiled in only with this set, before sqlite3.h.
#define SQLITE_ENABLE_PREUPDATE_HOOK 1
#include "core/store/sharing.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <array>
#include <charconv>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "core/store/json_rows.h"
#include "core/store/outbox.h"

namespace store {

namespace {

constexpr std::array<SharedTable, 13> kTables = {{
    {"goodsmaster", "barcode",
     "barcode,goodsname,unit,class,salesprice,memberprice,importprice,averageimportprice,"
     "recordingdate,isscalegoods,pluno,iniinventory,givepoints,iscombined",
     SharedKind::kRows},
    {"combinedgoods", "barcode", "barcode,underlyingcode,quantity", SharedKind::kRows},
    // Stored value and points are the server's figures, kept apart as "balance" rows.
    {"membermaster", "memberid",
     "memberid,membername,membersex,memberpid,memberphone,memberaddress,memberpointsmode,"
     "depositmode,memberpw,dismode,disrate,disondis,birthday",
     SharedKind::kRows},
    {"operatormaster", "workno", "workno,operatorname,operatorpassword,operatorduty",
     SharedKind::kRows},
    {"dutyrights", "operatorduty",
     "operatorduty,sales,operator,dutyrights,discount,settings,member,inventory,inquiry,"
     "dataclear,baseinfo,openmoneybox,pointsreturn",
     SharedKind::kRows},
    {"unitmaster", "unitcode", "unitcode,unitname", SharedKind::kRows},
    {"largeclassmaster", "largeclasscode", "largeclasscode,largeclassname", SharedKind::kRows},
    // The settings every till of a shop must agree on: cost basis, rounding, points rules.
    // Devices and receipts stay each till's own.
    {"management", "", "priceforcost,wipevalue,basevalue,pointsvalue", SharedKind::kRows},
    {"import", "barcode", "barcode,quantity,importprice,importvalue", SharedKind::kGuarded},
    {"return", "barcode", "barcode,quantity,returnprice,returnvalue", SharedKind::kGuarded},
    {"invcount", "barcode", "barcode,accquant,invquant,plquant", SharedKind::kGuarded},
    {"inventory", "barcode", "barcode,quantity", SharedKind::kFigures},
    {"balance", "memberid", "memberid,depositvalue,memberpointsvalue", SharedKind::kFigures},
}};

}  // namespace

std::vector<std::string_view> ColumnsOf(const SharedTable& table) {
  std::string_view columns = table.columns;
  std::vector<std::string_view> names;
  while (!columns.empty()) {
    const std::size_t comma = columns.find(',');
    names.push_back(columns.substr(0, comma));
    if (comma == std::string_view::npos) break;
    columns.remove_prefix(comma + 1);
  }
  return names;
}

namespace {

std::mutex gate_mutex;
CommitGate& Gate() {
  static CommitGate gate;
  return gate;
}
CommitGate CurrentGate() {
  std::lock_guard lock(gate_mutex);
  return Gate();
}

}  // namespace

// Where the watched columns of one table sit in this file's rows.
struct Watched {
  const SharedTable* table = nullptr;
  int key = -1;
  std::vector<int> shared;
  int quantity = -1;  // inventory
  int deposit = -1;   // membermaster
  int points = -1;    // membermaster
};

struct CaptureState {
  int paused = 0;
  bool committing = false;
  std::vector<SharedKey> keys;
  std::vector<FigureMove> moves;
  std::vector<std::int64_t> records;
  std::function<void()> undo;  // set by the gate for the commit in hand
  std::shared_ptr<const std::unordered_map<std::string_view, Watched>> watched;

  void Clear() {
    keys.clear();
    moves.clear();
    records.clear();
  }
  bool Empty() const { return keys.empty() && moves.empty() && records.empty(); }
};

namespace {

std::string ValueText(sqlite3_value* value) {
  const unsigned char* text = sqlite3_value_text(value);
  if (text == nullptr) return {};
  return std::string(reinterpret_cast<const char*>(text),
                     static_cast<std::size_t>(sqlite3_value_bytes(value)));
}

bool SameValue(sqlite3_value* a, sqlite3_value* b) {
  const int type = sqlite3_value_type(a);
  if (type != sqlite3_value_type(b)) return false;
  switch (type) {
    case SQLITE_NULL:
      return true;
    case SQLITE_INTEGER:
      return sqlite3_value_int64(a) == sqlite3_value_int64(b);
    case SQLITE_FLOAT:
      return sqlite3_value_double(a) == sqlite3_value_double(b);
    default:
      return sqlite3_value_bytes(a) == sqlite3_value_bytes(b) &&
             std::memcmp(sqlite3_value_blob(a), sqlite3_value_blob(b),
                         static_cast<std::size_t>(sqlite3_value_bytes(a))) == 0;
  }
}

sqlite3_value* Old(sqlite3* db, int column) {
  sqlite3_value* value = nullptr;
  if (column < 0 || sqlite3_preupdate_old(db, column, &value) != SQLITE_OK) return nullptr;
  return value;
}

sqlite3_value* New(sqlite3* db, int column) {
  sqlite3_value* value = nullptr;
  if (column < 0 || sqlite3_preupdate_new(db, column, &value) != SQLITE_OK) return nullptr;
  return value;
}

double Figure(sqlite3_value* value) { return value != nullptr ? sqlite3_value_double(value) : 0; }

// A row's key, or nullopt for a row without one (nothing a till could look up by).
std::optional<std::string> KeyOf(const Watched& watched, sqlite3_value* value) {
  if (watched.key < 0) return std::string();  // the one settings row
  if (value == nullptr || sqlite3_value_type(value) == SQLITE_NULL) return std::nullopt;
  return ValueText(value);
}

void AddMove(CaptureState& capture, const char* kind, const std::string& key, double delta,
             bool strict) {
  if (delta != 0) capture.moves.push_back({kind, key, delta, strict && delta < 0});
}

// A figure column's move: inserted rows add theirs, deleted rows take theirs off, a changed
// key moves the figure from the old key to the new.
void CatchFigure(sqlite3* db, CaptureState& capture, int op, int column, const char* kind,
                 const std::optional<std::string>& old_key,
                 const std::optional<std::string>& new_key, bool strict_on_update) {
  if (column < 0) return;
  const double before = op == SQLITE_INSERT ? 0 : Figure(Old(db, column));
  const double after = op == SQLITE_DELETE ? 0 : Figure(New(db, column));
  if (op == SQLITE_UPDATE && old_key == new_key) {
    if (new_key) AddMove(capture, kind, *new_key, after - before, strict_on_update);
    return;
  }
  if (old_key && op != SQLITE_INSERT) AddMove(capture, kind, *old_key, -before, false);
  if (new_key && op != SQLITE_DELETE) AddMove(capture, kind, *new_key, after, false);
}

void OnPreUpdate(void* context, sqlite3* db, int op, const char* database, const char* table,
                 sqlite3_int64 /*old_rowid*/, sqlite3_int64 new_rowid) {
  auto& capture = *static_cast<CaptureState*>(context);
  if (capture.paused > 0 || std::strcmp(database, "main") != 0) return;
  if (std::strcmp(table, "outbox") == 0) {
    if (op == SQLITE_INSERT) capture.records.push_back(new_rowid);
    return;
  }
  const auto found = capture.watched->find(std::string_view(table));
  if (found == capture.watched->end()) return;
  const Watched& watched = found->second;
  const std::optional<std::string> old_key =
      op == SQLITE_INSERT ? std::nullopt : KeyOf(watched, Old(db, watched.key));
  const std::optional<std::string> new_key =
      op == SQLITE_DELETE ? std::nullopt : KeyOf(watched, New(db, watched.key));

  if (watched.table->kind != SharedKind::kFigures) {
    bool changed = op != SQLITE_UPDATE || old_key != new_key;
    for (std::size_t i = 0; !changed && i < watched.shared.size(); ++i) {
      sqlite3_value* before = Old(db, watched.shared[i]);
      sqlite3_value* after = New(db, watched.shared[i]);
      changed = before == nullptr || after == nullptr || !SameValue(before, after);
    }
    if (changed) {
      const std::string name(watched.table->name);
      if (old_key) capture.keys.push_back({name, *old_key});
      if (new_key && new_key != old_key) capture.keys.push_back({name, *new_key});
    }
  }
  CatchFigure(db, capture, op, watched.quantity, "stock", old_key, new_key, false);
  CatchFigure(db, capture, op, watched.deposit, "deposit", old_key, new_key, true);
  CatchFigure(db, capture, op, watched.points, "points", old_key, new_key, false);
}

// An autocommit write to shared data would bypass the server: it is refused (rolled back).
int OnCommit(void* context) {
  auto& capture = *static_cast<CaptureState*>(context);
  if (capture.committing) return 0;
  const bool refuse = !capture.keys.empty() || !capture.moves.empty();
  capture.Clear();
  return refuse ? 1 : 0;
}

void OnRollback(void* context) { static_cast<CaptureState*>(context)->Clear(); }

// The positions of every watched column in this file, read in one statement.
std::unordered_map<std::string_view, Watched> LearnColumns(Database& db) {
  std::unordered_map<std::string_view, Watched> learnt;
  std::map<std::pair<std::string, std::string>, int> positions;
  // The names are the fixed ones of kTables, never anything a user typed.
  std::string names;
  for (const SharedTable& table : kTables) {
    if (table.name == "balance") continue;
    names += (names.empty() ? "'" : ",'") + std::string(table.name) + "'";
  }
  Statement columns = db.Query(
      "select m.name,p.cid,lower(p.name) from sqlite_master m,pragma_table_info(m.name) p "
      "where m.type = 'table' and m.name in (" +
      names + ")");
  while (columns.Step()) {
    positions[{columns.Text(0), columns.Text(2)}] = static_cast<int>(columns.Int(1));
  }
  const auto at = [&](std::string_view table, std::string_view column) {
    auto found = positions.find({std::string(table), std::string(column)});
    return found == positions.end() ? -1 : found->second;
  };
  for (const SharedTable& table : kTables) {
    if (table.name == "balance") continue;
    if (!positions.count({std::string(table.name), std::string(ColumnsOf(table)[0])}) &&
        table.name != "management") {
      continue;  // a table this file does not have
    }
    Watched watched;
    watched.table = &table;
    watched.key = table.key.empty() ? -1 : at(table.name, table.key);
    if (table.kind == SharedKind::kFigures) {
      watched.quantity = at(table.name, "quantity");
    } else {
      for (std::string_view column : ColumnsOf(table)) {
        watched.shared.push_back(at(table.name, column));
      }
    }
    if (table.name == "membermaster") {
      watched.deposit = at(table.name, "depositvalue");
      watched.points = at(table.name, "memberpointsvalue");
    }
    learnt.emplace(table.name, std::move(watched));
  }
  return learnt;
}

// Every connection of a till would read the same positions: they are kept per file and schema
// version, so a scan's connection costs two small queries, not a dozen table lookups.
std::shared_ptr<const std::unordered_map<std::string_view, Watched>> WatchedColumns(Database& db) {
  static std::mutex mutex;
  static std::map<std::pair<std::string, std::int64_t>,
                  std::shared_ptr<const std::unordered_map<std::string_view, Watched>>>
      known;
  // A restored file takes the old one's path: its inode and schema version tell them apart.
  const char* file = sqlite3_db_filename(db.handle(), "main");
  struct stat info {};
  if (file == nullptr || ::stat(file, &info) != 0)
    return std::make_shared<const std::unordered_map<std::string_view, Watched>>(LearnColumns(db));
  const std::pair key(
      std::string(file) + ":" + std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino),
      db.QueryInt("pragma schema_version").value_or(0));
  {
    std::lock_guard lock(mutex);
    if (auto found = known.find(key); found != known.end()) return found->second;
  }
  auto learnt =
      std::make_shared<const std::unordered_map<std::string_view, Watched>>(LearnColumns(db));
  std::lock_guard lock(mutex);
  known[key] = learnt;
  return learnt;
}

void AppendNumber(std::string& out, double value) {
  char number[32];
  auto [end, error] = std::to_chars(number, number + sizeof number, value);
  out.append(number, error == std::errc() ? end : number);
}

}  // namespace

std::span<const SharedTable> SharedTables() { return kTables; }

const SharedTable* FindSharedTable(std::string_view name) {
  for (const SharedTable& table : SharedTables()) {
    if (table.name == name) return &table;
  }
  return nullptr;
}

bool PendingShare::NeedsServer() const {
  if (!keys.empty()) return true;
  for (const FigureMove& move : moves) {
    if (move.strict) return true;
  }
  // Moves without a record have nothing to travel with: the server takes them now.
  return !moves.empty() && records.empty();
}

void SetCommitGate(CommitGate gate) {
  std::lock_guard lock(gate_mutex);
  Gate() = std::move(gate);
}

bool HasCommitGate() { return static_cast<bool>(CurrentGate()); }

void SetCommitUndo(Database& db, std::function<void()> undo) {
  if (CaptureState* capture = db.capture()) capture->undo = std::move(undo);
}

LocalOnly::LocalOnly(Database& db) : db_(db) {
  if (CaptureState* capture = db_.capture()) ++capture->paused;
}

LocalOnly::~LocalOnly() {
  if (CaptureState* capture = db_.capture()) --capture->paused;
}

std::string MovesAsJson(const std::vector<FigureMove>& moves) {
  std::string json = "[";
  for (const FigureMove& move : moves) {
    if (json.size() > 1) json += ',';
    json += "{\"kind\":";
    AppendJsonText(json, move.kind);
    json += ",\"key\":";
    AppendJsonText(json, move.key);
    json += ",\"delta\":";
    AppendNumber(json, move.delta);
    json += move.strict ? ",\"strict\":true}" : ",\"strict\":false}";
  }
  return json + "]";
}

namespace detail {

void AttachCapture(Database& db) {
  if (!HasCommitGate()) return;
  try {
    if (!IsJoined(db)) return;
  } catch (const DbError&) {
    return;  // not a till's file (yet): nothing to share
  }
  auto capture = std::make_shared<CaptureState>();
  capture->watched = WatchedColumns(db);
  sqlite3_preupdate_hook(db.handle(), OnPreUpdate, capture.get());
  sqlite3_commit_hook(db.handle(), OnCommit, capture.get());
  sqlite3_rollback_hook(db.handle(), OnRollback, capture.get());
  db.set_capture(std::move(capture));
}

CaptureMark MarkCapture(Database& db) {
  CaptureState* capture = db.capture();
  if (capture == nullptr) return {};
  return {capture->keys.size(), capture->moves.size(), capture->records.size()};
}

void RollBackCapture(Database& db, const CaptureMark& mark) {
  CaptureState* capture = db.capture();
  if (capture == nullptr) return;
  if (capture->keys.size() > mark.keys) capture->keys.resize(mark.keys);
  if (capture->moves.size() > mark.moves) capture->moves.resize(mark.moves);
  if (capture->records.size() > mark.records) capture->records.resize(mark.records);
}

void BeforeCommit(Database& db) {
  CaptureState* capture = db.capture();
  if (capture == nullptr || capture->Empty()) return;
  PendingShare share;
  share.records = capture->records;
  {
    std::map<std::pair<std::string, std::string>, bool> seen;
    for (const SharedKey& key : capture->keys) {
      if (seen.emplace(std::pair(key.table, key.key), true).second) share.keys.push_back(key);
    }
    std::map<std::tuple<std::string, std::string, bool>, double> sums;
    for (const FigureMove& move : capture->moves)
      sums[{move.kind, move.key, move.strict}] += move.delta;
    for (const auto& [what, delta] : sums) {
      if (delta != 0)
        share.moves.push_back({std::get<0>(what), std::get<1>(what), delta, std::get<2>(what)});
    }
  }
  LocalOnly quiet(db);
  if (!share.keys.empty() || !share.moves.empty()) {
    if (share.NeedsServer()) {
      CommitGate gate = CurrentGate();
      if (!gate) throw DbError("shared data changed without a way to the shop server");
      gate(db, share);
    } else {
      // The moves go with the operation's record, whenever the outbox reaches the server.
      db.Exec("update outbox set moves = ? where seq = ?", MovesAsJson(share.moves),
              share.records.front());
    }
  }
  capture->Clear();
  capture->committing = true;
}

void AfterCommit(Database& db, bool committed) {
  CaptureState* capture = db.capture();
  if (capture == nullptr) return;
  capture->committing = false;
  std::function<void()> undo = std::move(capture->undo);
  capture->undo = nullptr;
  if (committed || !undo) return;
  try {
    undo();
  } catch (...) {
    // Nothing more can be done from here; the server keeps what it took.
  }
}

}  // namespace detail

}  // namespace store

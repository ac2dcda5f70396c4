#include "core/store/outbox.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "core/common/clock.h"
#include "core/store/json_rows.h"

namespace store {
namespace {

struct Source {
  std::string_view name;
  std::string_view select;  // all columns of the record's rows, by its key
};

Source SourceOf(OutboxKind kind) {
  switch (kind) {
    case OutboxKind::kBill:
      return {"bill",
              "select * from transactiondetails where transactionnumber = ? order by rowid"};
    case OutboxKind::kPettyCash:
      return {"pettycash",
              "select * from transactiondetails where transactionnumber = ? order by rowid"};
    case OutboxKind::kShiftClosing:
      return {"shift", "select * from shiftsum where shiftid = ? order by rowid"};
    case OutboxKind::kTopUp:
      return {"topup", "select * from depositbak where confirmdate = ? order by rowid"};
    case OutboxKind::kPurchaseBill:
      return {"purchase", "select * from importbak where confirmdate = ? order by rowid"};
    case OutboxKind::kReturnBill:
      return {"return", "select * from returnbak where confirmdate = ? order by rowid"};
    case OutboxKind::kStocktake:
      return {"stocktake", "select * from invcountbak where confirmdate = ? order by rowid"};
    case OutboxKind::kPointsFeedback:
      return {"points", "select * from pointsreturn where rowid = ?"};
  }
  return {"", ""};
}

std::string MachineId() {
  std::ifstream in("/etc/machine-id");
  std::string id;
  std::getline(in, id);
  return id;
}

std::string PlaceOf(Database& db) {
  const char* file = sqlite3_db_filename(db.handle(), "main");
  return MachineId() + ":" + (file != nullptr ? file : "");
}

void Queue(Database& db, OutboxKind kind, const std::string& key, bool by_number) {
  std::optional<std::string> epoch;
  try {
    epoch = db.QueryText("select epoch from serverlink limit 1");
  } catch (const DbError& error) {
    // A file the upgrade has not reached yet has no link table: it has not joined either.
    if (error.primary_code() == SQLITE_ERROR) return;
    throw;
  }
  if (!epoch) return;
  const Source source = SourceOf(kind);
  const std::string payload = RowsAsJson(db.handle(), source.select, key, by_number);
  db.Exec("insert into outbox (epoch,kind,localno,payload,queuedat) values (?,?,?,?,?)", *epoch,
          source.name, key, payload, common::NowText());
}

}  // namespace

std::string_view OutboxKindName(OutboxKind kind) { return SourceOf(kind).name; }

void QueueForServer(Database& db, OutboxKind kind, std::string_view key) {
  Queue(db, kind, std::string(key), false);
}

void QueueForServer(Database& db, OutboxKind kind, std::int64_t key) {
  Queue(db, kind, std::to_string(key), true);
}

std::optional<ServerLink> ReadServerLink(Database& db) {
  Statement row = db.Query(
      "select tillid,epoch,conninfo,shopname,tillname,lastsent,lasterror,ifnull(alarms,0) "
      "from serverlink limit 1");
  if (!row.Step()) return std::nullopt;
  return ServerLink{row.Text(0), row.Text(1), row.Text(2), row.Text(3),
                    row.Text(4), row.Text(5), row.Text(6), row.Int(7)};
}

bool IsJoined(Database& db) { return db.HasRow("select 1 from serverlink"); }

void WriteServerLink(Database& db, const std::string& conninfo, const std::string& shop,
                     const std::string& till) {
  Transaction tx(db);
  if (IsJoined(db)) {
    db.Exec("update serverlink set conninfo = ?,shopname = ?,tillname = ?", conninfo, shop, till);
  } else {
    db.Exec(
        "insert into serverlink (tillid,epoch,conninfo,shopname,tillname,place,lastsent,"
        "lasterror) values (?,?,?,?,?,?,'','')",
        NewUuid(), NewUuid(), conninfo, shop, till, PlaceOf(db));
  }
  tx.Commit();
}

void RenewTillEpoch(Database& db) {
  // The file's shared data may be older or newer than the server's now: the next pull copies
  // all of it again.
  db.Exec("update serverlink set epoch = ?,place = ?,pulledseq = 0", NewUuid(), PlaceOf(db));
}

void CheckTillPlace(Database& db) {
  std::optional<std::string> place = db.QueryText("select place from serverlink limit 1");
  if (place && *place != PlaceOf(db)) RenewTillEpoch(db);
}

void CarryServerState(Database& restored, const std::filesystem::path& current_file) {
  // A damaged current file is what restores are for: then the backup's own link stands.
  try {
    Database current(current_file);
    std::optional<ServerLink> link;
    if (current.HasRow("select 1 from sqlite_master where name = 'serverlink'")) {
      link = ReadServerLink(current);
    }
    if (link) {
      Transaction tx(restored);
      restored.Exec("delete from serverlink");
      restored.Exec(
          "insert into serverlink (tillid,epoch,conninfo,shopname,tillname,place,lastsent,"
          "lasterror) values (?,?,?,?,?,'',?,?)",
          link->till_id, link->epoch, link->conninfo, link->shop, link->till, link->last_sent,
          link->last_error);
      // A record goes with its moves (stock sold, a top-up's money): without them the shop's
      // figures would never count it.
      const bool moves =
          current.HasRow("select 1 from pragma_table_info('outbox') where name = 'moves'");
      Statement pending = current.Query(std::string("select epoch,kind,localno,payload,queuedat,") +
                                        (moves ? "moves" : "null") +
                                        " from outbox where sentat is null order by seq");
      Statement insert = restored.Query(
          "insert into outbox (epoch,kind,localno,payload,queuedat,moves) "
          "select ?1,?2,?3,?4,?5,?6 where not exists (select 1 from outbox where epoch = ?1 "
          "and kind = ?2 and localno = ?3)");
      while (pending.Step()) {
        insert.Reset();
        insert.BindAll(pending.Text(0), pending.Text(1), pending.Text(2), pending.Text(3),
                       pending.Text(4));
        if (pending.IsNull(5)) {
          insert.Bind(6, nullptr);
        } else {
          insert.Bind(6, pending.Text(5));
        }
        insert.Run();
      }
      tx.Commit();
    }
  } catch (const DbError&) {
  }
  RenewTillEpoch(restored);
  // The restored file takes the current one's place, and that place is its own.
  std::error_code error;
  const std::filesystem::path place = std::filesystem::weakly_canonical(current_file, error);
  restored.Exec("update serverlink set place = ?", MachineId() + ":" + place.string());
}

std::string NewUuid() {
  std::random_device random;
  unsigned char bytes[16];
  for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random() & 0xff);
  bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0f) | 0x40);
  bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3f) | 0x80);
  std::string text;
  char hex[3];
  for (int i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
    text += hex;
  }
  return text;
}

}  // namespace store

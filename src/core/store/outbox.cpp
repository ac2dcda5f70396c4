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

// The length of the well-formed UTF-8 sequence at the start of text, or 0 when its first bytes
// are not one (a stray byte of an older file's GBK text, a cut character, an overlong form).
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// Text as a JSON string. The server refuses a whole batch over one string that is not UTF-8,
// which would hold every later record back for good, so a byte that is not part of a
// well-formed character goes as U+FFFD.
void AppendJsonText(std::string& out, std::string_view text) {
  out += '"';
  while (!text.empty()) {
    const auto c = static_cast<unsigned char>(text.front());
    std::size_t taken = 1;
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else if (const std::size_t length = Utf8SequenceLength(text); length > 0) {
          out.append(text.substr(0, length));
          taken = length;
        } else {
          out += "\\ufffd";
        }
    }
    text.remove_prefix(taken);
  }
  out += '"';
}

// The rows of the statement as a JSON array of objects, column names lower-cased; numbers in
// their shortest exact form, so the same rows always give the same text.
std::string RowsAsJson(sqlite3* db, std::string_view sql, const std::string& key, bool by_number) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, nullptr) !=
      SQLITE_OK) {
    throw DbError(sqlite3_errmsg(db), sqlite3_extended_errcode(db));
  }
  std::unique_ptr<sqlite3_stmt, StatementDeleter> statement(raw);
  if (by_number) {
    sqlite3_bind_int64(raw, 1, std::stoll(key));
  } else {
    sqlite3_bind_text(raw, 1, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
  }
  std::string out = "[";
  int step;
  while ((step = sqlite3_step(raw)) == SQLITE_ROW) {
    if (out.size() > 1) out += ',';
    out += '{';
    const int columns = sqlite3_column_count(raw);
    for (int c = 0; c < columns; ++c) {
      if (c > 0) out += ',';
      std::string name = sqlite3_column_name(raw, c);
      for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      AppendJsonText(out, name);
      out += ':';
      switch (sqlite3_column_type(raw, c)) {
        case SQLITE_NULL:
          out += "null";
          break;
        case SQLITE_INTEGER:
          out += std::to_string(sqlite3_column_int64(raw, c));
          break;
        case SQLITE_FLOAT: {
          // JSON has no infinity or NaN; the server would refuse the batch over one.
          if (!std::isfinite(sqlite3_column_double(raw, c))) {
            out += "null";
            break;
          }
          char number[32];
          auto [end, error] =
              std::to_chars(number, number + sizeof number, sqlite3_column_double(raw, c));
          out.append(number, error == std::errc() ? end : number);
          break;
        }
        default: {
          const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, c));
          AppendJsonText(out, text != nullptr ? text : "");
        }
      }
    }
    out += '}';
  }
  if (step != SQLITE_DONE) throw DbError(sqlite3_errmsg(db), sqlite3_extended_errcode(db));
  return out + "]";
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
  db.Exec("update serverlink set epoch = ?,place = ?", NewUuid(), PlaceOf(db));
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
      Statement pending = current.Query(
          "select epoch,kind,localno,payload,queuedat from outbox where sentat is null "
          "order by seq");
      Statement insert = restored.Query(
          "insert into outbox (epoch,kind,localno,payload,queuedat) select ?1,?2,?3,?4,?5 "
          "where not exists (select 1 from outbox where epoch = ?1 and kind = ?2 and "
          "localno = ?3)");
      while (pending.Step()) {
        insert.Reset();
        insert.BindAll(pending.Text(0), pending.Text(1), pending.Text(2), pending.Text(3),
                       pending.Text(4));
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

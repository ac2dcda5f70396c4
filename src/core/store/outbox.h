#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/store/database.h"

namespace store {

// The records a till hands on to the shop server. Each is the set of rows one committed
// operation wrote, read from the table named here by the value of its key column.
enum class OutboxKind {
  kBill,            // transactiondetails by transactionnumber: the lines and the total row
  kPettyCash,       // transactiondetails by transactionnumber: one "备用金" row
  kShiftClosing,    // shiftsum by shiftid
  kTopUp,           // depositbak by confirmdate
  kPurchaseBill,    // importbak by confirmdate
  kReturnBill,      // returnbak by confirmdate
  kStocktake,       // invcountbak by confirmdate
  kPointsFeedback,  // pointsreturn by rowid
};

// The kind's word on the server ("bill", "pettycash", ...).
std::string_view OutboxKindName(OutboxKind kind);

// Writes the record into the outbox, inside the caller's transaction, so that it is queued if
// and only if the operation commits. The record carries the till's current epoch, fixed at
// this moment: a restore or a data clear later gives new records a new epoch, while the
// queued ones keep theirs. Does nothing on a till that has not joined a server.
void QueueForServer(Database& db, OutboxKind kind, std::string_view key);
void QueueForServer(Database& db, OutboxKind kind, std::int64_t key);

// The till's link to the shop server: one row of serverlink, absent until the till joins.
struct ServerLink {
  std::string till_id;   // a UUID made when the till first joined
  std::string epoch;     // changes whenever this file's history can start over
  std::string conninfo;  // the libpq connection string, password included
  std::string shop;
  std::string till;
  std::string last_sent;   // the time of the last server commit, "" before the first
  std::string last_error;  // why the last attempt failed, "" after a success
  std::int64_t alarms = 0;  // records the server kept aside: a known key with other content
};

std::optional<ServerLink> ReadServerLink(Database& db);
bool IsJoined(Database& db);

// Records the link (a first join makes the till id and the epoch; a join again to another
// address keeps them, so nothing already queued changes its key).
void WriteServerLink(Database& db, const std::string& conninfo, const std::string& shop,
                     const std::string& till);

// Gives the till a new epoch: after a restore, a data clear, or when the file turns up on
// another machine or in another folder. Numbers that start over then never meet the old ones
// on the server. Does nothing on a till that has not joined.
void RenewTillEpoch(Database& db);

// Renews the epoch when the file is not where it was last opened (another machine or folder:
// a copy started elsewhere) and remembers the place. Call once at start-up.
void CheckTillPlace(Database& db);

// Makes a restored file (open as restored) carry the till's link and the records the current
// file (current_file, which the restored one will replace) still has to send, and gives it a
// new epoch. Records the backup already holds keep the one copy.
void CarryServerState(Database& restored, const std::filesystem::path& current_file);

// A new random UUID, version 4, in its usual text form.
std::string NewUuid();

}  // namespace store

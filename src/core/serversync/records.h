#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/serversync/pg.h"
#include "core/store/outbox.h"

namespace serversync {

// A record of the outbox, as read for sending.
struct QueuedRecord {
  std::int64_t seq = 0;
  std::string epoch;
  std::string kind;
  std::string localno;
  std::string payload;  // JSON, as the outbox wrote it
  std::string moves;    // JSON, "" for none
};

// The oldest records not yet sent, at most limit of them.
std::vector<QueuedRecord> ReadPendingRecords(store::Database& db, std::size_t limit);
// The records of the given outbox seqs, in their order.
std::vector<QueuedRecord> ReadRecords(store::Database& db, const std::vector<std::int64_t>& seqs);
// Records as the JSON array InsertRecords takes.
std::string RecordsJson(const std::vector<QueuedRecord>& records);

// Inserts a till's records, in the caller's server transaction: batch is a JSON array of
// {"epoch","kind","localno","payload","moves"}. Each record is kept once, its hash worked out by
// the server from the payload as stored (jsonb's own text, so the same rows always hash
// alike); only records new to the server add their rows to the journal and their moves to the
// shop's stock and balances, so a record sent twice counts once. A known key with other
// content is kept aside as an alarm. Throws PgError; a payment the balance does not cover
// fails the statement with "TWSHORT".
void InsertRecords(PgConnection& conn, const std::string& till_id, const std::string& batch);

// Makes sure the shop and the till are registered, and notes the till as seen.
void RegisterTill(PgConnection& conn, const store::ServerLink& link);

// The shop the till belongs to on the server.
std::int64_t ShopOf(PgConnection& conn, const std::string& till_id);

// Throws common::UserError when the server's schema is missing or of another version.
void RequireSchema(PgConnection& conn);

// Keeps why the last attempt to reach the server failed, for the status line.
void NoteServerError(store::Database& db, const std::string& error);

// True when the server refused a payment the member's balance does not cover.
bool IsShortBalance(const PgError& error);

}  // namespace serversync

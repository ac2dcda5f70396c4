#include "core/serversync/records.h"

#include "core/common/error.h"
#include "core/serversync/server_schema.h"
#include "core/store/json_rows.h"

namespace serversync {
namespace {

// The new records' moves come back from the insert, summed later by apply_moves.
constexpr const char* kInsertBatch = R"sql(
with incoming as (
  select r.epoch, r.kind, r.localno, r.payload, r.moves,
         encode(sha256(convert_to(r.payload::text, 'UTF8')), 'hex') as hash
  from jsonb_to_recordset($2::jsonb)
    as r(epoch text, kind text, localno text, payload jsonb, moves jsonb)),
inserted as (
  insert into records (till_id, epoch, kind, localno, payload, hash, moves)
  select $1::uuid, epoch, kind, localno, payload, hash, moves from incoming
  on conflict do nothing
  returning epoch, kind, payload, moves),
lines as (
  insert into journal
  select $1::uuid, i.epoch, l.*
  from inserted i cross join lateral jsonb_populate_recordset(null::journal_line, i.payload) l
  where i.kind in ('bill', 'pettycash'))
select coalesce(jsonb_agg(m), '[]'::jsonb)::text
from inserted i cross join lateral jsonb_array_elements(coalesce(i.moves, '[]'::jsonb)) m)sql";

// A key the server holds with another content: the new content is kept aside, once.
constexpr const char* kKeepAlarms = R"sql(
insert into record_alarms (till_id, epoch, kind, localno, payload, hash)
select $1::uuid, i.epoch, i.kind, i.localno, i.payload, i.hash
from (select r.epoch, r.kind, r.localno, r.payload,
             encode(sha256(convert_to(r.payload::text, 'UTF8')), 'hex') as hash
      from jsonb_to_recordset($2::jsonb) as r(epoch text, kind text, localno text,
                                              payload jsonb)) i
join records s on s.till_id = $1::uuid and s.epoch = i.epoch and s.kind = i.kind
              and s.localno = i.localno and s.hash <> i.hash
on conflict do nothing)sql";

QueuedRecord ReadRecord(const store::Statement& row) {
  return {row.Int(0), row.Text(1), row.Text(2), row.Text(3), row.Text(4), row.Text(5)};
}

}  // namespace

std::vector<QueuedRecord> ReadPendingRecords(store::Database& db, std::size_t limit) {
  std::vector<QueuedRecord> records;
  store::Statement rows = db.Query(
      "select seq,epoch,kind,localno,payload,ifnull(moves,'') from outbox where sentat is null "
      "order by seq limit ?",
      static_cast<std::int64_t>(limit));
  while (rows.Step()) records.push_back(ReadRecord(rows));
  return records;
}

std::vector<QueuedRecord> ReadRecords(store::Database& db, const std::vector<std::int64_t>& seqs) {
  std::vector<QueuedRecord> records(seqs.size());
  store::ForEachRowOf(db,
                      "select seq,epoch,kind,localno,payload,ifnull(moves,'') from outbox "
                      "where seq in (",
                      seqs, [&](const store::Statement& row, std::size_t position) {
                        records[position] = ReadRecord(row);
                      });
  return records;
}

std::string RecordsJson(const std::vector<QueuedRecord>& records) {
  std::string json = "[";
  for (const QueuedRecord& record : records) {
    if (json.size() > 1) json += ',';
    json += "{\"epoch\":";
    store::AppendJsonText(json, record.epoch);
    json += ",\"kind\":";
    store::AppendJsonText(json, record.kind);
    json += ",\"localno\":";
    store::AppendJsonText(json, record.localno);
    json += ",\"payload\":";
    json += record.payload;
    json += ",\"moves\":";
    json += record.moves.empty() ? "null" : record.moves;
    json += '}';
  }
  return json + "]";
}

void InsertRecords(PgConnection& conn, const std::string& till_id, const std::string& batch) {
  const std::string moves = conn.Exec(kInsertBatch, {till_id, batch}).Text(0, 0);
  conn.Exec(kKeepAlarms, {till_id, batch});
  if (moves != "[]") {
    conn.Exec(
        "select apply_moves(shop_id, $2::jsonb, $1::uuid) from tills where till_id = $1::uuid",
        {till_id, moves});
  }
}

void RegisterTill(PgConnection& conn, const store::ServerLink& link) {
  PgTransaction tx(conn);
  conn.Exec("insert into shops (name) values ($1) on conflict (name) do nothing", {link.shop});
  conn.Exec(
      "insert into tills (till_id, shop_id, name, last_seen) "
      "select $1::uuid, shop_id, $3, now() from shops where name = $2 "
      "on conflict (till_id) do update set shop_id = excluded.shop_id, name = excluded.name, "
      "last_seen = now()",
      {link.till_id, link.shop, link.till});
  tx.Commit();
}

std::int64_t ShopOf(PgConnection& conn, const std::string& till_id) {
  PgResult shop = conn.Exec("select shop_id from tills where till_id = $1::uuid", {till_id});
  if (shop.Rows() == 0) throw common::UserError("本机尚未在总部登记, 请重新加入总部");
  return shop.Int(0, 0);
}

void RequireSchema(PgConnection& conn) {
  const int version = ServerSchemaVersion(conn);
  if (version == 0) {
    throw common::UserError("总部数据库尚未建立，请先运行 tillwise-admin server init");
  }
  if (version > kServerSchemaVersion) {
    throw common::UserError("总部数据库版本较新，请先升级本机程序");
  }
  if (version < kServerSchemaVersion) {
    throw common::UserError("总部数据库版本较旧，请先运行 tillwise-admin server init");
  }
}

void NoteServerError(store::Database& db, const std::string& error) {
  try {
    db.Exec("update serverlink set lasterror = ?", error.empty() ? "?" : error);
  } catch (const std::exception&) {
    // A busy or failing local file only loses the note; the queue is untouched.
  }
}

bool IsShortBalance(const PgError& error) {
  return std::string_view(error.what()).find("TWSHORT") != std::string_view::npos;
}

}  // namespace serversync

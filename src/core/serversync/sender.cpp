#include "core/serversync/sender.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/serversync/pg.h"
#include "core/serversync/server_schema.h"
#include "core/store/outbox.h"

namespace serversync {
namespace {

struct Queued {
  std::int64_t seq;
  std::string epoch;
  std::string kind;
  std::string localno;
  std::string payload;
};

// Inserts a batch: each record once, its hash worked out by the server from the payload as
// stored (jsonb's own text, so the same rows always hash alike); only records new to the
// server add their rows to the journal, so a record sent twice counts once.
constexpr const char* kInsertBatch = R"sql(
with incoming as (
  select r.epoch, r.kind, r.localno, r.payload,
         encode(sha256(convert_to(r.payload::text, 'UTF8')), 'hex') as hash
  from jsonb_to_recordset($2::jsonb) as r(epoch text, kind text, localno text, payload jsonb)),
inserted as (
  insert into records (till_id, epoch, kind, localno, payload, hash)
  select $1::uuid, epoch, kind, localno, payload, hash from incoming
  on conflict do nothing
  returning epoch, kind, payload)
insert into journal
select $1::uuid, i.epoch, l.*
from inserted i cross join lateral jsonb_populate_recordset(null::journal_line, i.payload) l
where i.kind in ('bill', 'pettycash'))sql";

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

void AppendJsonText(std::string& out, const std::string& text) {
  out += '"';
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
}

std::vector<Queued> ReadBatch(store::Database& db, std::size_t size) {
  std::vector<Queued> batch;
  store::Statement rows = db.Query(
      "select seq,epoch,kind,localno,payload from outbox where sentat is null order by seq "
      "limit ?",
      static_cast<std::int64_t>(size));
  while (rows.Step()) {
    batch.push_back({rows.Int(0), rows.Text(1), rows.Text(2), rows.Text(3), rows.Text(4)});
  }
  return batch;
}

std::string BatchJson(const std::vector<Queued>& batch) {
  std::string json = "[";
  for (const Queued& record : batch) {
    if (json.size() > 1) json += ',';
    json += "{\"epoch\":";
    AppendJsonText(json, record.epoch);
    json += ",\"kind\":";
    AppendJsonText(json, record.kind);
    json += ",\"localno\":";
    AppendJsonText(json, record.localno);
    json += ",\"payload\":";
    json += record.payload;  // written as JSON by the outbox
    json += '}';
  }
  return json + "]";
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

void NoteError(store::Database& db, const std::string& error) {
  try {
    db.Exec("update serverlink set lasterror = ?", error.empty() ? "?" : error);
  } catch (const std::exception&) {
    // A busy or failing local file only loses the note; the queue is untouched.
  }
}

}  // namespace

std::size_t SendPending(store::Database& db, const SendOptions& options) {
  std::optional<store::ServerLink> link = store::ReadServerLink(db);
  if (!link) throw common::UserError("本机尚未加入总部服务器");
  std::size_t sent = 0;
  try {
    PgConnection conn(link->conninfo);
    RequireSchema(conn);
    RegisterTill(conn, *link);
    for (int number = 1;; ++number) {
      const std::vector<Queued> batch = ReadBatch(db, std::max<std::size_t>(options.batch_size, 1));
      if (batch.empty()) break;
      const std::string json = BatchJson(batch);
      PgTransaction tx(conn);
      conn.Exec(kInsertBatch, {link->till_id, json});
      conn.Exec(kKeepAlarms, {link->till_id, json});
      if (options.before_commit) options.before_commit(number);
      tx.Commit();
      // Only now is the batch the server's: marking it earlier could lose it.
      store::Transaction mark(db);
      db.Exec("update outbox set sentat = ? where sentat is null and seq <= ?", common::NowText(),
              batch.back().seq);
      db.Exec("update serverlink set lastsent = ?,lasterror = ''", common::NowText());
      mark.Commit();
      sent += batch.size();
    }
    // The alarms of this till as the server has them, for the screens to show.
    const std::int64_t alarms =
        conn.Exec("select count(*) from record_alarms where till_id = $1::uuid", {link->till_id})
            .Int(0, 0);
    db.Exec("update serverlink set lasterror = '',alarms = ?", alarms);
  } catch (const PgError& error) {
    NoteError(db, error.what());
    throw;
  } catch (const common::UserError& error) {
    NoteError(db, error.what());
    throw;
  }
  return sent;
}

void TestConnection(const std::string& conninfo) {
  PgConnection conn(conninfo);
  RequireSchema(conn);
}

void JoinServer(store::Database& db, const std::string& conninfo, const std::string& shop,
                const std::string& till) {
  if (shop.empty() || till.empty()) throw common::UserError("门店名称和收银机名称不能为空");
  PgConnection conn(conninfo);
  RequireSchema(conn);
  store::WriteServerLink(db, conninfo, shop, till);
  RegisterTill(conn, *store::ReadServerLink(db));
  db.Exec("update serverlink set lasterror = ''");
}

SyncStatus ReadSyncStatus(store::Database& db) {
  SyncStatus status;
  std::optional<store::ServerLink> link = store::ReadServerLink(db);
  if (!link) return status;
  status.joined = true;
  status.connected = link->last_error.empty();
  status.pending = db.QueryInt("select count(*) from outbox where sentat is null").value_or(0);
  status.address = MaskPassword(link->conninfo);
  status.last_sent = link->last_sent;
  status.last_error = link->last_error;
  status.alarms = link->alarms;
  return status;
}

std::string StatusText(const SyncStatus& status) {
  if (!status.joined) return "";
  std::string text = !status.connected     ? "总部: 未连接"
                     : status.pending > 0 ? "总部: 待传 " + std::to_string(status.pending) + " 笔"
                                          : "总部: 已同步";
  if (status.alarms > 0) text += " (告警 " + std::to_string(status.alarms) + " 笔)";
  return text;
}

void Backoff::Failed(Clock::time_point now) {
  delay_ = delay_.count() == 0 ? kFirst : std::min(delay_ * 2, kLongest);
  next_ = now + delay_;
}

void Backoff::Succeeded(Clock::time_point now) {
  delay_ = std::chrono::seconds{0};
  next_ = now;
}

}  // namespace serversync

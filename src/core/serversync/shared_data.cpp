#include "core/serversync/shared_data.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/serversync/pg.h"
#include "core/serversync/records.h"
#include "core/store/json_rows.h"
#include "core/store/outbox.h"

namespace serversync {
namespace {

using store::SharedKind;

// Logs rows of keys in one statement, each key with the next sequence number of the shop, and
// returns nothing: the caller reads back what it needs. rows is a JSON array of
// {"tbl","key","rows"}, each key at most once.
constexpr const char* kLogRows = R"sql(
with x as (
  select e->>'tbl' as tbl, e->>'key' as key, e->'rows' as rows, ord
  from jsonb_array_elements($2::jsonb) with ordinality as t(e, ord)),
n as (
  update shops set lastseq = lastseq + (select count(*) from x) where shop_id = $1
  returning lastseq - (select count(*) from x) as base)
insert into shared_rows as s (shop_id, tbl, key, rows, seq, changed_by)
select $1, x.tbl, x.key, x.rows, n.base + x.ord, $3::uuid from x, n
on conflict (shop_id, tbl, key) do update
  set rows = excluded.rows, seq = excluded.seq, changed_by = excluded.changed_by,
      changed_at = now())sql";

// The first key the till may not write as it stands: an open bill's line whose server sequence
// is not the one the till based its change on, or a key the till writes as new (it never had
// it) that another till has added meanwhile. Writing the latter would replace another goods
// or member and count its opening stock twice.
constexpr const char* kFindClash = R"sql(
select x.guarded
from jsonb_to_recordset($2::jsonb) as x(tbl text, key text, base bigint, guarded boolean)
left join shared_rows s on s.shop_id = $1 and s.tbl = x.tbl and s.key = x.key
where (x.guarded and coalesce(s.seq, 0) <> x.base)
   or (not x.guarded and x.base = 0 and s.rows is not null and s.rows <> '[]'::jsonb)
limit 1)sql";

constexpr const char* kReadBack = R"sql(
select s.tbl, s.key, s.rows::text, s.seq
from jsonb_to_recordset($2::jsonb) as x(tbl text, key text)
join shared_rows s on s.shop_id = $1 and s.tbl = x.tbl and s.key = x.key
order by s.seq)sql";

// Takes back the records a commit sent when the till's own commit then failed: the records go
// (only as that commit sent them: same key, same content), their journal rows with them, and
// their moves come back reversed, for apply_moves in the same server transaction.
constexpr const char* kTakeBack = R"sql(
with sent as (
  select r.epoch, r.kind, r.localno,
         encode(sha256(convert_to(r.payload::text, 'UTF8')), 'hex') as hash
  from jsonb_to_recordset($2::jsonb) as r(epoch text, kind text, localno text, payload jsonb)),
gone as (
  delete from records d using sent s
  where d.till_id = $1::uuid and d.epoch = s.epoch and d.kind = s.kind
    and d.localno = s.localno and d.hash = s.hash
  returning d.epoch, d.kind, d.localno, d.moves),
lines as (
  delete from journal j using gone g
  where j.till_id = $1::uuid and j.epoch = g.epoch and g.kind in ('bill', 'pettycash')
    and j.transactionnumber::text = g.localno)
select coalesce(jsonb_agg(jsonb_build_object('kind', m->>'kind', 'key', m->>'key',
                                             'delta', -(m->>'delta')::float8)), '[]'::jsonb)::text
from gone g cross join lateral jsonb_array_elements(coalesce(g.moves, '[]'::jsonb)) m)sql";

void TakeBackRecords(const std::string& conninfo, const std::string& till_id,
                     const std::string& records) {
  PgConnection conn(conninfo, 3);
  PgTransaction tx(conn);
  const std::string moves = conn.Exec(kTakeBack, {till_id, records}).Text(0, 0);
  if (moves != "[]") {
    conn.Exec(
        "select apply_moves(shop_id, $2::jsonb, $1::uuid) from tills where till_id = $1::uuid",
        {till_id, moves});
  }
  tx.Commit();
}

void AppendKey(std::string& json, std::string_view table, const std::string& key) {
  json += json.size() > 1 ? "," : "";
  json += "{\"tbl\":";
  store::AppendJsonText(json, table);
  json += ",\"key\":";
  store::AppendJsonText(json, key);
}

struct ServerRow {
  std::string table, key, rows;
  std::int64_t seq;
};

std::vector<ServerRow> Rows(const PgResult& result) {
  std::vector<ServerRow> rows;
  rows.reserve(static_cast<std::size_t>(result.Rows()));
  for (int r = 0; r < result.Rows(); ++r) {
    rows.push_back({result.Text(r, 0), result.Text(r, 1), result.Text(r, 2), result.Int(r, 3)});
  }
  return rows;
}

// The records of the transaction with its moves, or a record of the moves alone.
std::string RecordsWithMoves(std::vector<QueuedRecord> records, const store::ServerLink& link,
                             const store::PendingShare& share) {
  if (share.moves.empty()) return RecordsJson(records);
  if (records.empty()) {
    records.push_back({0, link.epoch, "moves", store::NewUuid(), "[]", ""});
  }
  records.front().moves = store::MovesAsJson(share.moves);
  return RecordsJson(records);
}

// Uploads the till's shared data as the shop's first, when the shop has none yet. Runs under
// the shop's lock, so two tills joining an empty shop at once give it one till's data.
bool SeedShop(PgConnection& conn, store::Database& db, std::int64_t shop,
              const std::string& till_id) {
  PgTransaction tx(conn);
  if (conn.Exec("select lastseq from shops where shop_id = $1 for update", {shop}).Int(0, 0) > 0) {
    return false;
  }
  std::string json = "[";
  std::size_t count = 0;
  const auto flush = [&] {
    if (count == 0) return;
    json += "]";
    conn.Exec(kLogRows, {shop, json, till_id});
    conn.Exec(
        "insert into stock (shop_id, barcode, quantity) "
        "select $1, e->>'key', coalesce((e->'rows'->0->>'quantity')::float8, 0) "
        "from jsonb_array_elements($2::jsonb) e where e->>'tbl' = 'inventory' "
        "on conflict (shop_id, barcode) do update set quantity = excluded.quantity",
        {shop, json});
    conn.Exec(
        "insert into balances (shop_id, memberid, deposit, points) "
        "select $1, e->>'key', round(coalesce((e->'rows'->0->>'depositvalue')::numeric, 0), 2), "
        "round(coalesce((e->'rows'->0->>'memberpointsvalue')::numeric, 0), 2) "
        "from jsonb_array_elements($2::jsonb) e where e->>'tbl' = 'balance' "
        "on conflict (shop_id, memberid) do update "
        "set deposit = excluded.deposit, points = excluded.points",
        {shop, json});
    json = "[";
    count = 0;
  };
  // Members come before their balances, so a till applying in order finds the member first.
  for (const store::SharedTable& table : store::SharedTables()) {
    store::ForEachSharedKey(db, table, [&](const std::string& key, const std::string& rows) {
      AppendKey(json, table.name, key);
      json += ",\"rows\":" + rows + "}";
      if (++count == 5000) flush();
    });
    flush();
  }
  tx.Commit();
  return true;
}

std::size_t PullFrom(store::Database& db, const store::ServerLink& link,
                     const PullOptions& options) {
  PgConnection conn(link.conninfo, options.connect_timeout);
  RequireSchema(conn);
  std::int64_t shop = 0;
  try {
    shop = ShopOf(conn, link.till_id);
  } catch (const common::UserError&) {
    RegisterTill(conn, link);
    shop = ShopOf(conn, link.till_id);
  }
  store::PullState state = store::ReadPullState(db);
  const bool full = state.seq == 0;
  // When the shop has no data yet this till's becomes its first; the copy below then gives it
  // the server's numbers.
  if (full) SeedShop(conn, db, shop, link.till_id);

  // One snapshot of the server for the whole pull; a cursor hands it over a batch at a time.
  PgTransaction server(conn);
  conn.Exec("set transaction isolation level repeatable read");
  conn.Exec(
      "declare changes no scroll cursor for "
      "select tbl, key, rows::text, seq from shared_rows "
      "where shop_id = $1 and seq > $2 order by seq",
      {shop, state.seq});
  const std::string fetch =
      "fetch " + std::to_string(std::max<std::size_t>(options.batch_size, 1)) + " from changes";
  std::size_t applied = 0;
  std::unique_ptr<store::Transaction> local;
  std::unique_ptr<store::SharedRowWriter> writer;
  for (int batch = 1;; ++batch) {
    PgResult result = conn.Exec(fetch);
    if (result.Rows() == 0) break;
    if (!local) {
      local = std::make_unique<store::Transaction>(db);
      writer = std::make_unique<store::SharedRowWriter>(db);
      // The first copy replaces whatever the till had: the shop's data is the server's.
      if (full) writer->ClearAll();
    }
    for (const ServerRow& row : Rows(result)) {
      writer->Apply(row.table, row.key, row.rows, row.seq);
      state.seq = row.seq;
    }
    applied += static_cast<std::size_t>(result.Rows());
    // A first copy is one transaction, however many batches: never half a shop.
    if (full) continue;
    store::WritePullState(db, state.seq, common::NowText());
    if (options.before_commit) options.before_commit(batch);
    writer.reset();
    local->Commit();
    local.reset();
  }
  if (local) {
    store::WritePullState(db, state.seq, common::NowText());
    if (options.before_commit) options.before_commit(1);
    writer.reset();
    local->Commit();
  } else if (const std::string now = common::NowText();
             applied == 0 && now.compare(0, 16, state.when, 0, 16) != 0) {
    // Nothing new: the time it was last seen current is noted once a minute, not every pull,
    // so an idle till does not write its file every two seconds.
    store::WritePullState(db, state.seq, now);
  }
  return applied;
}

}  // namespace

void CommitAtServer(store::Database& db, const store::PendingShare& share) {
  std::optional<store::ServerLink> link = store::ReadServerLink(db);
  if (!link) throw common::UserError("本机尚未加入总部服务器");
  // A sale's stored-value payment sends the cashier to another tender; anything else that needs
  // the server (a withdrawal in the back office among it) is a change that has to wait.
  std::vector<QueuedRecord> queued = ReadRecords(db, share.records);
  const bool payment_only =
      share.keys.empty() && std::any_of(queued.begin(), queued.end(),
                                        [](const QueuedRecord& r) { return r.kind == "bill"; });
  std::unique_ptr<PgConnection> conn;
  try {
    conn = std::make_unique<PgConnection>(link->conninfo, 3);
  } catch (const PgError&) {
    throw common::UserError(payment_only ? kOfflineStoredValueText : kOfflineEditText);
  }

  // The keys' rows as the till has them now, the open bills' lines with the sequence they were
  // read at, and every key whose rows or figures the server changes, to read back.
  std::string rows = "[", bases = "[", read_back = "[";
  std::set<std::pair<std::string, std::string>> wanted;
  const auto want = [&](std::string_view table, const std::string& key) {
    if (wanted.emplace(std::string(table), key).second) {
      AppendKey(read_back, table, key);
      read_back += "}";
    }
  };
  for (const store::SharedKey& key : share.keys) {
    const store::SharedTable* table = store::FindSharedTable(key.table);
    if (table == nullptr) continue;
    AppendKey(rows, key.table, key.key);
    rows += ",\"rows\":" + store::SharedRowsJson(db, *table, key.key) + "}";
    AppendKey(bases, key.table, key.key);
    bases += ",\"base\":" + std::to_string(store::ReplicaSeq(db, key.table, key.key));
    bases += table->kind == SharedKind::kGuarded ? ",\"guarded\":true}" : ",\"guarded\":false}";
    want(key.table, key.key);
    if (key.table == "membermaster") want("balance", key.key);
  }
  for (const store::FigureMove& move : share.moves) {
    want(move.kind == "stock" ? "inventory" : "balance", move.key);
  }
  rows += "]";
  bases += "]";
  read_back += "]";
  const std::string records = RecordsWithMoves(std::move(queued), *link, share);

  std::vector<ServerRow> changed;
  try {
    PgTransaction tx(*conn);
    const std::int64_t shop = ShopOf(*conn, link->till_id);
    conn->Exec("select 1 from shops where shop_id = $1 for update", {shop});
    if (bases != "[]") {
      PgResult clash = conn->Exec(kFindClash, {shop, bases});
      if (clash.Rows() > 0) {
        throw common::UserError(clash.Text(0, 0) == "t" ? kBillChangedText : kKeyTakenText);
      }
    }
    if (rows != "[]") {
      conn->Exec(kLogRows, {shop, rows, link->till_id});
      // A member written again is followed by its balance, so a till that applies changes in
      // order never writes a balance into a member it does not have yet.
      conn->Exec(
          "select log_balance($1, x.key, $3::uuid) "
          "from jsonb_to_recordset($2::jsonb) as x(tbl text, key text) "
          "where x.tbl = 'membermaster'",
          {shop, rows, link->till_id});
    }
    if (records != "[]") InsertRecords(*conn, link->till_id, records);
    changed = Rows(conn->Exec(kReadBack, {shop, read_back}));
    tx.Commit();
    // A bill whose stored value the server took must not stay there when the till's own
    // commit fails after all (a lock held too long, a full disk): it is taken back.
    if (records != "[]") {
      store::SetCommitUndo(db, [conninfo = link->conninfo, till = link->till_id, records] {
        TakeBackRecords(conninfo, till, records);
      });
    }
  } catch (const PgError& error) {
    if (IsShortBalance(error)) throw common::UserError(kShortBalanceText);
    if (PQstatus(conn->handle()) != CONNECTION_OK) {
      throw common::UserError(payment_only ? kOfflineStoredValueText : kOfflineEditText);
    }
    throw common::UserError(std::string("总部拒绝了修改: ") + error.what());
  }

  // The server has it: the local transaction takes the server's figures and sequence numbers,
  // and the records it carried are sent.
  store::SharedRowWriter writer(db);
  for (const ServerRow& row : changed) writer.Apply(row.table, row.key, row.rows, row.seq);
  const std::string now = common::NowText();
  for (std::int64_t seq : share.records) {
    db.Exec("update outbox set sentat = ? where seq = ?", now, seq);
  }
  db.Exec("update serverlink set lastsent = ?,lasterror = ''", now);
}

void InstallCommitGate() { store::SetCommitGate(CommitAtServer); }

std::size_t PullChanges(store::Database& db, const PullOptions& options) {
  std::optional<store::ServerLink> link = store::ReadServerLink(db);
  if (!link) throw common::UserError("本机尚未加入总部服务器");
  try {
    const std::size_t applied = PullFrom(db, *link, options);
    db.Exec("update serverlink set lasterror = '' where lasterror <> ''");
    return applied;
  } catch (const PgError& error) {
    NoteServerError(db, error.what());
    throw;
  }
}

bool CanSpendStoredValue() {
  std::optional<store::ServerLink> link;
  try {
    store::Database db;
    link = store::ReadServerLink(db);
  } catch (const std::exception&) {
    return true;  // the commit tells what is wrong with the file
  }
  if (!link) return true;
  try {
    PgConnection probe(link->conninfo, 1);
    return true;
  } catch (const PgError&) {
    return false;
  }
}

std::string LastPulled(store::Database& db) { return store::ReadPullState(db).when; }

}  // namespace serversync

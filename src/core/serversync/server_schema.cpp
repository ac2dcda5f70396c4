#include "core/serversync/server_schema.h"

#include <array>
#include <string_view>

namespace serversync {
namespace {

// Step n brings the schema from version n-1 to n. Never change a step once shipped: add one.
constexpr std::array<std::string_view, kServerSchemaVersion> kSteps = {
    // 1: shops and tills, every record as the till sent it (with its hash), the records that
    // came again changed (alarms), and the sales journal of all tills, one row per till row.
    R"sql(
create table shops (shop_id bigserial primary key, name text not null unique);
create table tills (
  till_id uuid primary key,
  shop_id bigint not null references shops,
  name text not null,
  joined_at timestamptz not null default now(),
  last_seen timestamptz);
create table records (
  till_id uuid not null references tills,
  epoch text not null,
  kind text not null,
  localno text not null,
  payload jsonb not null,
  hash text not null,
  received_at timestamptz not null default now(),
  primary key (till_id, epoch, kind, localno));
create table record_alarms (
  till_id uuid not null,
  epoch text not null,
  kind text not null,
  localno text not null,
  payload jsonb not null,
  hash text not null,
  received_at timestamptz not null default now(),
  primary key (till_id, epoch, kind, localno, hash));
create type journal_line as (
  transactionnumber bigint, transactiontype text, transactiondatetime text,
  quantity double precision, price double precision, actualvalue double precision,
  discountrate double precision, discountvalue double precision, barcode text, workno text,
  shiftid bigint, memberid text, paid double precision, change double precision,
  cardpaid double precision, wipevalue double precision, valuediscount double precision,
  pricediscount double precision, checkpaid double precision, unionpaid double precision);
-- The type reads a record's rows out of its payload; the table holds them with their till.
create table journal (
  till_id uuid not null, epoch text not null,
  transactionnumber bigint, transactiontype text, transactiondatetime text,
  quantity double precision, price double precision, actualvalue double precision,
  discountrate double precision, discountvalue double precision, barcode text, workno text,
  shiftid bigint, memberid text, paid double precision, change double precision,
  cardpaid double precision, wipevalue double precision, valuediscount double precision,
  pricediscount double precision, checkpaid double precision, unionpaid double precision);
create index journal_time_idx on journal (transactiondatetime);
create index journal_till_idx on journal (till_id, transactiondatetime);
)sql",
};

}  // namespace

int ServerSchemaVersion(PgConnection& conn) {
  PgResult exists = conn.Exec("select to_regclass('tillwise_schema') is not null");
  if (exists.Text(0, 0) != "t") return 0;
  PgResult version = conn.Exec("select coalesce(max(version),0) from tillwise_schema");
  return static_cast<int>(version.Int(0, 0));
}

int InitServerSchema(PgConnection& conn) {
  conn.Exec("create table if not exists tillwise_schema (version integer not null)");
  for (;;) {
    PgTransaction tx(conn);
    conn.Exec("lock table tillwise_schema in exclusive mode");
    const int version = ServerSchemaVersion(conn);
    if (version >= kServerSchemaVersion) return version;
    conn.ExecScript(kSteps[static_cast<std::size_t>(version)]);
    conn.Exec("insert into tillwise_schema (version) values ($1)", {version + 1});
    tx.Commit();
  }
}

}  // namespace serversync

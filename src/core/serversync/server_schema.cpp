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
    // 2: the shop's shared data. shared_rows holds each key's rows as last written, with the
    // sequence number of that write; a till pulls what came after the last number it applied.
    // Writes of one shop take their numbers under its row lock, so numbers commit in order
    // and a pull never skips one still being written. Stock and balances are added up here
    // from the moves the tills send; each change of a figure is logged as a row too.
    R"sql(
alter table shops add column lastseq bigint not null default 0;
create table shared_rows (
  shop_id bigint not null references shops,
  tbl text not null,
  key text not null,
  rows jsonb not null,
  seq bigint not null,
  changed_by uuid,
  changed_at timestamptz not null default now(),
  primary key (shop_id, tbl, key));
create index shared_rows_seq_idx on shared_rows (shop_id, seq);
create table stock (
  shop_id bigint not null references shops,
  barcode text not null,
  quantity double precision not null default 0,
  primary key (shop_id, barcode));
create table balances (
  shop_id bigint not null references shops,
  memberid text not null,
  deposit numeric(14,2) not null default 0,
  points numeric(14,2) not null default 0,
  primary key (shop_id, memberid));
alter table records add column moves jsonb;

create function log_shared_row(p_shop bigint, p_tbl text, p_key text, p_rows jsonb, p_till uuid)
returns bigint language plpgsql as $$
declare
  v_seq bigint;
begin
  update shops set lastseq = lastseq + 1 where shop_id = p_shop returning lastseq into v_seq;
  insert into shared_rows as s (shop_id, tbl, key, rows, seq, changed_by)
  values (p_shop, p_tbl, p_key, p_rows, v_seq, p_till)
  on conflict (shop_id, tbl, key) do update
    set rows = excluded.rows, seq = excluded.seq, changed_by = excluded.changed_by,
        changed_at = now();
  return v_seq;
end $$;

create function log_balance(p_shop bigint, p_member text, p_till uuid) returns void
language plpgsql as $$
begin
  perform log_shared_row(p_shop, 'balance', p_member,
    jsonb_build_array(jsonb_build_object('memberid', p_member,
      'depositvalue', b.deposit::double precision, 'memberpointsvalue', b.points::double precision)),
    p_till)
  from balances b where b.shop_id = p_shop and b.memberid = p_member;
end $$;

-- Adds the moves up, one figure at a time in a fixed order (so two transactions never wait on
-- each other crosswise). A strict move (a payment) takes the amount only where the balance
-- covers it, and otherwise raises TWSHORT naming the member.
create function apply_moves(p_shop bigint, p_moves jsonb, p_till uuid) returns void
language plpgsql as $$
declare
  m record;
begin
  perform 1 from shops where shop_id = p_shop for update;
  for m in
    select x.kind, x.key, coalesce(x.strict, false) as payment, sum(x.delta) as delta
    from jsonb_to_recordset(coalesce(p_moves, '[]'::jsonb))
      as x(kind text, key text, delta double precision, strict boolean)
    where x.delta is not null and x.delta <> 0
    group by x.kind, x.key, coalesce(x.strict, false)
    order by x.kind, x.key
  loop
    if m.kind = 'stock' then
      insert into stock as s (shop_id, barcode, quantity) values (p_shop, m.key, m.delta)
      on conflict (shop_id, barcode) do update set quantity = s.quantity + excluded.quantity;
      perform log_shared_row(p_shop, 'inventory', m.key,
        jsonb_build_array(jsonb_build_object('barcode', m.key, 'quantity', s.quantity)), p_till)
      from stock s where s.shop_id = p_shop and s.barcode = m.key;
    elsif m.kind in ('deposit', 'points') then
      insert into balances (shop_id, memberid) values (p_shop, m.key) on conflict do nothing;
      if m.kind = 'deposit' then
        update balances set deposit = deposit + round(m.delta::numeric, 2)
        where shop_id = p_shop and memberid = m.key
          and (not m.payment or deposit + round(m.delta::numeric, 2) >= 0);
      else
        update balances set points = points + round(m.delta::numeric, 2)
        where shop_id = p_shop and memberid = m.key
          and (not m.payment or points + round(m.delta::numeric, 2) >= 0);
      end if;
      if not found then
        raise exception 'TWSHORT %', m.key;
      end if;
      perform log_balance(p_shop, m.key, p_till);
    end if;
  end loop;
end $$;
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

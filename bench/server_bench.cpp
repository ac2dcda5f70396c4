// server_bench: does the shop server cost the till anything at the counter, and how fast does
// its queue drain and head office's report answer? Against a throwaway PostgreSQL on a Unix
// socket (the test suite's cluster):
//   - CommitSale of a 5-line bill on a till that has not joined, on a joined till whose
//     sender runs against the server, and on one whose server is down (target: both within
//     1.10x of the unjoined till);
//   - SendPending of 10 000 queued bills (target: under 5 s), against reading the same outbox
//     rows from SQLite;
//   - head office's daily report over 10 tills x 200 000 bills on the server (200 days), for
//     one day and for one week (target: under 2 s), against the till's own report over the
//     same rows in one kasso.db. Head office copies the range's rows out of the server, so
//     its time grows with the range: a whole year is not what this design is quick at.

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "core/reports/daily_report.h"
#include "core/sale/commit_sale.h"
#include "core/sale/sale_lines.h"
#include "core/serversync/background_sender.h"
#include "core/serversync/head_office.h"
#include "core/serversync/pg.h"
#include "core/serversync/sender.h"
#include "core/serversync/server_schema.h"
#include "core/store/outbox.h"
#include "core/store/schema.h"
#include "figures.h"
#include "silent_ui.h"
#include "support/pg_cluster.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kCommits = 200;
constexpr int kQueued = 10'000;
constexpr int kTills = 10;
constexpr int kBillsPerTill = 200'000;
constexpr int kDays = 200;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void AddGoods(store::Database& db) {
  for (char barcode = 'A'; barcode <= 'E'; ++barcode) {
    db.Exec(
        "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,"
        "importprice,averageimportprice,isscalegoods,pluno,givepoints,iscombined) "
        "values (?,?,'个','未分类',2.5,2.5,1.5,1.5,'否',0,1,'否')",
        std::string(1, barcode), std::string("goods ") + barcode);
    db.Exec("insert into inventory (barcode,quantity) values (?,1000000)", std::string(1, barcode));
  }
}

// Per commit, in microseconds: kCommits 5-line bills.
double CommitMicros() {
  bench::SilentUi ui;
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < kCommits; ++i) {
    sale::CurrentSale bill;
    bill.workno = "0";
    for (char barcode = 'A'; barcode <= 'E'; ++barcode) {
      sale::SaleLine line;
      line[sale::kBarcode] = std::string(1, barcode);
      line[sale::kQuantity] = sale::MoneyText(1);
      line[sale::kPrice] = sale::MoneyText(2.5);
      line[sale::kRate] = sale::MoneyText(1);
      sale::SetLineAmounts(line, 1, 2.5, 1);
      bill.lines.push_back(line);
    }
    if (!sale::CommitSale(bill, {.due = 12.5, .cash = 12.5}, ui).committed) {
      throw std::runtime_error("commit failed");
    }
  }
  return Seconds(start) * 1e6 / kCommits;
}

fs::path NewTill(const fs::path& dir) {
  fs::create_directories(dir);
  store::CreateNewDatabase(dir / "kasso.db");
  store::Database db(dir / "kasso.db");
  AddGoods(db);
  store::SetDataDirectory(dir);
  return dir / "kasso.db";
}

bool CommitFigures(const fs::path& base, const std::string& conninfo) {
  NewTill(base / "alone");
  const double alone = CommitMicros();

  const fs::path up_file = NewTill(base / "up");
  {
    store::Database db(up_file);
    serversync::JoinServer(db, conninfo, "bench", "up");
  }
  double up = 0;
  {
    serversync::BackgroundSender sender(up_file);
    up = CommitMicros();
  }

  const fs::path down_file = NewTill(base / "down");
  {
    store::Database db(down_file);
    store::WriteServerLink(db, "host=/nonexistent dbname=x", "bench", "down");
  }
  double down = 0;
  {
    serversync::BackgroundSender sender(down_file);
    down = CommitMicros();
  }
  std::printf("\nCommitSale, 5-line bill (%d commits each)\n", kCommits);
  std::printf("  %-34s %10.1f us\n", "not joined (raw: the same commit)", alone);
  bool pass = true;
  for (auto [label, micros] : {std::pair{"joined, server up, sender running", up},
                               std::pair{"joined, server down, sender retrying", down}}) {
    const double ratio = micros / alone;
    std::printf("  %-34s %10.1f us %6.2fx (target <= 1.10x)\n", label, micros, ratio);
    pass = bench::Target(std::string("CommitSale, ") + label + " / not joined", ratio, 1.10, "x") &&
           pass;
  }
  return pass;
}

bool SendFigures(const fs::path& base, const std::string& conninfo) {
  const fs::path file = NewTill(base / "queue");
  store::Database db(file);
  serversync::JoinServer(db, conninfo, "bench", "queue");
  {
    store::Transaction tx(db);
    for (int n = 1; n <= kQueued; ++n) {
      for (const char* type : {"销售", "销售", "销售总计"}) {
        db.Exec(
            "insert into transactiondetails (transactionnumber,transactiontype,"
            "transactiondatetime,quantity,price,actualvalue,barcode,workno,shiftid) "
            "values (?,?,'2026-12-01 10:00:00',1,2.5,2.5,'A','0',0)",
            n, type);
      }
      store::QueueForServer(db, store::OutboxKind::kBill, static_cast<std::int64_t>(n));
    }
    tx.Commit();
  }
  Clock::time_point start = Clock::now();
  std::int64_t bytes = 0;
  {
    store::Statement rows = db.Query("select payload from outbox where sentat is null");
    while (rows.Step()) bytes += static_cast<std::int64_t>(rows.Text(0).size());
  }
  const double raw = Seconds(start);
  start = Clock::now();
  const std::size_t sent = serversync::SendPending(db);
  const double send = Seconds(start);
  std::printf("\nSendPending, %d queued bills (%lld bytes of payload)\n", kQueued,
              static_cast<long long>(bytes));
  std::printf("  send %.2f s, reading the outbox %.3f s: %.1fx (target: send under 5 s)\n", send,
              raw, send / raw);
  const bool met = bench::Target("SendPending of 10000 queued bills", send, 5.0, "s");
  return sent == kQueued && send < 5.0 && met;
}

bool ReportFigures(const fs::path& base, const std::string& conninfo) {
  const fs::path file = NewTill(base / "office");
  store::Database db(file);
  serversync::JoinServer(db, conninfo, "bench", "office");
  const Clock::time_point fill = Clock::now();
  {
    serversync::PgConnection conn(conninfo);
    // Ten tills of the shop, each with 200 000 bills of two lines over 200 days.
    for (int till = 1; till < kTills; ++till) {
      conn.Exec(
          "insert into tills (till_id, shop_id, name) select gen_random_uuid(), shop_id, $1 "
          "from shops where name = 'bench'",
          {"till " + std::to_string(till)});
    }
    conn.Exec(
        "insert into journal (till_id, epoch, transactionnumber, transactiontype, "
        "transactiondatetime, quantity, price, actualvalue, barcode, workno, shiftid, "
        "valuediscount, wipevalue) "
        "select t.till_id, 'e', n, k.type, "
        "to_char(timestamp '2026-01-01' + (n % $2) * interval '1 day' + "
        "(n % 36000) * interval '1 second', 'YYYY-MM-DD HH24:MI:SS'), "
        "k.quantity, 2.5, k.amount, k.barcode, '0', 0, 0, 0 "
        "from tills t cross join generate_series(1, $1) n cross join (values "
        "('销售', 1.0, 2.5, 'A'), ('销售', 1.0, 2.5, 'B'), ('销售总计', 2.0, 5.0, '')) "
        "as k(type, quantity, amount, barcode) "
        "join shops s on s.shop_id = t.shop_id where s.name = 'bench'",
        {kBillsPerTill, kDays});
    conn.Exec("analyze journal");
  }
  std::printf("\nfilled the server with %d tills x %d bills in %.1f s\n", kTills, kBillsPerTill,
              Seconds(fill));
  bool pass = true;
  for (auto [label, range] :
       {std::pair{"one day", reports::DateRange{"2026-03-01", "2026-03-02"}},
        std::pair{"one week", reports::DateRange{"2026-03-01", "2026-03-08"}}}) {
    const fs::path office = base / "headoffice.db";
    Clock::time_point start = Clock::now();
    serversync::BuildHeadOfficeFile(db, serversync::HeadOfficeScope::kThisShop, range.start,
                                    range.end, office);
    store::Database copy(office);
    const reports::DailyReportFigures figures = reports::ComputeDailyReportFigures(copy, range);
    const double op = Seconds(start);
    start = Clock::now();
    const reports::DailyReportFigures raw = reports::ComputeDailyReportFigures(copy, range);
    const double local = Seconds(start);
    const bool met = op < 2.0 && figures.sales_amount == raw.sales_amount;
    pass = bench::Target(std::string("head office daily report, ") + label, op, 2.0, "s") && met &&
           pass;
    std::printf(
        "  daily report, %-12s head office %.2f s, the same report on one file %.3f s: "
        "%.1fx (target under 2 s)%s\n",
        label, op, local, op / local, met ? "" : "  MISSED");
  }
  return pass;
}

}  // namespace

int main(int argc, char** argv) {
  return bench::MainWithDir(argc, argv, "tillwise_server_bench", [](const fs::path& base) {
    const fs::path scratch = base / ("tillwise-server-bench-" + std::to_string(getpid()));
    fs::create_directories(scratch);
    testing_support::PgCluster& cluster = testing_support::PgCluster::Shared();
    bool pass = true;
    {
      const std::string conninfo = cluster.NewDatabase();
      serversync::PgConnection conn(conninfo);
      serversync::InitServerSchema(conn);
      pass = CommitFigures(scratch, conninfo);
    }
    {
      const std::string conninfo = cluster.NewDatabase();
      serversync::PgConnection conn(conninfo);
      serversync::InitServerSchema(conn);
      pass = SendFigures(scratch, conninfo) && pass;
    }
    {
      const std::string conninfo = cluster.NewDatabase();
      serversync::PgConnection conn(conninfo);
      serversync::InitServerSchema(conn);
      pass = ReportFigures(scratch, conninfo) && pass;
    }
    store::SetDataDirectory({});
    fs::remove_all(scratch);
    std::printf("\n%s\n", pass ? "all targets met" : "SOME TARGETS MISSED");
    return pass ? 0 : 1;
  });
}

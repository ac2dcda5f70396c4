// commit_bench: is a sale's commit as quick as its durable write allows, and does it stay so as
// the journal grows? CommitSale of a 20-line bill (its look-ups, journal rows, stock updates,
// commit with a full flush, then the next sale's number) is timed against the raw SQLite
// transaction that writes the same 21 rows and 20 stock updates on an open connection, in a
// shop with an empty journal and in one with 2 000 000 journal rows. The same bill with a
// whole-bill allowance, which the audit trail records in the same transaction, shows what one
// audit row adds to a commit.

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/common/clock.h"
#include "core/lookups/till_numbers.h"
#include "core/sale/commit_sale.h"
#include "core/sale/current_sale.h"
#include "core/sale/sale_lines.h"
#include "core/sale/sale_ui.h"
#include "core/store/database.h"
#include "figures.h"
#include "measure.h"
#include "silent_ui.h"
#include "synthetic.h"

namespace {

namespace fs = std::filesystem;
using bench::SilentUi;
using Clock = std::chrono::steady_clock;
using bench::Case;

constexpr std::int64_t kGoods = 20'000;
constexpr std::int64_t kLargeJournal = 2'000'000;
constexpr size_t kLines = 20;
constexpr double kTargetRatio = 1.5;
constexpr double kAuditTargetRatio = 1.05;

struct Shop {
  Shop(std::string name, std::int64_t rows) : label(std::move(name)), journal(rows) {}
  std::string label;
  std::int64_t journal;
  fs::path dir;
  std::vector<std::string> barcodes;
  std::unique_ptr<store::Database> open;
};

// The i-th bill: 20 different goods from the sample, quantity 1 to 3.
sale::CurrentSale Bill(const Shop& shop, size_t i) {
  sale::CurrentSale bill;
  bill.workno = std::string(1, '0');
  for (size_t line = 0; line < kLines; ++line) {
    sale::SaleLine row;
    row[sale::kBarcode] = shop.barcodes[(i * kLines + line) % shop.barcodes.size()];
    const double quantity = 1 + static_cast<double>(line % 3);
    row[sale::kQuantity] = sale::MoneyText(quantity);
    row[sale::kPrice] = sale::MoneyText(9.90);
    row[sale::kRate] = sale::MoneyText(1.0);
    sale::SetLineAmounts(row, 1.0, 9.90, quantity);
    bill.lines.push_back(row);
  }
  return bill;
}

// allowance: money taken off the whole bill, which writes one audit row with the sale.
std::int64_t Commit(const Shop& shop, size_t i, double allowance = 0) {
  static SilentUi ui;
  store::SetDataDirectory(shop.dir);
  sale::CurrentSale bill = Bill(shop, i);
  sale::Payment payment;
  payment.due = 9.90 * 40;
  payment.allowance = allowance;
  payment.cash = payment.due - allowance;
  sale::CommitResult result = sale::CommitSale(bill, payment, ui);
  if (!result.committed) throw std::runtime_error("commit failed");
  return result.transaction_number;
}

// The same rows and updates written by hand on the open connection, flushed the same way.
std::int64_t RawCommit(const Shop& shop, size_t i) {
  store::Database& db = *shop.open;
  sale::CurrentSale bill = Bill(shop, i);
  const std::string now = kasso::NowText();
  store::Transaction transaction(db);
  const std::int64_t number = lookups::NextBillNumber(db);
  store::Statement line = db.Query(
      "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
      "quantity,price,actualvalue,discountrate,discountvalue,barcode,workno,shiftid,memberid,"
      "valuediscount,pricediscount) values (?,'销售',?,?,?,?,?,?,?,?,0,?,0,0)");
  store::Statement stock =
      db.Query("update inventory set quantity = ifnull(quantity,0) - ? where barcode = ?");
  double total = 0;
  for (const sale::SaleLine& row : bill.lines) {
    line.Reset();
    line.BindAll(number, now, row.Number(sale::kQuantity), row.Number(sale::kPrice),
                 row.Number(sale::kAmount), 1.0, 0.0, row[sale::kBarcode], bill.workno,
                 std::string());
    line.Run();
    stock.Reset();
    stock.BindAll(row.Number(sale::kQuantity), row[sale::kBarcode]);
    stock.Run();
    total += row.Number(sale::kAmount);
  }
  db.Exec(
      "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
      "quantity,price,actualvalue,discountrate,discountvalue,barcode,paid,change,workno,"
      "memberid,cardpaid,shiftid,wipevalue,valuediscount,pricediscount,checkpaid,unionpaid) "
      "values (?,'销售总计',?,40,0,?,0,0,'',?,0,'0','',0,0,0,0,0,0,0)",
      number, now, total, total);
  transaction.Commit();
  return number;
}

void BuildShop(Shop& shop, const fs::path& dir) {
  shop.dir = dir;
  const Clock::time_point start = Clock::now();
  bench::CreateSyntheticDatabase(dir, {kGoods, shop.journal});
  std::mt19937_64 rng(7);
  for (size_t i = 0; i < 4096; ++i) {
    shop.barcodes.push_back(bench::SyntheticBarcode(
        static_cast<std::int64_t>(rng() % static_cast<std::uint64_t>(kGoods))));
  }
  shop.open = std::make_unique<store::Database>(dir / "kasso.db");
  std::printf("generated %-24s in %6.2f s\n", shop.label.c_str(), bench::SecondsSince(start));
}

int Run(const fs::path& base) {
#ifndef NDEBUG
  std::printf("warning: built without NDEBUG; build in Release for figures that mean much\n");
#endif
  bench::ScratchDir scratch{base / ("tillwise-commit-bench-" + std::to_string(getpid()))};
  Shop empty("empty journal", 0);
  Shop full("2000000 journal rows", kLargeJournal);
  BuildShop(empty, scratch.path / "empty");
  BuildShop(full, scratch.path / "full");

  Case commit_empty(empty, [&](size_t i) { return Commit(empty, i); });
  Case commit_full(full, [&](size_t i) { return Commit(full, i); });
  Case raw_empty(empty, [&](size_t i) { return RawCommit(empty, i); });
  Case raw_full(full, [&](size_t i) { return RawCommit(full, i); });
  Case audited_empty(empty, [&](size_t i) { return Commit(empty, i, 0.5); });
  Case audited_full(full, [&](size_t i) { return Commit(full, i, 0.5); });
  bench::Measure(
      {&commit_empty, &commit_full, &raw_empty, &raw_full, &audited_empty, &audited_full});
  store::SetDataDirectory({});

  std::printf("\nCommitSale, 20-line bill, synchronous=full (median of %d batches)\n",
              bench::kRounds);
  std::printf("  %-24s %12s %12s %10s\n", "database", "commit us", "raw us", "op/raw");
  bool pass = true;
  for (const auto& [op, raw] :
       {std::pair{&commit_empty, &raw_empty}, std::pair{&commit_full, &raw_full}}) {
    const double ratio = op->median / raw->median;
    std::printf("  %-24s %12.1f %12.1f %9.2fx (target <= %.2fx)\n", op->label.c_str(), op->median,
                raw->median, ratio, kTargetRatio);
  }
  for (const auto& [op, raw] :
       {std::pair{&commit_empty, &raw_empty}, std::pair{&commit_full, &raw_full}}) {
    pass = bench::Target("CommitSale/raw, " + op->label, op->median / raw->median, kTargetRatio,
                         "x") &&
           pass;
  }
  const double growth = commit_full.median / commit_empty.median;
  std::printf("  2000000 rows / empty: %.2fx (target <= %.2fx)\n", growth, kTargetRatio);
  pass = bench::Target("CommitSale, 2000000 rows / empty", growth, kTargetRatio, "x") && pass;
  std::printf("\nThe same bill with an audit row (whole-bill allowance)\n");
  std::printf("  %-24s %12s %12s %10s %12s\n", "database", "audited us", "commit us", "ratio",
              "audited/raw");
  for (const auto& [audited, plain, raw] : {std::tuple{&audited_empty, &commit_empty, &raw_empty},
                                            std::tuple{&audited_full, &commit_full, &raw_full}}) {
    const double ratio = audited->median / plain->median;
    pass = bench::Target("CommitSale with audit row / without, " + audited->label, ratio,
                         kAuditTargetRatio, "x") &&
           pass;
    std::printf("  %-24s %12.1f %12.1f %9.3fx %11.2fx (target <= %.2fx)\n", audited->label.c_str(),
                audited->median, plain->median, ratio, audited->median / raw->median,
                kAuditTargetRatio);
  }
  std::printf("\n%s (checksum %lld)\n", pass ? "all targets met" : "SOME TARGETS MISSED",
              static_cast<long long>(bench::Checksum() % 1000));
  return pass ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  return bench::MainWithDir(argc, argv, "tillwise_commit_bench", Run);
}

// stock_bench: do the stock screen, a purchase bill's verification and the stocktake keep pace
// in a shop of 200 000 goods? Each figure is printed beside the raw SQLite statements it must
// run (in one transaction where it writes), measured in the same run on the same file.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/backoffice/goods/goods_files.h"
#include "core/backoffice/goods/purchase_bills.h"
#include "core/backoffice/goods/stock_list.h"
#include "core/backoffice/goods/stocktake.h"
#include "core/common/clock.h"
#include "core/store/database.h"
#include "figures.h"
#include "measure.h"
#include "synthetic.h"
#include "ui/backoffice/goods/StockModels.h"

namespace {

namespace fs = std::filesystem;
using bench::Figure;
using bench::MedianTiming;

constexpr int kPaintedRows = 40;  // about a screenful
constexpr std::int64_t kBillLines = 1000;
constexpr std::int64_t kCombinedLines = kBillLines / 10;
constexpr std::int64_t kComponents = 3;

std::int64_t g_sink = 0;

void StepToEnd(store::Statement statement) {
  while (statement.Step()) ++g_sink;
}

// The last kCombinedLines goods become combined goods of three components each, taken from
// the middle of the shop.
void MakeCombinedGoods(store::Database& db, std::int64_t goods) {
  store::Transaction tx(db);
  store::Statement mark = db.Query("update goodsmaster set iscombined = '是' where barcode = ?");
  store::Statement part = db.Query("insert into combinedgoods values (?,?,?)");
  for (std::int64_t i = 0; i < kCombinedLines; ++i) {
    const std::string barcode = bench::SyntheticBarcode(goods - 1 - i);
    mark.Reset();
    mark.Bind(1, barcode);
    mark.Run();
    for (std::int64_t c = 0; c < kComponents; ++c) {
      part.Reset();
      part.BindAll(barcode, bench::SyntheticBarcode(goods / 2 + i * kComponents + c),
                   static_cast<double>(c + 1));
      part.Run();
    }
  }
  tx.Commit();
}

// A bill of kBillLines lines: plain goods from the start of the shop, the combined ones.
void FillBill(const fs::path& db_file, std::int64_t goods) {
  store::Database db(db_file);
  store::Transaction tx(db);
  db.Exec("delete from import");
  db.Exec("delete from importbak");
  store::Statement line = db.Query("insert into import values (?,?,?,?)");
  for (std::int64_t i = 0; i < kBillLines; ++i) {
    const bool combined = i < kCombinedLines;
    const std::string barcode =
        bench::SyntheticBarcode(combined ? goods - 1 - i : (i * 7) % (goods - kCombinedLines));
    line.Reset();
    line.BindAll(barcode, 12.0, 3.5, 42.0);
    line.Run();
  }
  tx.Commit();
}

// The statements a purchase verification must run, on an open connection in one transaction,
// without any check: goods kind, stock before, stock and price updates, history, empty.
void RawVerifyPurchase(const fs::path& db_file) {
  store::Database db(db_file);
  store::Transaction tx(db);
  std::vector<std::pair<std::string, double>> lines;
  {
    store::Statement bill = db.Query("select barcode,quantity,importprice from import");
    while (bill.Step()) lines.emplace_back(bill.Text(0), bill.Double(1));
  }
  store::Statement kind = db.Query("select iscombined from goodsmaster where barcode = ?");
  store::Statement before = db.Query("select quantity from inventory where barcode = ?");
  store::Statement parts =
      db.Query("select underlyingcode,quantity from combinedgoods where barcode = ?");
  store::Statement stock =
      db.Query("update inventory set quantity = ifnull(quantity,0) + ? where barcode = ?");
  store::Statement cost = db.Query(
      "update goodsmaster set averageimportprice = "
      "(ifnull(averageimportprice,0)*?1+?2*?3)/(?1+?3),importprice = ?2 where barcode = ?4");
  std::vector<double> stocks;
  std::vector<bool> combined;
  for (const auto& [barcode, quantity] : lines) {
    kind.Reset();
    kind.Bind(1, barcode);
    combined.push_back(kind.Step() && kind.Text(0) == "是");
    before.Reset();
    before.Bind(1, barcode);
    stocks.push_back(before.Step() ? before.Double(0) : 0);
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto& [barcode, quantity] = lines[i];
    if (combined[i]) {
      std::vector<std::pair<std::string, double>> components;
      parts.Reset();
      parts.Bind(1, barcode);
      while (parts.Step()) components.emplace_back(parts.Text(0), parts.Double(1));
      for (const auto& [component, per_unit] : components) {
        stock.Reset();
        stock.BindAll(quantity * per_unit, component);
        stock.Run();
      }
      continue;
    }
    stock.Reset();
    stock.BindAll(quantity, barcode);
    stock.Run();
    cost.Reset();
    cost.BindAll(stocks[i], 3.5, quantity, barcode);
    cost.Run();
  }
  db.Exec(
      "insert into importbak (barcode,quantity,importprice,confirmdate) "
      "select barcode,quantity,importprice,'2024-01-01 00:00:00' from import");
  db.Exec("delete from import");
  tx.Commit();
}

void EmptyStocktake(const fs::path& db_file) {
  store::Database db(db_file);
  db.ExecScript("delete from invcount; delete from invcountbak;");
}

// A full stocktake in which every goods was counted one more than its book stock.
void CountedStocktake(const fs::path& db_file) {
  EmptyStocktake(db_file);
  backoffice::GenerateStocktake();
  store::Database db(db_file);
  db.ExecScript("update invcount set invquant = accquant + 1, plquant = 1");
}

// What generating must do in SQLite: read the stock and the goods, then insert one row per
// goods in barcode order (the rows, sorted beforehand, are given).
void RawGenerate(const fs::path& db_file, const std::vector<std::string>& sorted_barcodes) {
  store::Database db(db_file);
  backoffice::PrepareBulkConnection(db);
  store::Transaction tx(db);
  StepToEnd(db.Query("select rowid,barcode,ifnull(quantity,0) from inventory order by rowid"));
  StepToEnd(db.Query("select barcode from goodsmaster where ifnull(iscombined,'否') <> '是'"));
  store::Statement insert =
      db.Query("insert into invcount (barcode,accquant,invquant,plquant) values (?1,?2,?2,0)");
  for (const std::string& barcode : sorted_barcodes) {
    insert.Reset();
    insert.BindAll(barcode, 100.0);
    insert.Run();
  }
  tx.Commit();
}

// What verifying the stocktake must do in SQLite: read the combined goods, the count and the
// stock, change every stock row (their rowids, sorted beforehand, are given), move the count
// into the history.
void RawVerifyStocktake(const fs::path& db_file, const std::vector<std::int64_t>& stock_rows) {
  store::Database db(db_file);
  backoffice::PrepareBulkConnection(db);
  store::Transaction tx(db);
  StepToEnd(db.Query("select barcode from goodsmaster where iscombined = '是'"));
  StepToEnd(db.Query("select barcode,plquant from invcount where ifnull(plquant,0) <> 0"));
  StepToEnd(db.Query("select rowid,barcode,ifnull(quantity,0) from inventory order by rowid"));
  store::Statement stock =
      db.Query("update inventory set quantity = ifnull(quantity,0) + ? where rowid = ?");
  for (std::int64_t rowid : stock_rows) {
    stock.Reset();
    stock.BindAll(1.0, rowid);
    stock.Run();
  }
  db.ExecScript(
      "insert into invcountbak (barcode,accquant,invquant,plquant,confirmdate) "
      "select barcode,accquant,invquant,plquant,'2024-01-01 00:00:00' from invcount;"
      "delete from invcount;");
  tx.Commit();
}

bool RunShop(const fs::path& dir, std::int64_t goods) {
  const auto start = std::chrono::steady_clock::now();
  const fs::path file = bench::CreateSyntheticDatabase(dir, {goods, 0});
  store::SetDataDirectory(dir);
  {
    store::Database db(file);
    MakeCombinedGoods(db, goods);
  }
  std::printf("generated %lld goods in %.2f s\n", static_cast<long long>(goods),
              bench::SecondsSince(start));
  const bool large = goods >= 100'000;
  std::vector<Figure> figures;

  ui::StockListModel model(nullptr);
  Figure list{"stock list for 全部 with totals (query, model, paint)", {}, {}, large ? 0.5 : 0};
  list.op = MedianTiming([&] {
    model.SetList(backoffice::LoadStockList(std::nullopt));
    for (int row = 0; row < std::min(kPaintedRows, model.rowCount()); ++row) {
      for (int column = 0; column < model.columnCount(); ++column) {
        g_sink += model.data(model.index(row, column)).toString().size();
      }
    }
  });
  list.raw = MedianTiming([&] {
    store::Database db(file);
    backoffice::PrepareBulkConnection(db);
    StepToEnd(db.Query("select barcode,ifnull(quantity,0) from inventory"));
    StepToEnd(db.Query(
        "select barcode,goodsname,unit,class,ifnull(averageimportprice,0) from goodsmaster "
        "order by rowid"));
  });
  figures.push_back(list);

  Figure verify{"verify a 1 000-line purchase bill (100 combined)", {}, {}, large ? 0.5 : 0};
  verify.op =
      MedianTiming([] { backoffice::VerifyPurchaseBill(); }, [&] { FillBill(file, goods); });
  verify.raw = MedianTiming([&] { RawVerifyPurchase(file); }, [&] { FillBill(file, goods); });
  figures.push_back(verify);

  std::vector<std::string> sorted_barcodes;
  std::vector<std::int64_t> stock_rows;
  {
    store::Database db(file);
    store::Statement rows = db.Query(
        "select a.barcode,b.rowid from goodsmaster a join inventory b on (a.barcode = b.barcode) "
        "where a.iscombined <> '是' order by a.barcode");
    while (rows.Step()) {
      sorted_barcodes.push_back(rows.Text(0));
      stock_rows.push_back(rows.Int(1));
    }
    std::sort(stock_rows.begin(), stock_rows.end());
  }

  Figure generate{"generate the stocktake", {}, {}, large ? 2.0 : 0};
  generate.op =
      MedianTiming([] { backoffice::GenerateStocktake(); }, [&] { EmptyStocktake(file); });
  generate.raw =
      MedianTiming([&] { RawGenerate(file, sorted_barcodes); }, [&] { EmptyStocktake(file); });
  figures.push_back(generate);

  Figure stocktake{"verify the full stocktake (every goods differs)", {}, {}, large ? 3.0 : 0};
  stocktake.op =
      MedianTiming([] { backoffice::VerifyStocktake(); }, [&] { CountedStocktake(file); }, 3);
  stocktake.raw = MedianTiming([&] { RawVerifyStocktake(file, stock_rows); },
                               [&] { CountedStocktake(file); }, 3);
  figures.push_back(stocktake);

  store::SetDataDirectory({});
  return bench::PrintFigures(std::to_string(goods) + " goods", figures);
}

}  // namespace

int main(int argc, char** argv) {
  return bench::RunInScratch(
      argc, argv, "tillwise_stock_bench",
      [](const fs::path& scratch) {
        const bool small = RunShop(scratch / "small", 2000);
        return RunShop(scratch / "large", 200'000) && small;
      },
      g_sink);
}

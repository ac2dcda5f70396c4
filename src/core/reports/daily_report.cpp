#include "core/reports/daily_report.h"

#include <algorithm>
#include <array>
#include <unordered_map>
#include <utility>

#include "core/common/clock.h"
#include "core/common/format.h"
#include "core/reports/query_definitions.h"
#include "core/store/database.h"
#include "core/store/journal.h"

namespace reports {
namespace {

// The journal's figures come from one pass over the range's rows, each summed from the rows
// its own statement would take (sums over no rows are 0; a sum of sums is taken in row order,
// as SQLite's sum() takes it):
//   sales quantity   sum(ifnull(quantity,0)) of the "销售" rows with ifnull(quantity,0) >= 0
//   sales amount     sum(ifnull(actualvalue,0)) - sum(ifnull(valuediscount,0)) of the
//                    "销售总计" rows with ifnull(quantity,0) >= 0
//   return quantity, return amount   the same with ifnull(quantity,0) < 0
//   wiped, bill discount   sum(ifnull(wipevalue,0)), sum(ifnull(valuediscount,0)) of the
//                    "销售总计" rows
//   cost             select sum(ifnull(a.quantity,0)*ifnull(b.importprice,0))
//                    from transactiondetails a left join goodsmaster b on (a.barcode = b.barcode)
// Separate statements would walk a year's million rows seven times, and the cost's join
// searches the goods once per row. Here the cost is the quantity sold per barcode times the
// barcode's price, read once per barcode: a barcode of several goods rows counts each of them,
// as the join does; one of no goods, or no barcode at all, adds 0.
constexpr const char* kJournalRows =
    "select transactiontype,ifnull(quantity,0),ifnull(actualvalue,0),ifnull(valuediscount,0),"
    "ifnull(wipevalue,0),barcode from transactiondetails "
    "where transactiondatetime >= ?1 and transactiondatetime <= ?2";
constexpr const char* kGoodsCount = "select max(rowid) from goodsmaster";
constexpr const char* kOnePrice =
    "select sum(ifnull(importprice,0)) from goodsmaster where barcode = ?";
constexpr const char* kAllPrices =
    "select barcode,ifnull(importprice,0) from goodsmaster where barcode is not null";

// The amounts booked; history from before amounts were kept has none: quantity × price.
constexpr const char* kPurchases =
    "select sum(ifnull(quantity,0)),"
    "sum(ifnull(importvalue,ifnull(importprice,0)*ifnull(quantity,0))) from importbak "
    "where confirmdate >= ?1 and confirmdate <= ?2";

constexpr const char* kSupplierReturns =
    "select sum(ifnull(quantity,0)),"
    "sum(ifnull(returnvalue,ifnull(returnprice,0)*ifnull(quantity,0))) from returnbak "
    "where confirmdate >= ?1 and confirmdate <= ?2";

constexpr const char* kStocktakeQuantity =
    "select sum(ifnull(plquant,0)) from invcountbak where confirmdate >= ?1 and confirmdate <= ?2";

constexpr const char* kStocktakeAmount =
    "select sum(ifnull(a.plquant,0)*ifnull(b.importprice,0)) from invcountbak a "
    "left join goodsmaster b on (a.barcode = b.barcode) "
    "where a.confirmdate >= ?1 and a.confirmdate <= ?2";

using Figure = std::optional<double> DailyReportFigures::*;

struct FigureStatement {
  const char* sql;
  std::vector<Figure> figures;  // one per selected column
};

const std::array<FigureStatement, 4>& FigureStatements() {
  using F = DailyReportFigures;
  static const std::array<FigureStatement, 4> statements = {{
      {kPurchases, {&F::purchase_quantity, &F::purchase_amount}},
      {kSupplierReturns, {&F::supplier_return_quantity, &F::supplier_return_amount}},
      {kStocktakeQuantity, {&F::stocktake_quantity}},
      {kStocktakeAmount, {&F::stocktake_amount}},
  }};
  return statements;
}

// The cost of the quantities sold per barcode at the recent purchase price.
double RecentCost(store::Database& db, const std::unordered_map<std::string, double>& sold) {
  double cost = 0;
  const std::int64_t goods = db.QueryInt(kGoodsCount).value_or(0);
  if (static_cast<std::int64_t>(sold.size()) * 4 > goods) {
    // Most goods sold: one walk through the goods beats a search per barcode.
    store::Statement all = db.Query(kAllPrices);
    while (all.Step()) {
      if (auto found = sold.find(all.Text(0)); found != sold.end()) {
        cost += found->second * all.Double(1);
      }
    }
    return cost;
  }
  // In barcode order the searches walk the goods index forward, not at random.
  std::vector<std::pair<std::string, double>> barcodes(sold.begin(), sold.end());
  std::sort(barcodes.begin(), barcodes.end());
  store::Statement one = db.Query(kOnePrice);
  for (const auto& [barcode, quantity] : barcodes) {
    one.Reset();
    one.Bind(1, barcode);
    if (one.Step()) cost += quantity * one.Double(0);
  }
  return cost;
}

void ReadJournal(store::Database& db, const DateRange& range, DailyReportFigures& figures) {
  double sales_quantity = 0, sales_value = 0, sales_discount = 0;
  double return_quantity = 0, return_value = 0, return_discount = 0;
  double wiped = 0, bill_discount = 0;
  std::unordered_map<std::string, double> sold;
  store::Statement row = db.Query(kJournalRows, range.start, range.end);
  while (row.Step()) {
    const std::string type = row.Text(0);
    const double quantity = row.Double(1);
    if (type == store::kJournalSale) {
      (quantity >= 0 ? sales_quantity : return_quantity) += quantity;
    } else if (type == store::kJournalBillTotal) {
      const double value = row.Double(2);
      const double discount = row.Double(3);
      (quantity >= 0 ? sales_value : return_value) += value;
      (quantity >= 0 ? sales_discount : return_discount) += discount;
      wiped += row.Double(4);
      bill_discount += discount;
    }
    if (!row.IsNull(5)) sold[row.Text(5)] += quantity;
  }
  figures.sales_quantity = sales_quantity;
  figures.sales_amount = sales_value - sales_discount;
  figures.return_quantity = return_quantity;
  figures.return_amount = return_value - return_discount;
  figures.wiped = wiped;
  figures.bill_discount = bill_discount;
  figures.cost = RecentCost(db, sold);
}

std::optional<double> Sum(const std::optional<double>& a, const std::optional<double>& b) {
  if (!a || !b) return std::nullopt;
  return *a + *b;
}

std::string Value(const std::optional<double>& figure) {
  return figure ? kasso::Money(*figure) : std::string();
}

}  // namespace

bool DailyReportFigures::Complete() const {
  for (const FigureStatement& statement : FigureStatements()) {
    for (Figure figure : statement.figures) {
      if (!(this->*figure)) return false;
    }
  }
  return sales_quantity && sales_amount && return_quantity && return_amount && wiped &&
         bill_discount && cost;
}

DailyReportFigures ComputeDailyReportFigures(const DateRange& range) {
  try {
    store::Database db;
    return ComputeDailyReportFigures(db, range);
  } catch (const store::DbError&) {
    // kasso.db cannot be opened: every figure stays unknown.
    return {};
  }
}

DailyReportFigures ComputeDailyReportFigures(store::Database& db, const DateRange& range) {
  DailyReportFigures figures;
  try {
    PrepareRangeReading(db);
    store::ReadTransaction read(db);
    for (const FigureStatement& definition : FigureStatements()) {
      try {
        store::Statement statement = db.Query(definition.sql, range.start, range.end);
        if (!statement.Step()) continue;
        for (std::size_t i = 0; i < definition.figures.size(); ++i) {
          figures.*definition.figures[i] = statement.Double(static_cast<int>(i));
        }
      } catch (const store::DbError&) {
        // This statement's figures stay unknown; the others are still measured.
      }
    }
    try {
      ReadJournal(db, range, figures);
    } catch (const store::DbError&) {
      // The journal's figures stay unknown; the others are still measured.
    }
  } catch (const store::DbError&) {
    // The file cannot be read: every figure stays unknown.
  }
  return figures;
}

std::vector<ReportRow> DailyReportRows(const DailyReportFigures& f, ReportMedium medium) {
  const bool paper = medium == ReportMedium::kPaper;
  const std::optional<double> total_quantity = Sum(f.sales_quantity, f.return_quantity);
  const std::optional<double> total_amount = Sum(f.sales_amount, f.return_amount);
  std::optional<double> profit;
  if (total_amount && f.cost) profit = *total_amount - *f.cost;
  return {
      {"销售数量", Value(f.sales_quantity)},
      {"销售金额", Value(f.sales_amount)},
      {"退货数量", Value(f.return_quantity)},
      {"退货金额", Value(f.return_amount)},
      {"进货数量", Value(f.purchase_quantity)},
      {"进货金额", Value(f.purchase_amount)},
      {"返厂数量", Value(f.supplier_return_quantity)},
      {"返厂金额", Value(f.supplier_return_amount)},
      {"盘点盈亏数量", Value(f.stocktake_quantity)},
      {paper ? "盘点盈亏金额(盈亏数量*进价)" : "盘点盈亏金额 (盈亏数量*进价)",
       Value(f.stocktake_amount)},
      {paper ? "总计数量(销售 + 退货)" : "总计数量 (销售 + 退货)", Value(total_quantity)},
      {paper ? "总计金额(销售 + 退货)" : "总计金额 (销售 + 退货)", Value(total_amount)},
      {"抹零金额", Value(f.wiped)},
      {"整单折让", Value(f.bill_discount)},
      {"成本 (总计数量*进价)", Value(f.cost)},
      {"毛利 (总计金额 - 成本)", Value(profit)},
  };
}

std::vector<std::string> DailyReportHeaderLines(const DateRange& range) {
  return {"报表时间: " + kasso::FormatTime(kasso::Now(), "%Y-%m-%d %H:%M"),
          "起始日期: " + range.start, "截止日期: " + LastChosenDay(range)};
}

std::vector<std::string> DailyReportStatements() {
  std::vector<std::string> statements;
  for (const FigureStatement& statement : FigureStatements()) statements.push_back(statement.sql);
  statements.push_back(kJournalRows);
  return statements;
}

}  // namespace reports

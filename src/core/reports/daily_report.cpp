#include "core/reports/daily_report.h"

#include <array>
#include <functional>

#include "core/common/clock.h"
#include "core/common/format.h"
#include "core/store/database.h"

namespace reports {
namespace {

// Six figures of the journal in one pass over the range instead of one pass each; each sum
// takes exactly the rows its own statement would. The type test is written "+transactiontype"
// so SQLite walks the datetime index, not every row of a type in the whole journal.
constexpr const char* kJournalFigures =
    "select "
    "sum(case when +transactiontype = '销售' and ifnull(quantity,0) >= 0 "
    "then ifnull(quantity,0) end),"
    "sum(case when +transactiontype = '销售总计' and ifnull(quantity,0) >= 0 "
    "then ifnull(actualvalue,0) end)-"
    "sum(case when +transactiontype = '销售总计' and ifnull(quantity,0) >= 0 "
    "then ifnull(valuediscount,0) end),"
    "sum(case when +transactiontype = '销售' and ifnull(quantity,0) < 0 "
    "then ifnull(quantity,0) end),"
    "sum(case when +transactiontype = '销售总计' and ifnull(quantity,0) < 0 "
    "then ifnull(actualvalue,0) end)-"
    "sum(case when +transactiontype = '销售总计' and ifnull(quantity,0) < 0 "
    "then ifnull(valuediscount,0) end),"
    "sum(case when +transactiontype = '销售总计' then ifnull(wipevalue,0) end),"
    "sum(case when +transactiontype = '销售总计' then ifnull(valuediscount,0) end) "
    "from transactiondetails where transactiondatetime >= ?1 and transactiondatetime <= ?2";

// Every journal row at the recent purchase price, whatever the cost basis of the settings.
constexpr const char* kCost =
    "select sum(ifnull(a.quantity,0)*ifnull(b.importprice,0)) from transactiondetails a "
    "left join goodsmaster b on (a.barcode = b.barcode) "
    "where a.transactiondatetime >= ?1 and a.transactiondatetime <= ?2";

constexpr const char* kPurchases =
    "select sum(ifnull(quantity,0)),sum(ifnull(importprice,0)*ifnull(quantity,0)) from importbak "
    "where confirmdate >= ?1 and confirmdate <= ?2";

constexpr const char* kSupplierReturns =
    "select sum(ifnull(quantity,0)),sum(ifnull(returnprice,0)*ifnull(quantity,0)) from returnbak "
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

const std::array<FigureStatement, 6>& FigureStatements() {
  using F = DailyReportFigures;
  static const std::array<FigureStatement, 6> statements = {{
      {kJournalFigures,
       {&F::sales_quantity, &F::sales_amount, &F::return_quantity, &F::return_amount, &F::wiped,
        &F::bill_discount}},
      {kCost, {&F::cost}},
      {kPurchases, {&F::purchase_quantity, &F::purchase_amount}},
      {kSupplierReturns, {&F::supplier_return_quantity, &F::supplier_return_amount}},
      {kStocktakeQuantity, {&F::stocktake_quantity}},
      {kStocktakeAmount, {&F::stocktake_amount}},
  }};
  return statements;
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
  return true;
}

DailyReportFigures ComputeDailyReportFigures(const DateRange& range) {
  DailyReportFigures figures;
  try {
    store::Database db;
    store::ReadTransaction read(db);
    for (const FigureStatement& spec : FigureStatements()) {
      try {
        store::Statement statement = db.Query(spec.sql, range.start, range.end);
        if (!statement.Step()) continue;
        for (std::size_t i = 0; i < spec.figures.size(); ++i) {
          figures.*spec.figures[i] = statement.Double(static_cast<int>(i));
        }
      } catch (const store::DbError&) {
        // This statement's figures stay unknown; the others are still measured.
      }
    }
  } catch (const store::DbError&) {
    // kasso.db cannot be opened: every figure stays unknown.
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
  return statements;
}

}  // namespace reports

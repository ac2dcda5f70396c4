#pragma once

// The daily business report ("营业日报表"): the figures of one date range and the sixteen rows
// printed from them.

#include <optional>
#include <string>
#include <vector>

#include "core/reports/date_range.h"
#include "core/store/database.h"

namespace reports {

// The figures the statements measure; a figure whose statement could not run is unknown
// (nullopt). A sum over no rows is 0.
struct DailyReportFigures {
  std::optional<double> sales_quantity;   // sold lines, quantity >= 0
  std::optional<double> sales_amount;     // bills with a total quantity >= 0
  std::optional<double> return_quantity;  // lines with a negative quantity
  std::optional<double> return_amount;    // bills with a negative total quantity
  std::optional<double> purchase_quantity;
  std::optional<double> purchase_amount;
  std::optional<double> supplier_return_quantity;
  std::optional<double> supplier_return_amount;
  std::optional<double> stocktake_quantity;  // counted less book
  std::optional<double> stocktake_amount;    // the difference at the recent purchase price
  std::optional<double> cost;                // every journal row at the recent price
  std::optional<double> wiped;               // cents wiped off the bills
  std::optional<double> bill_discount;       // whole-bill allowances

  // False when a statement failed and some figures are unknown.
  bool Complete() const;
};

// Measures the range. Never throws: an unreadable kasso.db leaves every figure unknown, a
// failing statement its own figures.
DailyReportFigures ComputeDailyReportFigures(const DateRange& range);
// The same over another file of the same tables (the shop server's records copied out).
DailyReportFigures ComputeDailyReportFigures(store::Database& db, const DateRange& range);

// The screen shows the labels with a blank before "(", paper without it.
enum class ReportMedium { kPreview, kPaper };

struct ReportRow {
  std::string item;   // "项目名称"
  std::string value;  // "数值": "%.2f", empty when unknown
};

// The sixteen rows in their order, totals and profit derived from the figures.
std::vector<ReportRow> DailyReportRows(const DailyReportFigures& figures, ReportMedium medium);

inline constexpr const char* kDailyReportTitle = "营业日报表";

// "报表时间: " with the time now ("%Y-%m-%d %H:%M"), "起始日期: " with the first day and
// "截止日期: " with the last day chosen (not the day after).
std::vector<std::string> DailyReportHeaderLines(const DateRange& range);

// The statements ComputeDailyReportFigures runs, for checks of their plans.
std::vector<std::string> DailyReportStatements();

}  // namespace reports

#include "core/reports/queries.h"

#include "core/common/error.h"
#include "core/lookups/settings.h"
#include "core/reports/daily_report.h"
#include "core/reports/query_specs.h"

namespace reports {
namespace {

// Binds the query's values from ?1 on and the statement's row types from kFirstTypeParameter.
void BindValues(store::Statement& statement, const std::vector<std::string>& values,
                const std::vector<std::string_view>& types) {
  for (std::size_t i = 0; i < values.size(); ++i) {
    statement.Bind(static_cast<int>(i + 1), values[i]);
  }
  for (std::size_t i = 0; i < types.size(); ++i) {
    statement.Bind(kFirstTypeParameter + static_cast<int>(i), types[i]);
  }
}

// Runs the rows and then the totals on one connection, in one read transaction so both see
// the same journal.
template <typename Prepare>
QueryResult Run(Prepare&& prepare, const std::vector<std::string>& values) {
  try {
    store::Database db;
    PrepareRangeReading(db);
    store::ReadTransaction read(db);
    const QuerySpec spec = prepare(db);
    QueryResult result(spec.columns);
    store::Statement rows = db.Query(spec.rows_sql);
    BindValues(rows, values, spec.row_types);
    while (rows.Step()) result.AppendRow(rows);
    store::Statement totals = db.Query(spec.totals_sql);
    BindValues(totals, values, spec.total_types);
    if (totals.Step()) result.SetTotals(totals, spec.total_columns);
    return result;
  } catch (const store::DbError&) {
    throw kasso::UserError("查询有误");
  }
}

QueryResult RunFixed(QuerySpec (*spec)(), const std::vector<std::string>& values) {
  return Run([spec](store::Database&) { return spec(); }, values);
}

std::vector<std::string> RangeValues(const DateRange& range) { return {range.start, range.end}; }

// The range, then the member unless every member is asked for.
std::vector<std::string> MemberValues(const DateRange& range, const std::string& member) {
  std::vector<std::string> values = RangeValues(range);
  if (member != kAllMembers) values.push_back(member);
  return values;
}

}  // namespace

QueryResult SalesJournalQuery(const DateRange& range) {
  return RunFixed(SalesJournalSpec, RangeValues(range));
}

QueryResult SalesByItemQuery(const DateRange& range) {
  return Run(
      [](store::Database& db) {
        return SalesByItemSpec(CostBasisFromSetting(servicelib::GetPriceForCost(db)));
      },
      RangeValues(range));
}

QueryResult ShiftQuery(const DateRange& range) { return RunFixed(ShiftSpec, RangeValues(range)); }

QueryResult PurchaseQuery(const DateRange& range) {
  return RunFixed(PurchaseSpec, RangeValues(range));
}

QueryResult SupplierReturnQuery(const DateRange& range) {
  return RunFixed(SupplierReturnSpec, RangeValues(range));
}

QueryResult StocktakeQuery(const std::string& confirmdate) {
  return RunFixed(StocktakeSpec, {confirmdate});
}

QueryResult DepositQuery(const DateRange& range) {
  return RunFixed(DepositSpec, RangeValues(range));
}

QueryResult MemberSalesQuery(const DateRange& range, const std::string& member) {
  const bool all = member == kAllMembers;
  return Run([all](store::Database&) { return MemberSalesSpec(all); }, MemberValues(range, member));
}

QueryResult PointsReturnQuery(const DateRange& range, const std::string& member) {
  const bool all = member == kAllMembers;
  return Run([all](store::Database&) { return PointsReturnSpec(all); },
             MemberValues(range, member));
}

std::vector<std::string> QueryStatements() {
  std::vector<QuerySpec> specs = {SalesJournalSpec(),
                                  SalesByItemSpec(CostBasis::kAveragePrice),
                                  SalesByItemSpec(CostBasis::kRecentPrice),
                                  ShiftSpec(),
                                  PurchaseSpec(),
                                  SupplierReturnSpec(),
                                  StocktakeSpec(),
                                  DepositSpec(),
                                  MemberSalesSpec(true),
                                  MemberSalesSpec(false),
                                  PointsReturnSpec(true),
                                  PointsReturnSpec(false)};
  std::vector<std::string> statements;
  for (const QuerySpec& spec : specs) {
    statements.push_back(spec.rows_sql);
    statements.push_back(spec.totals_sql);
  }
  for (const std::string& statement : DailyReportStatements()) statements.push_back(statement);
  return statements;
}

}  // namespace reports

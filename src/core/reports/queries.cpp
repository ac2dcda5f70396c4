#include "core/reports/queries.h"

#include <optional>
#include <utility>

#include "core/common/error.h"
#include "core/reports/daily_report.h"
#include "core/reports/query_definitions.h"
#include "core/settings/settings.h"

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
QueryResult RunOn(store::Database& db, Prepare&& prepare, const std::vector<std::string>& values) {
  try {
    PrepareRangeReading(db);
    store::ReadTransaction read(db);
    const QueryDefinition definition = prepare(db);
    QueryResult result(definition.columns);
    store::Statement rows = db.Query(definition.rows_sql);
    BindValues(rows, values, definition.row_types);
    while (rows.Step()) result.AppendRow(rows);
    store::Statement totals = db.Query(definition.totals_sql);
    BindValues(totals, values, definition.total_types);
    if (totals.Step()) result.SetTotals(totals, definition.total_columns);
    return result;
  } catch (const store::DbError&) {
    throw common::UserError("查询有误");
  }
}

template <typename Prepare>
QueryResult Run(Prepare&& prepare, const std::vector<std::string>& values) {
  std::optional<store::Database> db;
  try {
    db.emplace();
  } catch (const store::DbError&) {
    throw common::UserError("查询有误");
  }
  return RunOn(*db, std::forward<Prepare>(prepare), values);
}

QueryResult RunFixed(QueryDefinition (*definition)(), const std::vector<std::string>& values) {
  return Run([definition](store::Database&) { return definition(); }, values);
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
  return RunFixed(SalesJournalDefinition, RangeValues(range));
}

QueryResult SalesJournalQuery(store::Database& db, const DateRange& range) {
  return RunOn(
      db, [](store::Database&) { return SalesJournalDefinition(); }, RangeValues(range));
}

QueryResult SalesByItemQuery(const DateRange& range) {
  return Run(
      [](store::Database& db) {
        return SalesByItemDefinition(settings::LoadSettings(db).cost_basis);
      },
      RangeValues(range));
}

QueryResult ShiftQuery(const DateRange& range) {
  return RunFixed(ShiftDefinition, RangeValues(range));
}

QueryResult PurchaseQuery(const DateRange& range) {
  return RunFixed(PurchaseDefinition, RangeValues(range));
}

QueryResult SupplierReturnQuery(const DateRange& range) {
  return RunFixed(SupplierReturnDefinition, RangeValues(range));
}

QueryResult StocktakeQuery(const std::string& confirmdate) {
  return RunFixed(StocktakeDefinition, {confirmdate});
}

QueryResult DepositQuery(const DateRange& range) {
  return RunFixed(DepositDefinition, RangeValues(range));
}

QueryResult MemberSalesQuery(const DateRange& range, const std::string& member) {
  const bool all = member == kAllMembers;
  return Run([all](store::Database&) { return MemberSalesDefinition(all); },
             MemberValues(range, member));
}

QueryResult PointsReturnQuery(const DateRange& range, const std::string& member) {
  const bool all = member == kAllMembers;
  return Run([all](store::Database&) { return PointsReturnDefinition(all); },
             MemberValues(range, member));
}

std::vector<std::string> QueryStatements() {
  std::vector<QueryDefinition> definitions = {SalesJournalDefinition(),
                                              SalesByItemDefinition(CostBasis::kAveragePrice),
                                              SalesByItemDefinition(CostBasis::kRecentPrice),
                                              ShiftDefinition(),
                                              PurchaseDefinition(),
                                              SupplierReturnDefinition(),
                                              StocktakeDefinition(),
                                              DepositDefinition(),
                                              MemberSalesDefinition(true),
                                              MemberSalesDefinition(false),
                                              PointsReturnDefinition(true),
                                              PointsReturnDefinition(false)};
  std::vector<std::string> statements;
  for (const QueryDefinition& definition : definitions) {
    statements.push_back(definition.rows_sql);
    statements.push_back(definition.totals_sql);
  }
  for (const std::string& statement : DailyReportStatements()) statements.push_back(statement);
  return statements;
}

}  // namespace reports

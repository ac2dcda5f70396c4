#include "core/reports/queries.h"

#include <utility>

#include "core/common/error.h"
#include "core/reports/daily_report.h"
#include "core/reports/query_definitions.h"
#include "core/settings/settings.h"

namespace reports {
namespace {

QueryPlan FixedPlan(QueryDefinition (*definition)(), std::vector<std::string> values) {
  return {[definition](store::Database&) { return definition(); }, std::move(values)};
}

std::vector<std::string> RangeValues(const DateRange& range) { return {range.start, range.end}; }

// The range, then the member unless every member is asked for.
std::vector<std::string> MemberValues(const DateRange& range, const std::string& member) {
  std::vector<std::string> values = RangeValues(range);
  if (member != kAllMembers) values.push_back(member);
  return values;
}

}  // namespace

QueryResult RunWholeQuery(const QueryPlan& plan) {
  QueryCursor cursor(plan);
  cursor.FetchAll();
  return cursor.TakeResult();
}

QueryResult RunWholeQuery(store::Database& db, const QueryPlan& plan) {
  QueryCursor cursor(plan, db);
  cursor.FetchAll();
  return cursor.TakeResult();
}

QueryPlan SalesJournalPlan(const DateRange& range) {
  return FixedPlan(SalesJournalDefinition, RangeValues(range));
}

QueryPlan SalesByItemPlan(const DateRange& range) {
  return {[](store::Database& db) {
            return SalesByItemDefinition(settings::LoadSettings(db).cost_basis);
          },
          RangeValues(range)};
}

QueryPlan ShiftPlan(const DateRange& range) {
  return FixedPlan(ShiftDefinition, RangeValues(range));
}

QueryPlan PurchasePlan(const DateRange& range) {
  return FixedPlan(PurchaseDefinition, RangeValues(range));
}

QueryPlan SupplierReturnPlan(const DateRange& range) {
  return FixedPlan(SupplierReturnDefinition, RangeValues(range));
}

QueryPlan StocktakePlan(const std::string& confirmdate) {
  return FixedPlan(StocktakeDefinition, {confirmdate});
}

QueryPlan DepositPlan(const DateRange& range) {
  return FixedPlan(DepositDefinition, RangeValues(range));
}

QueryPlan MemberSalesPlan(const DateRange& range, const std::string& member) {
  const bool all = member == kAllMembers;
  return {[all](store::Database&) { return MemberSalesDefinition(all); },
          MemberValues(range, member)};
}

QueryPlan PointsReturnPlan(const DateRange& range, const std::string& member) {
  const bool all = member == kAllMembers;
  return {[all](store::Database&) { return PointsReturnDefinition(all); },
          MemberValues(range, member)};
}

QueryResult SalesJournalQuery(const DateRange& range) {
  return RunWholeQuery(SalesJournalPlan(range));
}
QueryResult SalesJournalQuery(store::Database& db, const DateRange& range) {
  return RunWholeQuery(db, SalesJournalPlan(range));
}
QueryResult SalesByItemQuery(const DateRange& range) {
  return RunWholeQuery(SalesByItemPlan(range));
}
QueryResult ShiftQuery(const DateRange& range) { return RunWholeQuery(ShiftPlan(range)); }
QueryResult PurchaseQuery(const DateRange& range) { return RunWholeQuery(PurchasePlan(range)); }
QueryResult SupplierReturnQuery(const DateRange& range) {
  return RunWholeQuery(SupplierReturnPlan(range));
}
QueryResult StocktakeQuery(const std::string& confirmdate) {
  return RunWholeQuery(StocktakePlan(confirmdate));
}
QueryResult DepositQuery(const DateRange& range) { return RunWholeQuery(DepositPlan(range)); }
QueryResult MemberSalesQuery(const DateRange& range, const std::string& member) {
  return RunWholeQuery(MemberSalesPlan(range, member));
}
QueryResult PointsReturnQuery(const DateRange& range, const std::string& member) {
  return RunWholeQuery(PointsReturnPlan(range, member));
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

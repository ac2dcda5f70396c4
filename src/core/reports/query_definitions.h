#pragma once

// The statements of the queries, built from fixed pieces only: the date range, a member, a
// stocktake and the journal's row types are bound values (?1 start, ?2 end, ?3 the member;
// ?1 the stocktake's key; ?4 and ?5 the row types). Every journal statement filters on the
// datetime range through its index: the type filter is written "+a.transactiontype", which
// keeps SQLite from preferring the type index (that would read every row of the type in the
// whole journal) without changing what matches.

#include <string>
#include <string_view>
#include <vector>

#include "core/reports/query_result.h"
#include "core/settings/settings.h"
#include "core/store/database.h"

namespace reports {

// The first parameter number of the journal's row types in a statement.
inline constexpr int kFirstTypeParameter = 4;

struct QueryDefinition {
  std::vector<QueryColumn> columns;
  std::string rows_sql;
  std::string totals_sql;
  std::vector<int> total_columns;  // the column each total goes under, in select order
  // The row types each statement binds from kFirstTypeParameter on.
  std::vector<std::string_view> row_types;
  std::vector<std::string_view> total_types;
};

// Sets up a connection that reads a long range: a 64 MB page cache and memory-mapped reads,
// so a year of the journal is read without a system call per page.
void PrepareRangeReading(store::Database& db);

using CostBasis = settings::CostBasis;

QueryDefinition SalesJournalDefinition();
QueryDefinition SalesByItemDefinition(CostBasis basis);
QueryDefinition ShiftDefinition();
QueryDefinition PurchaseDefinition();
QueryDefinition SupplierReturnDefinition();
QueryDefinition StocktakeDefinition();
QueryDefinition DepositDefinition();
// all_members: every member's sales (anonymous ones left out); otherwise the member ?3.
QueryDefinition MemberSalesDefinition(bool all_members);
QueryDefinition PointsReturnDefinition(bool all_members);

}  // namespace reports

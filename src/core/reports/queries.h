#pragma once

// The query list's queries: sales journal, sales by item, shifts, purchases, returns to
// suppliers, one stocktake, stored-value top-ups, member sales and points redemptions. Each
// returns its columns, its rows and the "总计" row computed by its own sum statement.

#include <string>
#include <string_view>
#include <vector>

#include "core/reports/date_range.h"
#include "core/reports/member_names.h"
#include "core/reports/query_cursor.h"
#include "core/reports/query_result.h"
#include "core/store/database.h"

namespace reports {

// What each query runs, for a QueryCursor that reads it a piece at a time.
QueryPlan SalesJournalPlan(const DateRange& range);
QueryPlan SalesByItemPlan(const DateRange& range);
QueryPlan ShiftPlan(const DateRange& range);
QueryPlan PurchasePlan(const DateRange& range);
QueryPlan SupplierReturnPlan(const DateRange& range);
QueryPlan StocktakePlan(const std::string& confirmdate);
QueryPlan DepositPlan(const DateRange& range);
QueryPlan MemberSalesPlan(const DateRange& range, const std::string& member);
QueryPlan PointsReturnPlan(const DateRange& range, const std::string& member);

// The whole query at once: every row, then the totals; on kasso.db or on the given file.
QueryResult RunWholeQuery(const QueryPlan& plan);
QueryResult RunWholeQuery(store::Database& db, const QueryPlan& plan);

// The whole queries, each a QueryCursor read to its end.

// Each throws common::UserError("查询有误") when kasso.db cannot be read.
QueryResult SalesJournalQuery(const DateRange& range);
// The same over another file of the same tables (the shop server's journal copied out).
QueryResult SalesJournalQuery(store::Database& db, const DateRange& range);
// Sold lines by item, largest sales first; cost by the settings' basis (priceforcost).
QueryResult SalesByItemQuery(const DateRange& range);
QueryResult ShiftQuery(const DateRange& range);
QueryResult PurchaseQuery(const DateRange& range);
QueryResult SupplierReturnQuery(const DateRange& range);
// The stocktake verified at confirmdate.
QueryResult StocktakeQuery(const std::string& confirmdate);
QueryResult DepositQuery(const DateRange& range);
// member: kAllMembers or one memberid.
QueryResult MemberSalesQuery(const DateRange& range, const std::string& member);
QueryResult PointsReturnQuery(const DateRange& range, const std::string& member);

// Every statement the queries and the daily report run, once per variant of their fixed
// pieces, so a check can see how SQLite plans each one.
std::vector<std::string> QueryStatements();

}  // namespace reports

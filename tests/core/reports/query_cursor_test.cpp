// The query read a piece at a time: every row and the totals of the whole query, however
// small the pieces.

#include "core/reports/query_cursor.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "core/common/format.h"
#include "core/reports/queries.h"
#include "support/test_database.h"

namespace {

class QueryCursorTest : public testing_support::TestDatabase {
 protected:
  // n bills on 2024-05-01, each a "销售" line and its "销售总计" row, amounts that do not add
  // up to round figures; returns the bills' amount, summed here and not by the till.
  double AddBills(int n) {
    store::Database db = Open();
    store::Transaction tx(db);
    store::Statement insert = db.Query(
        "insert into transactiondetails (transactionnumber,transactiontype,transactiondatetime,"
        "quantity,price,actualvalue,valuediscount,discountvalue,paid,change,barcode) "
        "values (?,?,?,?,?,?,?,?,?,?,'1')");
    double amount = 0;
    for (int i = 0; i < n; ++i) {
      char when[32];
      std::snprintf(when, sizeof when, "2024-05-01 %02d:%02d:%02d", i / 3600 % 24, i / 60 % 60,
                    i % 60);
      const double value = 1.01 + (i % 97) * 0.37;
      const double discount = (i % 5) * 0.1;
      insert.BindAll(i + 1, "销售", std::string(when), 1.0, value, value, 0.0, 0.0, 0.0, 0.0);
      insert.Run();
      insert.Reset();
      insert.BindAll(i + 1, "销售总计", std::string(when), 1.0, 0.0, value, discount, 0.0, value,
                     0.0);
      insert.Run();
      insert.Reset();
      amount += value - discount;
    }
    tx.Commit();
    return amount;
  }

  static std::vector<std::string> Row(const reports::QueryResult& result, std::size_t row) {
    std::vector<std::string> texts;
    for (std::size_t column = 0; column < result.ColumnCount(); ++column) {
      texts.push_back(result.Text(row, column));
    }
    return texts;
  }

  const reports::DateRange day_ = reports::MakeDateRange({2024, 5, 1}, {2024, 5, 1});
};

TEST_F(QueryCursorTest, PiecesGiveEveryRowAndTheTotalsOfTheWholeQueryAfterTheLastRow) {
  const double amount = AddBills(1500);
  reports::QueryCursor cursor(reports::SalesJournalPlan(day_));
  EXPECT_EQ(cursor.result().ResultRows(), 0u);  // nothing read before it is asked for
  std::size_t pieces = 0;
  while (!cursor.done()) {
    const std::size_t read = cursor.Fetch(7);
    EXPECT_LE(read, 7u);
    EXPECT_EQ(cursor.HasTotals(), cursor.done());  // the totals come after the last row
    ++pieces;
  }
  EXPECT_EQ(pieces, 3000u / 7 + 1);
  EXPECT_EQ(cursor.Fetch(7), 0u);
  const reports::QueryResult pieced = cursor.TakeResult();
  ASSERT_EQ(pieced.ResultRows(), 3000u);
  const std::vector<std::string> totals = Row(pieced, 3000);
  EXPECT_EQ(totals[0], "总计");
  EXPECT_EQ(totals[4], "1500.000");  // the bills' quantities only, not their lines too
  EXPECT_EQ(totals[6], common::Fixed(amount, 2));
  EXPECT_EQ(totals[13], common::Fixed(amount + 1500 * 0.2, 2));  // paid, before the discount

  // Read at once, the query gives the same rows and figures.
  const reports::QueryResult whole = reports::SalesJournalQuery(day_);
  ASSERT_EQ(whole.RowCount(), pieced.RowCount());
  for (std::size_t row = 0; row < whole.RowCount(); ++row) {
    EXPECT_EQ(Row(pieced, row), Row(whole, row)) << row;
  }
}

TEST_F(QueryCursorTest, AMissingDatabaseIsRefusedBeforeAnyRow) {
  std::filesystem::remove(store::DatabasePath());
  EXPECT_EQ(testing_support::ErrorOf(
                [&] { reports::QueryCursor cursor(reports::SalesJournalPlan(day_)); }),
            "查询有误");
}

}  // namespace

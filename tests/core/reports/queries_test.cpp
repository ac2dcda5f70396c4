#include "core/reports/queries.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/backoffice/members/points_feedback.h"
#include "core/common/format.h"
#include "core/reports/daily_report.h"
#include "core/sale/record_lists.h"
#include "core/sale/till_duties.h"
#include "report_fixture.h"

namespace {

using report_testing::At;
using report_testing::Days;
using Texts = std::vector<std::string>;

Texts Row(const reports::QueryResult& result, std::size_t row) {
  Texts texts;
  for (std::size_t column = 0; column < result.ColumnCount(); ++column) {
    texts.push_back(result.Text(row, column));
  }
  return texts;
}

Texts TotalRow(const reports::QueryResult& result) { return Row(result, result.RowCount() - 1); }

Texts Cells(const reports::QueryResult& result, std::size_t column) {
  Texts texts;
  for (std::size_t row = 0; row < result.ResultRows(); ++row) {
    texts.push_back(result.Text(row, column));
  }
  return texts;
}

class QueriesTest : public report_testing::ReportFixture {
 protected:
  void SetUp() override {
    ReportFixture::SetUp();
    AddMember({"M1", "张三"});
    AddMember({"M2", "李四"});
  }
};

TEST_F(QueriesTest, RangeHoldsTheWholeLastDayButNotTheNextMidnightAndEmptyRangesTotalZero) {
  SellAt(At(4, 30, 23, 59, 59), {"2"});
  SellAt(At(5, 1, 0, 0, 0), {"1"});
  SellAt(At(5, 1, 23, 59, 59), {"1", "2"});
  SellAt(At(5, 2, 0, 0, 0), {"2"});
  const reports::QueryResult day = reports::SalesJournalQuery(Days(5, 1, 1));
  EXPECT_EQ(Cells(day, 12),
            (Texts{"2024-05-01 00:00:00", "2024-05-01 00:00:00", "2024-05-01 23:59:59",
                   "2024-05-01 23:59:59", "2024-05-01 23:59:59"}));
  EXPECT_EQ(Cells(day, 1), (Texts{"销售", "销售总计", "销售", "销售", "销售总计"}));
  EXPECT_EQ(Cells(reports::SalesJournalQuery(Days(5, 2, 2)), 12),
            (Texts{"2024-05-02 00:00:00", "2024-05-02 00:00:00"}));
  // The range's texts: the day after the last one, across month and year ends.
  const std::vector<std::pair<reports::Day, std::string>> ends = {
      {{2024, 2, 28}, "2024-02-29"}, {{2023, 2, 28}, "2023-03-01"}, {{2024, 12, 31}, "2025-01-01"}};
  for (const auto& [last, end] : ends) {
    const reports::DateRange range = reports::MakeDateRange({2023, 1, 5}, last);
    EXPECT_EQ(range.start + " " + range.end + " " + reports::LastChosenDay(range),
              "2023-01-05 " + end + " " + reports::DayText(last));
  }
  SellAt(At(5, 1, 9), {"1"});
  const reports::DateRange june = Days(6, 1, 30);
  const std::vector<std::pair<std::function<reports::QueryResult()>, Texts>> cases = {
      {[&] { return reports::SalesJournalQuery(june); },
       {"总计", "", "", "", "0.000", "", "0.00", "", "0.00", "0.00", "0.00", "0.00", "", "0.00",
        "0.00", "0.00", "0.00", "0.00", ""}},
      {[&] { return reports::ShiftQuery(june); },
       {"总计", "", "", "0", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00", "0.00",
        "0.00"}},
      {[&] { return reports::PurchaseQuery(june); }, {"总计", "", "0.00", "", "0.00", ""}},
      {[&] { return reports::StocktakeQuery("2024-06-01 00:00:00"); },
       {"总计", "", "0.000", "0.000", "0.000", ""}},
      {[&] { return reports::PointsReturnQuery(june, "全部"); },
       {"总计", "", "", "", "", "0.00", "", "0.00", "0.00", "", ""}},
  };
  for (const auto& [query, total] : cases) {
    const reports::QueryResult result = query();
    EXPECT_EQ(result.RowCount(), 1u);
    EXPECT_EQ(TotalRow(result), total);
  }
}

TEST_F(QueriesTest, JournalListsEveryRowButTotalsOnlyTheBillTotals) {
  SellAt(At(5, 1, 9), {"1", "*3", "2"});        // 30.00 + 3.00
  SellAt(At(5, 1, 10), {"2", "\\2.50"}, "M1");  // a price cut of 0.50, for a member
  common::SetFixedClock(At(5, 1, 11));
  sale::BookPettyCash(100, "0");
  const reports::QueryResult journal = reports::SalesJournalQuery(Days(5, 1, 1));
  EXPECT_EQ(Cells(journal, 1), (Texts{"销售", "销售", "销售总计", "销售", "销售总计", "备用金"}));
  EXPECT_EQ(Row(journal, 0), (Texts{"1", "销售", "1", "面包", "3.000", "10.00", "30.00", "1.000",
                                    "0.00", "0.00", "0.00", "0.00", "2024-05-01 09:00:00", "0.00",
                                    "0.00", "0.00", "0.00", "0.00", ""}));
  EXPECT_EQ(Row(journal, 3)[18], "张三");
  EXPECT_EQ(Row(journal, 5)[6], "100.00");  // the petty cash is listed, not totalled
  EXPECT_EQ(TotalRow(journal),
            (Texts{"总计", "", "", "", "5.000", "", "35.50", "", "0.00", "0.00", "0.00", "0.50", "",
                   "35.50", "0.00", "0.00", "0.00", "0.00", ""}));
  for (std::size_t column = 0; column < journal.ColumnCount(); ++column) {
    const reports::QueryColumn& heading = journal.columns()[column];
    EXPECT_EQ(heading.align,
              journal.IsNumber(column) ? reports::Align::kRight : reports::Align::kCenter)
        << heading.title;
  }
}

TEST_F(QueriesTest, MemberSalesLeaveOutTheOrdinaryCustomerAndEveryStatementSearchesItsDateIndex) {
  SellAt(At(5, 1, 9), {"1"});
  SellAt(At(5, 1, 10), {"1", "*2", "2"}, "M1");
  SellAt(At(5, 1, 11), {"2"}, "M2");
  SellAt(At(5, 1, 12), {"1"}, "M1");
  Open().Exec("update transactiondetails set memberid = null where transactionnumber = 1");
  const reports::QueryResult all = reports::MemberSalesQuery(Days(5, 1, 1), "全部");
  EXPECT_EQ(Cells(all, 0), (Texts{"张三", "张三", "李四"}));
  EXPECT_EQ(Row(all, 0), (Texts{"张三", "1", "面包", "3.00", "30.00"}));
  EXPECT_EQ(TotalRow(all), (Texts{"总计", "", "", "5.00", "36.00"}));
  const reports::QueryResult one = reports::MemberSalesQuery(Days(5, 1, 1), "M2");
  EXPECT_EQ(Row(one, 0), (Texts{"李四", "2", "牛奶", "1.00", "3.00"}));
  EXPECT_EQ(TotalRow(one), (Texts{"总计", "", "", "1.00", "3.00"}));
  // A query costs what its range holds, not what the journal holds: no statement may walk a
  // whole table, and each must search by its date.
  std::vector<std::string> statements = reports::QueryStatements();
  statements.emplace_back(sale::StocktakeListStatement());
  ASSERT_GE(statements.size(), 30u);
  store::Database db = Open();
  for (const std::string& sql : statements) {
    store::Statement plan = db.Query("explain query plan " + sql);
    std::string details;
    while (plan.Step()) details += plan.Text(3) + "\n";
    EXPECT_EQ(details.find("SCAN "), std::string::npos) << sql << "\n" << details;
    EXPECT_TRUE(details.find("_date_idx (") != std::string::npos ||
                details.find("_datetime_idx (") != std::string::npos)
        << sql << "\n"
        << details;
  }
  std::filesystem::remove(store::DatabasePath());
  EXPECT_EQ(testing_support::ErrorOf([] { reports::SalesJournalQuery(Days(5, 1, 1)); }),
            "查询有误");
  const reports::DailyReportFigures figures = reports::ComputeDailyReportFigures(Days(5, 1, 1));
  EXPECT_FALSE(figures.Complete());
  for (const reports::ReportRow& row :
       reports::DailyReportRows(figures, reports::ReportMedium::kPreview)) {
    EXPECT_EQ(row.value, "") << row.item;
  }
}

TEST_F(QueriesTest, SalesByItemCostsFollowTheSettingAndAnUnboughtItemCostsNothing) {
  SellAt(At(5, 1, 9), {"2", "*4", "1"});  // 12.00 of milk, 10.00 of bread
  SellAt(At(5, 1, 10), {"1"});
  Open().Exec("update management set priceforcost = 'recentprice'");
  const reports::QueryResult recent = reports::SalesByItemQuery(Days(5, 1, 1));
  EXPECT_EQ(Row(recent, 0),
            (Texts{"1", "面包", "2.00", "20.00", "0.00", "0.00", "0.00", "12.00", "8.00"}));
  EXPECT_EQ(Row(recent, 1),
            (Texts{"2", "牛奶", "4.00", "12.00", "0.00", "0.00", "0.00", "0.00", "12.00"}));
  EXPECT_EQ(TotalRow(recent),
            (Texts{"总计", "", "6.00", "32.00", "0.00", "0.00", "0.00", "12.00", "20.00"}));
  Open().Exec("update management set priceforcost = 'averageprice'");
  const reports::QueryResult average = reports::SalesByItemQuery(Days(5, 1, 1));
  EXPECT_EQ(Cells(average, 7), (Texts{"10.00", "8.00"}));
  EXPECT_EQ(TotalRow(average)[8], "14.00");
  // Milk alone, never bought: the profit total is its whole amount, not empty.
  Open().Exec("update management set priceforcost = 'recentprice'");
  Open().Exec("delete from transactiondetails where barcode = '1'");
  EXPECT_EQ(TotalRow(reports::SalesByItemQuery(Days(5, 1, 1)))[8], "12.00");
}

TEST_F(QueriesTest, SalesByItemKeepsEachDeletedGoodsApartUnderItsOwnBarcode) {
  AddGoods({"3", "苹果", 4.00, 4.00});
  AddGoods({"4", "香蕉", 2.50, 2.50});
  SellAt(At(5, 1, 9), {"3", "*2", "4", "1"});
  Open().Exec("delete from goodsmaster where barcode in ('3','4')");
  const reports::QueryResult items = reports::SalesByItemQuery(Days(5, 1, 1));
  EXPECT_EQ(Cells(items, 0), (Texts{"1", "3", "4"}));
  EXPECT_EQ(Cells(items, 1), (Texts{"面包", "", ""}));
  EXPECT_EQ(Cells(items, 2), (Texts{"1.00", "2.00", "1.00"}));
  EXPECT_EQ(Cells(items, 3), (Texts{"10.00", "8.00", "2.50"}));
}

TEST_F(QueriesTest, RedemptionAmountsAreWhatWasCreditedAndAddUpToTheBalanceChange) {
  AddMember({.memberid = "M3", .name = "王五", .depositmode = "是"});  // 100.00, 12.5 points
  common::SetFixedClock(At(5, 1, 9));
  const auto rebate = [](const char* rate, const char* points) {
    backoffice::RedeemPoints({"M3", backoffice::kRebate, "", "", rate, points, "0"});
  };
  for (int i = 0; i < 3; ++i) rebate("0.5", "1.01");  // 0.505 each, credited 0.51
  rebate("0.15", "0.1");                              // 0.015, credited 0.02
  const reports::QueryResult rebates = reports::PointsReturnQuery(Days(5, 1, 1), "M3");
  EXPECT_EQ(Cells(rebates, 7), (Texts{"0.51", "0.51", "0.51", "0.02"}));
  EXPECT_EQ(TotalRow(rebates)[7], "1.55");
  EXPECT_EQ(common::Money(Number("select depositvalue from membermaster where memberid = 'M3'")),
            "101.55");
}

TEST_F(QueriesTest, BackOfficeListsPutTheirTotalsUnderTheirColumns) {
  SellAt(At(5, 1, 9), {"1", "*2"});
  common::SetFixedClock(At(5, 1, 20));
  sale::CloseShift("0");
  VerifyStocktakeAt(At(5, 1, 21), "1", 98, 96);
  VerifyStocktakeAt(At(5, 3, 21), "2", 100, 101);
  store::Database db = Open();
  db.ExecScript(
      "insert into importbak values ('1',10,6,60,'2024-05-01 08:00:00');"
      // The amount booked counts (3 for 10.00 at 3.33); a line without one, as older
      // versions verified them, costs quantity × price.
      "insert into importbak values ('2',5,2,null,'2024-05-02 08:00:00');"
      "insert into importbak values ('1',3,3.33,10,'2024-05-02 09:00:00');"
      "insert into returnbak values ('2',2,'2024-05-01 08:30:00',1.5,null);"
      "insert into returnbak values ('1',3,'2024-05-02 08:30:00',3.33,10);"
      "insert into depositbak values ('M1',50,'2024-05-01 09:00:00');"
      "insert into pointsreturn values ('M1','返利','',0,0.5,100,'0','2024-05-01 10:00:00');"
      "insert into pointsreturn values ('M2','赠品','2',2,0,30,'0','2024-05-01 11:00:00');");
  const reports::DateRange may = Days(5, 1, 2);
  const reports::QueryResult shifts = reports::ShiftQuery(may);
  EXPECT_EQ(Row(shifts, 0)[2], "管理员");
  EXPECT_EQ(TotalRow(shifts), (Texts{"总计", "", "", "1", "2.00", "20.00", "0.00", "0.00", "0.00",
                                     "0.00", "20.00", "0.00", "0.00", "0.00"}));
  EXPECT_EQ(Row(reports::PurchaseQuery(may), 1),
            (Texts{"2", "牛奶", "5.00", "2.00", "10.00", "2024-05-02 08:00:00"}));
  EXPECT_EQ(Row(reports::PurchaseQuery(may), 2)[4], "10.00");
  EXPECT_EQ(TotalRow(reports::PurchaseQuery(may)), (Texts{"总计", "", "18.00", "", "80.00", ""}));
  EXPECT_EQ(TotalRow(reports::SupplierReturnQuery(may)),
            (Texts{"总计", "", "5.00", "", "13.00", ""}));
  EXPECT_EQ(Row(reports::DepositQuery(may), 0),
            (Texts{"M1", "张三", "50.00", "2024-05-01 09:00:00"}));
  EXPECT_EQ(TotalRow(reports::PointsReturnQuery(may, "全部")),
            (Texts{"总计", "", "", "", "", "2.00", "", "50.00", "130.00", "", ""}));
  EXPECT_EQ(Row(reports::PointsReturnQuery(may, "M2"), 0),
            (Texts{"M2", "李四", "赠品", "2", "牛奶", "2.00", "0.00", "0.00", "30.00", "管理员",
                   "2024-05-01 11:00:00"}));
  // The stocktakes of the range to choose from, then the one chosen.
  const sale::RecordList stocktakes = sale::LoadStocktakeList(may.start, Days(5, 3, 3).end);
  EXPECT_EQ(stocktakes.rows,
            (std::vector<Texts>{{"98.000", "96.000", "-2.000", "2024-05-01 21:00:00"},
                                {"100.000", "101.000", "1.000", "2024-05-03 21:00:00"}}));
  EXPECT_EQ(stocktakes.keys, (Texts{"2024-05-01 21:00:00", "2024-05-03 21:00:00"}));
  const reports::QueryResult stocktake = reports::StocktakeQuery(stocktakes.keys[1]);
  EXPECT_EQ(Row(stocktake, 0),
            (Texts{"2", "牛奶", "100.000", "101.000", "1.000", "2024-05-03 21:00:00"}));
  EXPECT_EQ(stocktake.RowCount(), 2u);
}

}  // namespace

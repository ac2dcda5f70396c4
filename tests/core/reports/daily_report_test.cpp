#include "core/reports/daily_report.h"

#include <gtest/gtest.h>

#include "report_fixture.h"

namespace {

using report_testing::At;
using report_testing::Days;
using Texts = std::vector<std::string>;

class DailyReportTest : public report_testing::ReportFixture {
 protected:
  Texts Values(const reports::DateRange& range) {
    Texts values;
    for (const reports::ReportRow& row : reports::DailyReportRows(
             reports::ComputeDailyReportFigures(range), reports::ReportMedium::kPreview)) {
      values.push_back(row.value);
    }
    return values;
  }
};

TEST_F(DailyReportTest, SalesReturnsAndAStocktakeLossGiveTheReportRows) {
  AddGoods({"3", "鸡蛋", 1.00, 1.00});
  Open().ExecScript(
      "update goodsmaster set importprice = 5 where barcode = '3';"
      "insert into inventory (barcode,quantity) values ('3',10)");
  SellAt(At(5, 1, 9), {"1", "*3"});             // 3 sold at 10.00
  SellAt(At(5, 1, 10), {"1", "*-1"});           // 1 returned: a bill with a negative total
  VerifyStocktakeAt(At(5, 1, 18), "3", 10, 8);  // 2 eggs lost, bought at 5.00
  SellAt(At(5, 2, 9), {"1"});                   // the next day stays out
  // Cost: 2 loaves net at the recent price 6.00, whatever the cost basis says.
  EXPECT_EQ(Values(Days(5, 1, 1)),
            (Texts{"3.00", "30.00", "-1.00", "-10.00", "0.00", "0.00", "0.00", "0.00", "-2.00",
                   "-10.00", "2.00", "20.00", "0.00", "0.00", "12.00", "8.00"}));
  EXPECT_EQ(Values(Days(5, 1, 2))[0], "4.00");
}

TEST_F(DailyReportTest, WipesAllowancesPurchasesAndReturnsToSuppliersAreSummed) {
  common::SetFixedClock(At(5, 1, 9));
  Enter("2", "*3", "1");  // 19.00 less an allowance of 2.00
  ASSERT_TRUE(
      sale::CommitSale(sale_, {.due = 19.00, .cash = 17.00, .allowance = 2.00}, ui_).committed);
  Enter("2", "\\2.65");  // 2.65, its 0.65 wiped off
  ASSERT_TRUE(sale::CommitSale(sale_, {.due = 2.00, .cash = 2.00, .wipe = 0.65}, ui_).committed);
  Open().ExecScript(
      "insert into importbak values ('1',10,6,60,'2024-05-01 08:00:00');"
      "insert into importbak values ('1',3,3.33,10,'2024-05-01 08:10:00');"
      "insert into importbak values ('2',1,2,null,'2024-05-01 08:20:00');"
      "insert into returnbak values ('2',2,'2024-05-01 08:30:00',1.5,null);"
      "insert into returnbak values ('1',3,'2024-05-01 08:40:00',3.33,10);");
  const Texts values = Values(Days(5, 1, 1));
  EXPECT_EQ(values[1], "19.00");  // 19.00 - 2.00 + 2.65 - 0.65
  // The amounts booked (10.00, not 3 × 3.33); a line without one costs quantity × price.
  EXPECT_EQ(Texts(values.begin() + 4, values.begin() + 8),
            (Texts{"14.00", "72.00", "5.00", "13.00"}));
  EXPECT_EQ(Texts(values.begin() + 12, values.begin() + 14), (Texts{"0.65", "2.00"}));
}

// The cost joins every line to its goods: a barcode of two goods rows counts both prices, a
// line of unknown goods counts nothing, in a shop of few goods and of many alike.
TEST_F(DailyReportTest, CostCountsEveryGoodsRowAndTheHeaderNamesTheChosenDays) {
  SellAt(At(5, 1, 9), {"1", "*2", "2"});
  Open().ExecScript(
      "insert into goodsmaster (barcode,goodsname,importprice) values ('1','面包(旧)',1.5);"
      "update transactiondetails set barcode = 'gone' where barcode = '2'");
  EXPECT_EQ(Values(Days(5, 1, 1))[14], "15.00");  // 2 * (6.00 + 1.50)
  for (int i = 0; i < 30; ++i) AddGoods({"x" + std::to_string(i), "其他", 1, 1});
  EXPECT_EQ(Values(Days(5, 1, 1))[14], "15.00");
  common::SetFixedClock(common::MakeTime(2024, 6, 3, 8, 5, 59));
  const reports::DateRange range = reports::MakeDateRange({2024, 5, 1}, {2024, 5, 31});
  EXPECT_EQ(reports::DailyReportHeaderLines(range),
            (Texts{"报表时间: 2024-06-03 08:05", "起始日期: 2024-05-01", "截止日期: 2024-05-31"}));
  const reports::DailyReportFigures figures = reports::ComputeDailyReportFigures(range);
  EXPECT_TRUE(figures.Complete());
  const auto preview = reports::DailyReportRows(figures, reports::ReportMedium::kPreview);
  const auto paper = reports::DailyReportRows(figures, reports::ReportMedium::kPaper);
  ASSERT_EQ(preview.size(), 16u);
  EXPECT_EQ(preview[9].item, "盘点盈亏金额 (盈亏数量*进价)");
  EXPECT_EQ(paper[9].item, "盘点盈亏金额(盈亏数量*进价)");
}

}  // namespace

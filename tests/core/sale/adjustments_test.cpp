// Quantity, price and discount commands typed at the till for the ordinary customer.

#include <gtest/gtest.h>

#include "sale_fixture.h"

namespace {

using sale::EntryOutcome;

class SaleAdjustmentTest : public sale_testing::SaleFixture {
 protected:
  void SetUp() override {
    SaleFixture::SetUp();
    AddGoods({"1", "面包", 10.0, 9.0});
    AddGoods({"2", "牛奶", 3.5, 3.0});
    Enter("1");
  }
};

TEST_F(SaleAdjustmentTest, DiscountIsTypedInTenths) {
  EXPECT_EQ(Enter("/8.5").outcome, EntryOutcome::kDone);
  EXPECT_EQ(Column(0, sale::kFrontRate), "0.85");
  EXPECT_EQ(Column(0, sale::kRate), "0.85");
  EXPECT_EQ(Column(0, sale::kMemberRate), "1.00");
  EXPECT_EQ(Column(0, sale::kAmount), "8.50");
  EXPECT_EQ(Column(0, sale::kDiscountAmount), "1.50");
  EXPECT_EQ(sale_.total_caption, "总计: 8.50");

  Enter("/10");
  EXPECT_EQ(Column(0, sale::kRate), "1.00");
  EXPECT_EQ(Column(0, sale::kAmount), "10.00");
  EXPECT_TRUE(ui_.messages.empty());

  EXPECT_EQ(Enter("/11").outcome, EntryOutcome::kKeepEntry);
  EXPECT_EQ(Enter("/85").outcome, EntryOutcome::kKeepEntry);
  EXPECT_EQ(Column(0, sale::kRate), "1.00");
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{"折扣率有误", "折扣率有误"}));
}

TEST_F(SaleAdjustmentTest, ItemDiscountTouchesTheSelectedLineBillDiscountEveryLine) {
  Enter("2");
  sale_.selected = 0;
  Enter("/9");
  EXPECT_EQ(Column(0, sale::kRate), "0.90");
  EXPECT_EQ(Column(1, sale::kRate), "1.00");

  Enter("%8");
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(Column(i, sale::kFrontRate), "0.80");
    EXPECT_EQ(Column(i, sale::kRate), "0.80");
  }
  EXPECT_EQ(Column(1, sale::kAmount), "2.80");
  EXPECT_EQ(sale_.total_caption, "总计: 10.80");
}

TEST_F(SaleAdjustmentTest, QuantityChangeRecomputesWithPriceAndRate) {
  Enter("/9");
  Enter("*2.555");
  EXPECT_EQ(Column(0, sale::kQuantity), "2.56");
  EXPECT_EQ(Column(0, sale::kAmount), "23.04");
  EXPECT_EQ(Column(0, sale::kDiscountAmount), "2.56");
  EXPECT_EQ(sale_.total_caption, "总计: 23.04");
}

TEST_F(SaleAdjustmentTest, LargeQuantityIsAskedAbout) {
  size_t shown = display_.shown.size();
  ui_.yes_no = {false};
  EXPECT_EQ(Enter("*20000").outcome, EntryOutcome::kDone);  // No empties the entry
  EXPECT_EQ(ui_.questions, std::vector<std::string>{"数量超过10000,真的要修改吗?"});
  EXPECT_EQ(Column(0, sale::kQuantity), "1.00");
  EXPECT_EQ(display_.shown.size(), shown);  // and totals nothing

  ui_.yes_no = {true};
  Enter("*20000");
  EXPECT_EQ(Column(0, sale::kQuantity), "20000.00");
  EXPECT_EQ(Column(0, sale::kAmount), "200000.00");

  Enter("*10000");  // 10000 itself is not asked about
  EXPECT_EQ(ui_.questions.size(), 2u);
}

TEST_F(SaleAdjustmentTest, PriceAboveTheSalesPriceLeavesTheSalesPrice) {
  Enter("\\12");
  EXPECT_EQ(Column(0, sale::kFrontPrice), "12.00");
  EXPECT_EQ(Column(0, sale::kPrice), "10.00");
  EXPECT_EQ(Column(0, sale::kAmount), "10.00");

  Enter("/8");
  Enter("\\7.5");
  EXPECT_EQ(Column(0, sale::kFrontPrice), "7.50");
  EXPECT_EQ(Column(0, sale::kPrice), "7.50");
  EXPECT_EQ(Column(0, sale::kAmount), "6.00");
  EXPECT_EQ(Column(0, sale::kDiscountAmount), "1.50");
}

TEST_F(SaleAdjustmentTest, WithoutASelectedLineNoLineChanges) {
  Enter("\\5");  // the ordinary customer's member pricing drops this front price later
  ASSERT_EQ(Column(0, sale::kPrice), "5.00");
  std::vector<sale::SaleLine> before = sale_.lines;
  sale_.selected = -1;

  Enter("*5");
  Enter("\\1");
  EXPECT_EQ(Line(0).columns, before[0].columns);

  // The item discount changes no line itself but still reprices all of them.
  Enter("/8");
  EXPECT_EQ(Column(0, sale::kFrontRate), "1.00");
  EXPECT_EQ(Column(0, sale::kPrice), "10.00");
  EXPECT_EQ(Column(0, sale::kAmount), "10.00");
  EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace

#include <gtest/gtest.h>

#include "sale_fixture.h"

namespace {

using enum sale_testing::LineField;

using sale::EntryOutcome;
using sale_testing::Texts;

class SaleAdjustmentTest : public sale_testing::SaleFixture {
 protected:
  void SetUp() override {
    SaleFixture::SetUp();
    AddGoods({"1", "面包", 10.0, 9.0});
    AddGoods({"2", "牛奶", 3.5, 3.0});
    Enter("1");
  }
};

TEST_F(SaleAdjustmentTest, DiscountsAndQuantityRecomputeTheSelectedLineOrEveryLine) {
  EXPECT_EQ(Enter("/8.5").outcome, EntryOutcome::kDone);
  EXPECT_EQ(Columns(0, {kFrontRate, kRate, kMemberRate, kAmount, kDiscountAmount}),
            (Texts{"0.85", "0.85", "1.00", "8.50", "1.50"}));
  EXPECT_EQ(Total(), "8.50");
  Enter("/10");  // ten tenths is the full price, not a refusal
  EXPECT_EQ(Columns(0, {kRate, kAmount}), (Texts{"1.00", "10.00"}));
  Enter("/9", "*2.555");
  EXPECT_EQ(Columns(0, {kQuantity, kAmount, kDiscountAmount}), (Texts{"2.56", "23.04", "2.56"}));
  EXPECT_EQ(Total(), "23.04");
  EXPECT_TRUE(ui_.messages.empty());
  NextCustomer();
  Enter("1");
  Enter("2");
  sale_.selected = 0;
  Enter("/9");
  EXPECT_EQ((Texts{Column(0, kRate), Column(1, kRate)}), (Texts{"0.90", "1.00"}));
  Enter("%8");
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(Columns(i, {kFrontRate, kRate}), (Texts{"0.80", "0.80"}));
  }
  EXPECT_EQ(Column(1, kAmount), "2.80");
  EXPECT_EQ(Total(), "10.80");
}

TEST_F(SaleAdjustmentTest, LargeQuantitiesAreAskedAboutAndAPriceAboveTheSalesPriceLeavesIt) {
  size_t shown = display_.shown.size();
  ui_.yes_no = {false};
  EXPECT_EQ(Enter("*20000").outcome, EntryOutcome::kDone);  // No empties the entry
  EXPECT_EQ(ui_.questions, Texts{"数量超过10000,真的要修改吗?"});
  EXPECT_EQ(Column(0, kQuantity), "1.00");
  EXPECT_EQ(display_.shown.size(), shown);  // and totals nothing
  ui_.yes_no = {true};
  Enter("*20000");
  EXPECT_EQ(Columns(0, {kQuantity, kAmount}), (Texts{"20000.00", "200000.00"}));
  Enter("*10000");  // 10000 itself is not asked about
  EXPECT_EQ(ui_.questions.size(), 2u);
  // A huge return is asked about as a huge sale is.
  ui_.yes_no = {false};
  Enter("*-20000");
  EXPECT_EQ(ui_.questions.size(), 3u);
  EXPECT_EQ(Column(0, kQuantity), "10000.00");
  NextCustomer();
  Enter("1");
  const std::initializer_list<sale_testing::LineField> figures = {kFrontPrice, kPrice, kAmount,
                                                               kDiscountAmount};
  Enter("\\12");
  EXPECT_EQ(Columns(0, figures), (Texts{"12.00", "10.00", "10.00", "0.00"}));
  Enter("/8", "\\7.5");
  EXPECT_EQ(Columns(0, figures), (Texts{"7.50", "7.50", "6.00", "1.50"}));
}

TEST_F(SaleAdjustmentTest, WithoutASelectedLineNoLineChanges) {
  Enter("\\5");  // the ordinary customer's member pricing drops this front price later
  ASSERT_EQ(Column(0, kPrice), "5.00");
  std::vector<sale::SaleLine> before = sale_.lines;
  sale_.selected = -1;
  Enter("*5", "\\1");
  EXPECT_EQ(Line(0), before[0]);
  // The item discount changes no line itself but still reprices all of them.
  Enter("/8");
  EXPECT_EQ(Columns(0, {kFrontRate, kPrice, kAmount}), (Texts{"1.00", "10.00", "10.00"}));
  EXPECT_TRUE(ui_.messages.empty());
}

}  // namespace

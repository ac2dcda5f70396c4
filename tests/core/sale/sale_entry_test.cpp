#include <gtest/gtest.h>

#include "sale_fixture.h"

namespace {

using enum sale_testing::LineField;

using namespace std::string_literals;
using sale::EntryOutcome;
using sale_testing::Texts;

class SaleEntryTest : public sale_testing::SaleFixture {
 protected:
  void SetUp() override {
    SaleFixture::SetUp();
    AddGoods({"6901", "可乐", 3.5, 3.0, "瓶"});
    AddGoods({"6902", "面包", 10.0, 9.0});
  }
};

TEST_F(SaleEntryTest, ScansAppendPricedLinesAndScaleBarcodesReadCodeAndAmountWhenSwitchedOn) {
  EXPECT_EQ(Enter("6901").outcome, EntryOutcome::kDone);
  ASSERT_EQ(sale_.lines.size(), 1u);
  EXPECT_EQ(AllColumns(0), (Texts{"6901", "可乐", "瓶", "1.00", "3.50", "3.00", "3.50", "3.50",
                                  "1.00", "1.00", "1.00", "3.50", "0.00"}));
  EXPECT_EQ(sale_.selected, 0);
  EXPECT_EQ(display_.shown, (std::vector<std::pair<int, double>>{{2, 3.5}}));
  Enter("6902");
  ASSERT_EQ(sale_.lines.size(), 2u);
  EXPECT_EQ(sale_.selected, 1);
  EXPECT_EQ(Total(), "13.50");
  EXPECT_TRUE(ui_.messages.empty());
  NextCustomer();
  AddGoods({"00012", "猪肉", 24.69, 20.0, "公斤", "是"});
  AddGoods({"00013", "散装糖", 0, 0, "公斤", "是"});
  AddGoods({"200012123457", "礼盒", 88, 80});
  AddGoods({"2000121234578", "长条码", 1, 1});
  Enter("200012123457");  // scale barcodes are off as shipped
  EXPECT_EQ(Column(0, kGoodsName), "礼盒");
  UseScaleBarcodes();
  sale::CancelBill(sale_);
  Enter("200012123457");
  EXPECT_EQ(Columns(0, {kBarcode, kQuantity, kSalesPrice, kPrice, kRate, kAmount, kDiscountAmount}),
            (Texts{"00012", "5.000", "24.69", "24.69", "1.00", "123.45", "0.00"}));
  EXPECT_EQ(Total(), "123.45");
  // Priced 0, the scale goods sell one piece at the barcode's amount and no price is asked;
  // a bill discount then takes its share of that amount rather than zeroing it.
  Enter("200013010009");
  EXPECT_EQ(Columns(1, {kQuantity, kSalesPrice, kAmount}), (Texts{"1.000", "10.00", "10.00"}));
  Enter("%9.5");
  EXPECT_EQ(Column(1, kAmount), "9.50");
  Enter("%10");
  Enter("2000121234578");  // one digit too many: an ordinary barcode
  EXPECT_EQ(Column(2, kGoodsName), "长条码");
  Enter("299999123457");  // no goods under that code
  EXPECT_EQ(ui_.messages, Texts{"此商品无法销售"});
  ui_.yes_no = {false};
  ui_.quick_goods = {std::nullopt};
  // One digit short: an unknown ordinary barcode, reported, and the entry cleared.
  EXPECT_EQ(Enter("20001212345").outcome, EntryOutcome::kDone);
  EXPECT_EQ(ui_.questions, Texts{"新条码,是否查询条码库?"});
  EXPECT_EQ(ui_.messages, (Texts{"此商品无法销售", "此商品无法销售"}));
  EXPECT_EQ(sale_.lines.size(), 3u);
}

TEST_F(SaleEntryTest, MinusDeletesTheSelectedLineAndTheLastLineStartsTheNextSale) {
  Open().Exec("insert into transactiondetails (transactionnumber,transactiontype) values (41,?)",
              "销售总计");
  AddMember({"m1", "张三", "会员折扣", 0.9});
  Attach("m1");
  Enter("6901", "6902", "6901");
  sale_.selected = 0;
  Enter("-");
  ASSERT_EQ(sale_.lines.size(), 2u);
  EXPECT_EQ(Column(0, kBarcode), "6902");
  EXPECT_EQ(sale_.selected, 1);
  EXPECT_EQ(Total(), "12.15");
  sale_.selected = -1;  // lines present, none selected: nothing is deleted
  Enter("-");
  EXPECT_EQ(std::make_pair(sale_.lines.size(), sale_.selected), std::make_pair(2ul, 1));
  // Deleting the only line starts the next sale, numbered after the journal, without the member.
  Enter("-", "-");
  EXPECT_TRUE(sale_.lines.empty());
  EXPECT_EQ(sale_.sale_number, 42);
  EXPECT_FALSE(sale_.HasMember() || sale_.member_pane != sale::MemberPane::kEmpty);
  EXPECT_EQ(Total(), "0.00");
  std::filesystem::remove(store::DatabasePath());
  EXPECT_EQ(sale::NextTransactionNumber(), 1);  // an unreadable journal starts again at 1
}

TEST_F(SaleEntryTest, EqualsCancelsPlusIsPettyCashOnlyWithoutLinesAndEmptyEntrySettles) {
  Enter("6901", "6902");
  std::int64_t number = sale_.sale_number;
  EXPECT_EQ(Enter("=").outcome, EntryOutcome::kDone);
  EXPECT_TRUE(sale_.lines.empty());
  EXPECT_EQ(sale_.sale_number, number);
  EXPECT_EQ(Total(), "0.00");
  EXPECT_EQ(display_.shown.back(), std::make_pair(2, 0.0));
  ui_.yes_no = {false};
  ui_.quick_goods = {std::nullopt};
  Enter("=");  // unknown as a barcode, so the quick entry opens
  ASSERT_EQ(ui_.quick_goods_offered.size(), 1u);
  EXPECT_EQ(ui_.quick_goods_offered[0].barcode, "=");
  AddGoods({"*5", "星号商品", 2, 2});
  EXPECT_EQ(Enter("*5").outcome, EntryOutcome::kDone);
  EXPECT_EQ(Columns(0, {kBarcode, kQuantity}), (Texts{"*5", "1.00"}));
  NextCustomer();
  sale::EntryResult petty = Enter("+50");
  EXPECT_EQ(petty.outcome, EntryOutcome::kPettyCash);
  EXPECT_EQ(petty.petty_cash_amount, "50");
  Enter("6901");
  size_t shown = display_.shown.size();
  EXPECT_EQ(Enter("+50").outcome, EntryOutcome::kKeepEntry);
  EXPECT_EQ(ui_.messages, Texts{"有未结账的流水,不能录入备用金"});
  EXPECT_EQ(Enter("").outcome, EntryOutcome::kSettle);
  EXPECT_EQ(sale_.lines.size(), 1u);
  EXPECT_EQ(display_.shown.size(), shown);  // neither totals anything
}

TEST_F(SaleEntryTest, RefusedOrBlockedEntriesKeepEntryLinesAndTotal) {
  store::Database other = Open();
  for (size_t lines : {0u, 1u}) {  // the first scan of a sale and a later one
    other.ExecScript("begin exclusive");
    EXPECT_EQ(Enter("6901").outcome, EntryOutcome::kKeepEntry);
    EXPECT_EQ(ui_.messages, Texts{"数据库忙，请重试"});
    EXPECT_EQ(sale_.lines.size(), lines);
    other.ExecScript("commit");
    ui_.messages.clear();
    EXPECT_EQ(Enter("6901").outcome, EntryOutcome::kDone);
    EXPECT_EQ(sale_.lines.size(), lines + 1);
  }
  NextCustomer();
  Enter("6901", "\\2");
  sale::CurrentSale before = sale_;
  size_t shown = display_.shown.size();
  // Numbers beyond what a till holds are refused before anything is asked about them.
  const std::string nines(400, '9');
  for (const std::string& refused : {"/11"s, "/85"s, "/-1"s, "/"s, "%abc"s, "%" + nines, "*"s,
                                     "*1" + std::string(20, '0'), "\\-1"s, "\\x"s, "\\" + nines}) {
    EXPECT_EQ(Enter(refused).outcome, EntryOutcome::kKeepEntry) << refused;
  }
  EXPECT_EQ(ui_.messages,
            (Texts{"折扣率有误", "折扣率有误", "折扣率有误", "折扣率有误", "折扣率有误",
                   "折扣率有误", "数量有误", "数量有误", "价格有误", "价格有误", "价格有误"}));
  EXPECT_TRUE(ui_.questions.empty());
  EXPECT_EQ(sale_.lines[0], before.lines[0]);
  EXPECT_EQ(display_.shown.size(), shown);
}

}  // namespace

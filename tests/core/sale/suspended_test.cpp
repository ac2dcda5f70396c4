#include "core/sale/suspended.h"

#include <gtest/gtest.h>

#include "core/common/clock.h"
#include "sale_fixture.h"

namespace {

using enum sale_testing::LineField;

using sale_testing::Texts;

class SuspendedSaleTest : public sale_testing::SaleFixture {
 protected:
  void SetUp() override {
    SaleFixture::SetUp();
    AddGoods({"1", "面包", 10.0, 9.0});
    AddGoods({"2", "牛奶", 3.5, 3.0});
    AddGoods({"00012", "苹果", 10.0, 0});  // sold by scale barcode, no member price
    common::SetFixedClock(common::MakeTime(2024, 5, 1, 9, 30, 0));
  }

  bool Suspend() { return sale::SuspendSale(sale_, ui_, display_); }
  bool Retrieve(std::optional<std::int64_t> listnumber) {
    chooser_asked_ = false;
    return sale::RetrieveSale(sale_, ui_, display_, [&] {
      chooser_asked_ = true;
      return listnumber;
    });
  }
  std::int64_t ParkedRows() { return Count("select count(*) from transactionpendinglist"); }

  bool chooser_asked_ = false;
};

TEST_F(SuspendedSaleTest, MemberFrontPriceWeightAndDiscountOnDiscountComeBack) {
  AddMember({"m1", "张三", "会员价"});
  UseScaleBarcodes();
  Enter("1");
  Attach("m1");
  Enter("\\8", "200012004557");  // a front price, then 4.55 yuan of apples at 10.00: 0.455 kg
  ASSERT_TRUE(Suspend());
  EXPECT_FALSE(!sale_.lines.empty() || sale_.HasMember());
  EXPECT_EQ(display_.shown.back(), std::make_pair(2, 0.0));
  EXPECT_EQ(Count("select count(*) from transactionpendinglist where listnumber = 1 and "
                  "memberid = 'm1' and transdatetime = '2024-05-01 09:30:00'"),
            2);
  EXPECT_EQ(RowsOf("select barcode, frontprice, quantity from transactionpendinglist"),
            "1|8.0|1.0|\n00012|10.0|0.455|\n");
  ASSERT_TRUE(Retrieve(1));
  EXPECT_EQ(sale_.member_id + sale_.member_name + sale_.member_dismode, "m1张三会员价");
  EXPECT_EQ(sale_.member_pane, sale::MemberPane::kMember);
  ASSERT_EQ(sale_.lines.size(), 2u);
  const auto figures = {kBarcode, kQuantity, kMemberPrice, kFrontPrice, kPrice, kAmount};
  EXPECT_EQ(Columns(0, figures), (Texts{"1", "1.000", "9.00", "8.00", "8.00", "8.00"}));
  // No member price (0) must not sell the apples for nothing.
  EXPECT_EQ(Columns(1, figures), (Texts{"00012", "0.455", "10.00", "10.00", "10.00", "4.55"}));
  EXPECT_EQ(sale_.selected, 1);
  EXPECT_EQ(Total(), "12.55");
  EXPECT_EQ(ParkedRows(), 0);
  NextCustomer();
  AddMember({"dd", "甲", "会员折扣", 0.9, "是"});
  Enter("1", "2");
  Attach("dd");
  Enter("/8");  // on milk: 0.8 x 0.9
  for (bool parked : {false, true}) {
    SCOPED_TRACE(parked ? "taken back" : "as rung up");
    if (parked) {
      ASSERT_TRUE(Suspend() && Retrieve(1));
    }
    EXPECT_EQ(Columns(0, {kRate, kAmount}), (Texts{"0.90", "9.00"}));
    EXPECT_EQ(Columns(1, {kFrontRate, kMemberRate, kRate, kAmount, kDiscountAmount}),
              (Texts{"0.80", "0.90", "0.72", "2.52", "0.98"}));
    EXPECT_EQ(Total(), "11.52");
  }
}

TEST_F(SuspendedSaleTest, RefusalsAndAFailedSuspensionChangeNothing) {
  EXPECT_FALSE(Suspend());
  EXPECT_EQ(ui_.messages.back(), "没有销售，无法挂单");
  EXPECT_EQ(ParkedRows(), 0);
  EXPECT_FALSE(Retrieve(std::nullopt));  // cancelled in the chooser
  EXPECT_TRUE(chooser_asked_);
  Enter("1", "\\12");  // above the sales price: the sales price stays
  ASSERT_TRUE(Suspend());
  Enter("2");
  EXPECT_FALSE(Retrieve(1));
  EXPECT_FALSE(chooser_asked_);
  EXPECT_EQ(ui_.messages.back(), "有未结账的流水,不能取回挂单");
  EXPECT_EQ(sale_.lines.size(), 1u);
  EXPECT_EQ(ParkedRows(), 1);
  sale::NewSale(sale_);
  ASSERT_TRUE(Retrieve(1));
  EXPECT_EQ(Columns(0, {kFrontPrice, kPrice}), (Texts{"12.00", "10.00"}));
  NextCustomer();
  Refuse("full",
         "before insert on transactionpendinglist "
         "when (select count(*) from transactionpendinglist) >= 1");
  AddMember({"m1", "张三", "会员价"});
  Enter("1", "2");
  Attach("m1");
  EXPECT_FALSE(Suspend());
  EXPECT_EQ(ui_.messages.back(), "挂单写入有误");
  EXPECT_EQ(ParkedRows(), 0);  // the first line written was rolled back
  EXPECT_EQ(sale_.lines.size(), 2u);
  EXPECT_EQ(sale_.member_id, "m1");
}

TEST_F(SuspendedSaleTest, FailedRetrievalNeitherLosesNorDuplicatesTheParkedSale) {
  AddMember({"m1", "张三", "会员价"});
  Enter("1");
  Attach("m1");
  ASSERT_TRUE(Suspend());
  Refuse("keep", "before delete on transactionpendinglist");
  EXPECT_FALSE(Retrieve(1));
  EXPECT_EQ(ui_.messages.back(), "挂单取回有误");
  EXPECT_FALSE(!sale_.lines.empty() || sale_.HasMember());
  EXPECT_EQ(ParkedRows(), 1);
  Open().ExecScript("drop trigger keep");
  Open().Exec("delete from goodsmaster where barcode = ?", "1");
  EXPECT_FALSE(Retrieve(1));
  EXPECT_EQ(ui_.messages.back(), "挂单商品1无法销售");
  EXPECT_TRUE(sale_.lines.empty());
  EXPECT_EQ(ParkedRows(), 1);
  AddGoods({"1", "面包", 10.0, 9.0});
  ASSERT_TRUE(Retrieve(1));
  EXPECT_EQ(std::make_pair(sale_.lines.size(), ParkedRows()), std::make_pair(1ul, 0l));
  sale::NewSale(sale_);
  EXPECT_FALSE(Retrieve(1));  // taken back already: nothing comes back twice
  EXPECT_EQ(ui_.messages.back(), "挂单取回有误");
  EXPECT_TRUE(sale_.lines.empty());
}

}  // namespace

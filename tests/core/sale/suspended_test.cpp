// Parking a sale and taking it back: lines, prices and the member survive the round trip,
// and no failure loses a parked sale or leaves it both parked and on screen.

#include "sale/suspended.h"

#include <gtest/gtest.h>

#include "common/clock.h"
#include "sale_fixture.h"

namespace {

using sale_testing::MemberRow;

class SuspendedSaleTest : public sale_testing::SaleFixture {
 protected:
  void SetUp() override {
    SaleFixture::SetUp();
    AddGoods({"1", "面包", 10.0, 9.0});
    AddGoods({"2", "牛奶", 3.5, 3.0});
    AddGoods({"00012", "苹果", 10.0, 0});  // sold by scale barcode, no member price
    kasso::SetFixedClock(kasso::MakeTime(2024, 5, 1, 9, 30, 0));
  }

  bool Suspend() { return sale::SuspendSale(sale_, ui_, display_); }
  bool Retrieve(std::optional<std::int64_t> listnumber) {
    chooser_asked_ = false;
    return sale::RetrieveSale(sale_, ui_, display_, [&] {
      chooser_asked_ = true;
      return listnumber;
    });
  }
  int ParkedRows() {
    return static_cast<int>(
        Open().QueryInt("select count(*) from transactionpendinglist").value_or(-1));
  }

  bool chooser_asked_ = false;
};

TEST_F(SuspendedSaleTest, MemberFrontPriceAndWeightComeBack) {
  AddMember({"m1", "张三", "会员价"});
  UseScaleBarcodes();
  Enter("1");
  Attach("m1");
  Enter("\\8");
  Enter("200012004557");  // 4.55 yuan of apples at 10.00: 0.455 kg
  ASSERT_EQ(Column(1, sale::kQuantity), "0.455");
  ASSERT_EQ(sale_.total_caption, "总计: 12.55");

  ASSERT_TRUE(Suspend());
  EXPECT_TRUE(sale_.lines.empty());
  EXPECT_FALSE(sale_.HasMember());
  EXPECT_EQ(display_.shown.back(), std::make_pair(2, 0.0));
  {
    store::Database db = Open();
    store::Statement row = db.Query(
        "select listnumber,quantity,frontprice,memberid,transdatetime "
        "from transactionpendinglist order by rowid");
    ASSERT_TRUE(row.Step());
    EXPECT_EQ(row.Int(0), 1);
    EXPECT_DOUBLE_EQ(row.Double(2), 8.0);
    EXPECT_EQ(row.Text(3), "m1");
    EXPECT_EQ(row.Text(4), "2024-05-01 09:30:00");
    ASSERT_TRUE(row.Step());
    EXPECT_DOUBLE_EQ(row.Double(1), 0.455);
  }

  ASSERT_TRUE(Retrieve(1));
  EXPECT_EQ(sale_.member_id, "m1");
  EXPECT_EQ(sale_.member_pane, "[会员名称:张三][优惠方式:会员价]");
  EXPECT_EQ(sale::MemberButtonCaption(sale_), "F4 普通客户");
  ASSERT_EQ(sale_.lines.size(), 2u);
  EXPECT_EQ(Column(0, sale::kQuantity), "1.000");
  EXPECT_EQ(Column(0, sale::kMemberPrice), "9.00");
  EXPECT_EQ(Column(0, sale::kFrontPrice), "8.00");
  EXPECT_EQ(Column(0, sale::kPrice), "8.00");
  EXPECT_EQ(Column(0, sale::kAmount), "8.00");
  EXPECT_EQ(Column(1, sale::kBarcode), "00012");
  EXPECT_EQ(Column(1, sale::kQuantity), "0.455");
  // No member price (0) must not sell the apples for nothing.
  EXPECT_EQ(Column(1, sale::kPrice), "10.00");
  EXPECT_EQ(Column(1, sale::kAmount), "4.55");
  EXPECT_EQ(sale_.selected, 1);
  EXPECT_EQ(sale_.total_caption, "总计: 12.55");
  EXPECT_EQ(ParkedRows(), 0);
}

TEST_F(SuspendedSaleTest, DiscountMemberKeepsDiscountOnDiscount) {
  AddMember({"dd", "甲", "会员折扣", 0.9, "是"});
  Enter("1");
  Enter("2");
  Attach("dd");
  Enter("/8");  // on milk
  ASSERT_EQ(Column(1, sale::kRate), "0.72");
  ASSERT_TRUE(Suspend());
  ASSERT_TRUE(Retrieve(1));
  EXPECT_EQ(Column(0, sale::kRate), "0.90");
  EXPECT_EQ(Column(0, sale::kAmount), "9.00");
  EXPECT_EQ(Column(1, sale::kFrontRate), "0.80");
  EXPECT_EQ(Column(1, sale::kMemberRate), "0.90");
  EXPECT_EQ(Column(1, sale::kRate), "0.72");
  EXPECT_EQ(Column(1, sale::kAmount), "2.52");
  EXPECT_EQ(Column(1, sale::kDiscountAmount), "0.98");
}

TEST_F(SuspendedSaleTest, RefusalsChangeNothing) {
  EXPECT_FALSE(Suspend());
  EXPECT_EQ(ui_.messages.back(), "没有销售，无法挂单");
  EXPECT_EQ(ParkedRows(), 0);

  EXPECT_FALSE(Retrieve(std::nullopt));  // cancelled in the chooser
  EXPECT_TRUE(chooser_asked_);

  Enter("1");
  Enter("\\12");  // above the sales price: the sales price stays
  ASSERT_TRUE(Suspend());
  Enter("2");
  EXPECT_FALSE(Retrieve(1));
  EXPECT_FALSE(chooser_asked_);
  EXPECT_EQ(ui_.messages.back(), "有未结账的流水,不能取回挂单");
  EXPECT_EQ(sale_.lines.size(), 1u);
  EXPECT_EQ(ParkedRows(), 1);

  sale::NewSale(sale_);
  ASSERT_TRUE(Retrieve(1));
  EXPECT_EQ(Column(0, sale::kFrontPrice), "12.00");
  EXPECT_EQ(Column(0, sale::kPrice), "10.00");
}

TEST_F(SuspendedSaleTest, FailedSuspensionKeepsTheSaleOnScreen) {
  Open().ExecScript(
      "create trigger full before insert on transactionpendinglist "
      "when (select count(*) from transactionpendinglist) >= 1 "
      "begin select raise(abort, 'full'); end;");
  AddMember({"m1", "张三", "会员价"});
  Enter("1");
  Enter("2");
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
  Open().ExecScript(
      "create trigger keep before delete on transactionpendinglist "
      "begin select raise(abort, 'keep'); end;");
  EXPECT_FALSE(Retrieve(1));
  EXPECT_EQ(ui_.messages.back(), "挂单取回有误");
  EXPECT_TRUE(sale_.lines.empty());
  EXPECT_FALSE(sale_.HasMember());
  EXPECT_EQ(ParkedRows(), 1);

  Open().ExecScript("drop trigger keep");
  Open().Exec("delete from goodsmaster where barcode = ?", "1");
  EXPECT_FALSE(Retrieve(1));
  EXPECT_EQ(ui_.messages.back(), "挂单商品1无法销售");
  EXPECT_TRUE(sale_.lines.empty());
  EXPECT_EQ(ParkedRows(), 1);

  AddGoods({"1", "面包", 10.0, 9.0});
  ASSERT_TRUE(Retrieve(1));
  EXPECT_EQ(sale_.lines.size(), 1u);
  EXPECT_EQ(ParkedRows(), 0);
  sale::NewSale(sale_);
  EXPECT_FALSE(Retrieve(1));  // taken back already: nothing comes back twice
  EXPECT_EQ(ui_.messages.back(), "挂单取回有误");
  EXPECT_TRUE(sale_.lines.empty());
}

}  // namespace

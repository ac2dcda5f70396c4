// Barcodes the till has to ask about: unknown goods created on the spot, goods priced 0,
// goods weighed on the serial scale, and goods scanned for an attached member.

#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/error.h"
#include "sale/quick_goods.h"
#include "sale_fixture.h"

namespace {

using sale_testing::GoodsRow;
using sale_testing::MemberRow;

class SaleGoodsEntryTest : public sale_testing::SaleFixture {
 protected:
  int GoodsRows(const std::string& barcode) {
    return CountRows("select count(*) from goodsmaster where barcode = ?", barcode);
  }
  int StockRows(const std::string& barcode) {
    return CountRows("select count(*) from inventory where barcode = ?", barcode);
  }
};

TEST_F(SaleGoodsEntryTest, UnknownBarcodeIsCreatedWithItsStockRowAndSold) {
  kasso::SetFixedClock(kasso::MakeTime(2024, 5, 6, 7, 8, 9));
  Open().Exec("insert into itemlibrary (barcode,goodsname,unit) values ('690123','矿泉水','瓶')");
  ui_.yes_no = {true};
  ui_.quick_goods = {sale::QuickGoods{"690123", "矿泉水", "2.5"}};

  Enter("690123");

  EXPECT_EQ(ui_.questions, std::vector<std::string>{"新条码,是否查询条码库?"});
  ASSERT_EQ(ui_.quick_goods_offered.size(), 1u);
  EXPECT_EQ(ui_.quick_goods_offered[0].goodsname, "矿泉水");
  EXPECT_EQ(ui_.quick_goods_offered[0].price, "1");
  ASSERT_EQ(sale_.lines.size(), 1u);
  EXPECT_EQ(Column(0, sale::kGoodsName), "矿泉水");
  EXPECT_EQ(Column(0, sale::kUnit), "个");
  EXPECT_EQ(Column(0, sale::kAmount), "2.50");
  EXPECT_TRUE(ui_.messages.empty());

  EXPECT_EQ(GoodsRows("690123"), 1);
  EXPECT_EQ(StockRows("690123"), 1);
  store::Statement row = Open().Query(
      "select goodsname,unit,class,salesprice,memberprice,importprice,recordingdate,"
      "isscalegoods,pluno,iniinventory from goodsmaster where barcode = '690123'");
  ASSERT_TRUE(row.Step());
  EXPECT_EQ(row.Text(1), "个");
  EXPECT_EQ(row.Text(2), "未分类");
  EXPECT_DOUBLE_EQ(row.Double(3), 2.5);
  EXPECT_DOUBLE_EQ(row.Double(4), 2.5);
  EXPECT_EQ(row.Text(6), "2024-05-06 07:08:09");
  EXPECT_EQ(row.Text(7), "否");
  EXPECT_DOUBLE_EQ(
      Open().QueryDouble("select quantity from inventory where barcode = '690123'").value(), 0);
}

TEST_F(SaleGoodsEntryTest, AnsweringNoOffersThePlainName) {
  Open().Exec("insert into itemlibrary (barcode,goodsname,unit) values ('690123','矿泉水','瓶')");
  ui_.yes_no = {false};
  ui_.quick_goods = {std::nullopt};
  Enter("690123");
  ASSERT_EQ(ui_.quick_goods_offered.size(), 1u);
  EXPECT_EQ(ui_.quick_goods_offered[0].goodsname, "商品");
  EXPECT_EQ(GoodsRows("690123"), 0);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"此商品无法销售"});
}

TEST_F(SaleGoodsEntryTest, QuotesInNamesAndBarcodesAreStoredAsTyped) {
  ui_.yes_no = {false};
  ui_.quick_goods = {sale::QuickGoods{"", "O'Brien's 饼干", "3"}};
  Enter("12'3");
  ASSERT_EQ(sale_.lines.size(), 1u);
  EXPECT_EQ(Column(0, sale::kBarcode), "12'3");
  EXPECT_EQ(Column(0, sale::kGoodsName), "O'Brien's 饼干");
  EXPECT_EQ(Open().QueryText("select goodsname from goodsmaster where barcode = ?", "12'3"),
            "O'Brien's 饼干");
}

TEST_F(SaleGoodsEntryTest, UnsavablePriceIsExplainedAndTheEntryReopensWithWhatWasTyped) {
  ui_.yes_no = {false};
  ui_.quick_goods = {sale::QuickGoods{"555", "糖", "1,5"}, sale::QuickGoods{"555", "糖", "-2"},
                     std::nullopt};
  Enter("555");
  ASSERT_EQ(ui_.quick_goods_offered.size(), 3u);
  EXPECT_EQ(ui_.quick_goods_offered[1].goodsname, "糖");
  EXPECT_EQ(ui_.quick_goods_offered[1].price, "1,5");
  EXPECT_EQ(ui_.messages,
            (std::vector<std::string>{"商品保存有误，请确认录入信息",
                                      "商品保存有误，请确认录入信息", "此商品无法销售"}));
  EXPECT_EQ(GoodsRows("555"), 0);
  EXPECT_EQ(StockRows("555"), 0);
  EXPECT_TRUE(sale_.lines.empty());
}

TEST_F(SaleGoodsEntryTest, FailedSaveWritesNeitherRow) {
  // A failing second insert must take the first one back with it.
  Open().ExecScript(
      "create trigger refuse_stock before insert on inventory begin "
      "select raise(abort, 'no stock rows'); end");
  store::Database db = Open();
  EXPECT_THROW(sale::SaveQuickGoods(db, {"777", "盐", "2"}), kasso::UserError);
  EXPECT_EQ(GoodsRows("777"), 0);
}

TEST_F(SaleGoodsEntryTest, StockRowLeftByADeletedGoodsItemIsNotDoubled) {
  Open().Exec("insert into inventory (barcode,quantity) values ('888',4)");
  store::Database db = Open();
  sale::SaveQuickGoods(db, {"888", "醋", "6"});
  EXPECT_EQ(StockRows("888"), 1);
  EXPECT_EQ(GoodsRows("888"), 1);
}

TEST_F(SaleGoodsEntryTest, GoodsPricedZeroTakeTheTypedPrice) {
  AddGoods({"100", "散装米", 0, 0});
  ui_.prices = {7.8, std::nullopt};
  Enter("100");
  EXPECT_EQ(Column(0, sale::kSalesPrice), "7.80");
  EXPECT_EQ(Column(0, sale::kFrontPrice), "7.80");
  EXPECT_EQ(Column(0, sale::kPrice), "7.80");
  EXPECT_EQ(Column(0, sale::kAmount), "7.80");

  Enter("100");  // cancelled: the line is still added, at 0
  ASSERT_EQ(sale_.lines.size(), 2u);
  EXPECT_EQ(Column(1, sale::kAmount), "0.00");
  EXPECT_EQ(sale_.total_caption, "总计: 7.80");
}

TEST_F(SaleGoodsEntryTest, PriceEntryTextIsChecked) {
  auto message = [](const std::string& text) {
    try {
      sale::CheckPriceEntry(text);
    } catch (const kasso::ValidationError& error) {
      EXPECT_EQ(error.field(), "price");
      return std::string(error.what());
    }
    return std::string();
  };
  EXPECT_EQ(message(""), "请录入价格");
  EXPECT_EQ(message("1.2.3"), "价格有误");
  EXPECT_EQ(message("abc"), "价格有误");
  EXPECT_EQ(message("-1"), "价格有误");
  EXPECT_DOUBLE_EQ(sale::CheckPriceEntry("2.675"), 2.68);
}

TEST_F(SaleGoodsEntryTest, ScaleGoodsAreWeighedOnTheSerialScale) {
  AddGoods({"2100007", "苹果", 10.0, 9.0, "公斤", "是"});
  AddGoods({"6901", "可乐", 3.5, 3.0});
  Enter("2100007");  // serial scale off: one piece, nothing asked
  EXPECT_EQ(Column(0, sale::kQuantity), "1.00");

  UseSerialScale();
  ui_.weights = {std::string("1.234"), std::nullopt};
  Enter("2100007");
  ASSERT_EQ(sale_.lines.size(), 2u);
  EXPECT_EQ(ui_.weighed, std::vector<std::string>{"苹果"});
  EXPECT_EQ(Column(1, sale::kQuantity), "1.234");
  EXPECT_EQ(Column(1, sale::kAmount), "12.34");

  Enter("2100007");  // weighing cancelled: no line, no message
  EXPECT_EQ(sale_.lines.size(), 2u);
  EXPECT_TRUE(ui_.messages.empty());

  Enter("6901");  // goods that are not scale goods are not weighed
  EXPECT_EQ(Column(2, sale::kQuantity), "1.00");
  EXPECT_EQ(ui_.weighed.size(), 2u);
}

TEST_F(SaleGoodsEntryTest, ScanForAMemberPriceMember) {
  AddMember({"m1", "李四", "会员价"});
  AddGoods({"1", "牛奶", 3.5, 3.0});
  AddGoods({"2", "鸡蛋", 5.0, 0});      // no member price: sales price
  AddGoods({"3", "茶叶", 20.0, 25.0});  // member price above sales price: sales price
  Attach("m1");
  Enter("1");
  Enter("2");
  Enter("3");
  EXPECT_EQ(Column(0, sale::kPrice), "3.00");
  EXPECT_EQ(Column(0, sale::kAmount), "3.00");
  EXPECT_EQ(Column(0, sale::kMemberRate), "1.00");
  EXPECT_EQ(Column(1, sale::kPrice), "5.00");
  EXPECT_EQ(Column(1, sale::kMemberPrice), "5.00");
  EXPECT_EQ(Column(2, sale::kPrice), "20.00");

  // Member pricing gives every line the same price again.
  std::vector<sale::SaleLine> scanned = sale_.lines;
  sale::ApplyMemberPricing(sale_, display_);
  for (size_t i = 0; i < scanned.size(); ++i) EXPECT_EQ(Line(i).columns, scanned[i].columns);
}

TEST_F(SaleGoodsEntryTest, ScanForAMemberDiscountMember) {
  AddMember({"m2", "王五", "会员折扣", 0.85});
  AddGoods({"1", "牛奶", 3.5, 3.0});
  Attach("m2");
  Enter("1");
  EXPECT_EQ(Column(0, sale::kPrice), "3.50");
  EXPECT_EQ(Column(0, sale::kMemberRate), "0.85");
  EXPECT_EQ(Column(0, sale::kRate), "0.85");
  EXPECT_EQ(Column(0, sale::kFrontRate), "1.00");
  EXPECT_EQ(Column(0, sale::kAmount), "2.98");  // 2.975 rounds up
  EXPECT_EQ(Column(0, sale::kDiscountAmount), "0.53");
}

TEST_F(SaleGoodsEntryTest, ScaleBarcodeForMembers) {
  UseScaleBarcodes();
  AddGoods({"00012", "猪肉", 24.69, 20.0, "公斤", "是"});
  AddMember({"m1", "李四", "会员价"});
  AddMember({"m2", "王五", "会员折扣", 0.9});

  Attach("m1");
  Enter("200012123457");  // no member price on a scale barcode
  EXPECT_EQ(Column(0, sale::kPrice), "24.69");
  EXPECT_EQ(Column(0, sale::kAmount), "123.45");

  sale::CancelBill(sale_);
  Attach("m2");
  Enter("200012123457");
  EXPECT_EQ(Column(0, sale::kRate), "0.90");
  EXPECT_EQ(Column(0, sale::kAmount), "111.11");  // 24.69 x 0.9 x 5.000 = 111.105
  EXPECT_EQ(Column(0, sale::kDiscountAmount), "12.35");
}

}  // namespace

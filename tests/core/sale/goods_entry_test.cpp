#include <gtest/gtest.h>

#include "core/common/clock.h"
#include "core/sale/quick_goods.h"
#include "sale_fixture.h"

namespace {

using enum sale_testing::LineField;

using sale_testing::Texts;

class SaleGoodsEntryTest : public sale_testing::SaleFixture {
 protected:
  std::int64_t GoodsRows(const std::string& barcode) {
    return Count("select count(*) from goodsmaster where barcode = ?", barcode);
  }
  std::int64_t StockRows(const std::string& barcode) {
    return Count("select count(*) from inventory where barcode = ?", barcode);
  }
};

TEST_F(SaleGoodsEntryTest,
       UnknownBarcodesAreCreatedWithTheirStockRowOrExplainedAndNothingHalfSaved) {
  common::SetFixedClock(common::MakeTime(2024, 5, 6, 7, 8, 9));
  Open().Exec("insert into itemlibrary (barcode,goodsname,unit) values ('690123','矿泉水','瓶')");
  // Not looked up in the item library, then cancelled: the plain name offered, nothing sold.
  ui_.yes_no = {false, true};
  ui_.quick_goods = {std::nullopt, sale::QuickGoods{"690123", "矿泉水", "2.5"}};
  EXPECT_EQ(Enter("690123").outcome, sale::EntryOutcome::kDone);
  // Nothing made up: two Enters must not create goods called "商品" at 1.00.
  EXPECT_EQ(ui_.quick_goods_offered.at(0).goodsname + ui_.quick_goods_offered.at(0).price, "");
  EXPECT_EQ(ui_.messages, Texts{"此商品无法销售"});
  EXPECT_EQ(GoodsRows("690123"), 0);
  ui_.messages.clear();
  Enter("690123");
  EXPECT_EQ(ui_.questions, (Texts{"新条码,是否查询条码库?", "新条码,是否查询条码库?"}));
  ASSERT_EQ(ui_.quick_goods_offered.size(), 2u);
  EXPECT_EQ(ui_.quick_goods_offered[1].goodsname + "|" + ui_.quick_goods_offered[1].price,
            "矿泉水|");
  ASSERT_EQ(sale_.lines.size(), 1u);
  EXPECT_EQ(Columns(0, {kGoodsName, kUnit, kAmount}), (Texts{"矿泉水", "个", "2.50"}));
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_EQ(Open().QueryText("select unit||'|'||class||'|'||salesprice||'|'||memberprice||'|'||"
                             "recordingdate||'|'||isscalegoods from goodsmaster where barcode = ?",
                             "690123"),
            "个|未分类|2.5|2.5|2024-05-06 07:08:09|否");
  EXPECT_EQ(Count("select count(*) from inventory where barcode = '690123' and quantity = 0"), 1);
  NextCustomer();
  ui_.yes_no = {false};
  ui_.quick_goods = {sale::QuickGoods{"", " ", ""}, sale::QuickGoods{"", "O'Brien's 饼干", ""},
                     sale::QuickGoods{"", "O'Brien's 饼干", "1,5"},
                     sale::QuickGoods{"", "O'Brien's 饼干", "-2"},
                     sale::QuickGoods{"", "O'Brien's 饼干", "3"}};
  Enter("12'3");
  ASSERT_EQ(ui_.quick_goods_offered.size(), 5u);
  EXPECT_EQ(ui_.quick_goods_offered[3].goodsname + ui_.quick_goods_offered[3].price,
            "O'Brien's 饼干1,5");
  EXPECT_EQ(ui_.messages, (Texts{"名称不能为空", "价格不能为空", "商品保存有误，请确认录入信息",
                                 "商品保存有误，请确认录入信息"}));
  // Quotes in names and barcodes are stored as typed.
  ASSERT_EQ(sale_.lines.size(), 1u);
  EXPECT_EQ(Columns(0, {kBarcode, kGoodsName}), (Texts{"12'3", "O'Brien's 饼干"}));
  EXPECT_EQ(Open().QueryText("select goodsname from goodsmaster where barcode = ?", "12'3"),
            "O'Brien's 饼干");
  EXPECT_EQ(StockRows("12'3"), 1);
  store::Database db = Open();
  // A stock row left by a deleted goods item is reused, not doubled.
  Open().Exec("insert into inventory (barcode,quantity) values ('888',4)");
  sale::SaveQuickGoods(db, {"888", "醋", "6"});
  EXPECT_EQ(StockRows("888") * 10 + GoodsRows("888"), 11);
  EXPECT_THROW(sale::SaveQuickGoods(db, {"889", "醋", std::string(400, '9')}), common::UserError);
  EXPECT_EQ(GoodsRows("889"), 0);
  // A failing stock insert must take the goods row back with it.
  Refuse("refuse_stock", "before insert on inventory");
  EXPECT_THROW(sale::SaveQuickGoods(db, {"777", "盐", "2"}), common::UserError);
  EXPECT_EQ(GoodsRows("777"), 0);
}

TEST_F(SaleGoodsEntryTest, GoodsPricedZeroTakeACheckedPriceAndScaleGoodsAreWeighed) {
  AddGoods({"100", "散装米", 0, 0});
  ui_.prices = {7.8, std::nullopt};
  Enter("100");
  EXPECT_EQ(Columns(0, {kSalesPrice, kFrontPrice, kPrice, kAmount}),
            (Texts{"7.80", "7.80", "7.80", "7.80"}));
  Enter("100");  // cancelled: the line is still added, at 0
  ASSERT_EQ(sale_.lines.size(), 2u);
  EXPECT_EQ(Total(), "7.80");  // the first line's 7.80 alone
  const std::pair<std::string, std::string> refused[] = {
      {"", "请录入价格"}, {"abc", "价格有误"}, {"-1", "价格有误"}};
  for (const auto& [text, message] : refused) {
    EXPECT_EQ(testing_support::RefusalOf([&] { sale::CheckPriceEntry(text); }),
              (testing_support::Refusal{message, "price"}))
        << text;
  }
  EXPECT_DOUBLE_EQ(sale::CheckPriceEntry("2.675"), 2.68);
  NextCustomer();
  AddGoods({"2100007", "苹果", 10.0, 9.0, "公斤", "是"});
  AddGoods({"6901", "可乐", 3.5, 3.0});
  Enter("2100007");  // serial scale off: one piece, nothing asked
  EXPECT_EQ(Column(0, kQuantity), "1.00");
  Open().Exec("update management set usecomscale = '是'");
  ui_.weights = {std::string("1.234"), std::nullopt, std::string("100000000")};
  Enter("2100007");
  ASSERT_EQ(sale_.lines.size(), 2u);
  EXPECT_EQ(ui_.weighed, Texts{"苹果"});
  EXPECT_EQ(Columns(1, {kQuantity, kAmount}), (Texts{"1.234", "12.34"}));
  Enter("2100007");  // weighing cancelled: no line, no message
  EXPECT_EQ(sale_.lines.size(), 2u);
  EXPECT_TRUE(ui_.messages.empty());
  Enter("2100007");  // a weight no scale can give
  EXPECT_EQ(sale_.lines.size(), 2u);
  EXPECT_EQ(ui_.messages, Texts{"重量有误"});
  Enter("6901");  // goods that are not scale goods are not weighed
  EXPECT_EQ(Column(2, kQuantity), "1.00");
  EXPECT_EQ(ui_.weighed.size(), 3u);
}

TEST_F(SaleGoodsEntryTest, ScanForAMemberPriceOrAMemberDiscountMember) {
  UseScaleBarcodes();
  AddMember({"m1", "李四", "会员价"});
  AddGoods({"1", "牛奶", 3.5, 3.0});
  AddGoods({"2", "鸡蛋", 5.0, 0});      // no member price: sales price
  AddGoods({"3", "茶叶", 20.0, 25.0});  // member price above sales price: sales price
  AddGoods({"00012", "猪肉", 24.69, 20.0, "公斤", "是"});
  Attach("m1");
  Enter("1", "2", "3");
  EXPECT_EQ(Columns(0, {kPrice, kAmount, kMemberRate}), (Texts{"3.00", "3.00", "1.00"}));
  EXPECT_EQ(Columns(1, {kPrice, kMemberPrice}), (Texts{"5.00", "5.00"}));
  EXPECT_EQ(Column(2, kPrice), "20.00");
  // Member pricing gives every line the same price again.
  std::vector<sale::SaleLine> scanned = sale_.lines;
  sale::ApplyMemberPricing(sale_, display_);
  for (size_t i = 0; i < scanned.size(); ++i) EXPECT_EQ(Line(i), scanned[i]);
  Enter("200012123457");  // a scale barcode takes no member price
  EXPECT_EQ(Columns(3, {kPrice, kAmount}), (Texts{"24.69", "123.45"}));
  NextCustomer();
  AddMember({"m2", "王五", "会员折扣", 0.9});
  Attach("m2");
  Enter("1", "200012123457");
  EXPECT_EQ(Columns(0, {kPrice, kMemberRate, kRate, kFrontRate, kAmount, kDiscountAmount}),
            (Texts{"3.50", "0.90", "0.90", "1.00", "3.15", "0.35"}));
  // 24.69 x 0.9 x 5.000 = 111.105 rounds up.
  EXPECT_EQ(Columns(1, {kRate, kAmount, kDiscountAmount}), (Texts{"0.90", "111.11", "12.35"}));
}

}  // namespace

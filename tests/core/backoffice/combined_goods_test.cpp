#include "core/backoffice/goods/combined_goods.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/backoffice/goods/goods_master.h"
#include "core/sale/commit_sale.h"
#include "core/sale/sale_fixture.h"
#include "goods_fixture.h"

namespace {

using backoffice::GoodsFields;
using backoffice::LoadComponent;
using backoffice::SaveComponent;
using testing_support::ErrorOf;
using testing_support::Refusal;
using testing_support::RefusalOf;

class CombinedGoodsTest : public goods_testing::GoodsFixture {
 protected:
  void SetUp() override {
    GoodsFixture::SetUp();
    AddGoods("A", "苹果", "水果", 50);
    AddGoods("B", "香蕉", "水果", 40);
    AddGoods("K", "果篮", "礼品", 0, "是");
  }
  std::string Components() const {
    std::string text;
    for (const auto& row : backoffice::LoadComponents()) {
      text +=
          row.barcode + ":" + row.goodsname + ":" + backoffice::QuantityText(row.quantity) + " ";
    }
    return text;
  }
};

TEST_F(CombinedGoodsTest, ComponentsAreCheckedOnEntryAndSaveAndKeptOncePerBarcode) {
  using Case = std::tuple<std::string, const char*, const char*, const char*>;
  for (const auto& [barcode, quantity, message, field] :
       {Case{" ", "1", "条码不能为空", "barcode"}, Case{"Z", "1", "此商品不存在", "barcode"},
        Case{"K", "1", "组合商品的下线商品不能是组合商品", "barcode"},
        Case{"N", "1", "组合商品的下线商品不能是自己", "barcode"},
        Case{"A", "0", "数量必须大于0", "quantity"}, Case{"A", "-1", "数量必须大于0", "quantity"},
        Case{"A", "x", "数量必须大于0", "quantity"}}) {
    EXPECT_EQ(RefusalOf([&] { SaveComponent("N", barcode, quantity); }), (Refusal{message, field}));
    if (barcode == "Z") AddGoods("N", "新果篮");  // the goods being edited
  }
  EXPECT_EQ(Components(), "");
  SaveComponent("N", "A", "2");
  SaveComponent("N", " A ", "3");
  SaveComponent("N", "B", "0.5");
  EXPECT_EQ(Components(), "A:苹果:3 B:香蕉:0.5 ");
  EXPECT_EQ(LoadComponent("N", "A").quantity + LoadComponent("N", "B").goodsname, "3香蕉");
  // A component deleted meanwhile is still listed, with its barcode and no name.
  backoffice::DeleteGoods("B");
  EXPECT_EQ(Components(), "A:苹果:3 B::0.5 ");
  backoffice::DeleteComponent("B");
  EXPECT_EQ(Components(), "A:苹果:3 ");
  backoffice::CombinedGoodsClear();
  EXPECT_EQ(Components(), "");
  for (auto [barcode, message] :
       {std::pair{"N", "组合商品下线不能是自己"}, std::pair{"Z", "此商品不存在"},
        std::pair{"K", "组合商品下线不能是组合商品"}}) {
    EXPECT_EQ(ErrorOf([&] { LoadComponent("N", barcode); }), message);
  }
  EXPECT_EQ(LoadComponent("N", "A").quantity, "");
}

TEST_F(CombinedGoodsTest, SaveCopiesComponentsOnlyForCombinedGoodsAndEmptiesTheWorkTable) {
  SaveComponent("N", "A", "3");
  GoodsFields fields = Fields("N", "新果篮");
  fields.iscombined = "是";
  Save(fields);
  EXPECT_EQ(Count("select count(*) from combinedgoods where barcode = 'N'"), 1);
  EXPECT_EQ(Count("select count(*) from combinedgoodstemp"), 0);
  // Loading it for the editor brings the components back into the work table.
  EXPECT_EQ(backoffice::LoadGoodsForEdit("N")->iscombined, "是");
  EXPECT_EQ(Components(), "A:苹果:3 ");
  // Saved as not combined, its earlier component rows stay untouched.
  SaveComponent("N", "B", "1");
  fields.iscombined = "否";
  Save(fields);
  EXPECT_EQ(Count("select count(*) from combinedgoods where barcode = 'N'"), 1);
  EXPECT_EQ(Count("select count(*) from combinedgoodstemp"), 0);
  // Components entered before the barcode was changed to one of them are refused.
  SaveComponent("M", "A", "1");
  fields = Fields("A", "苹果");
  fields.iscombined = "是";
  EXPECT_THROW(Save(fields), common::ValidationError);
  EXPECT_EQ(Stored("iscombined", "A"), "否");
}

TEST_F(CombinedGoodsTest, EveryEditStartsWithTheGoodsOwnComponents) {
  SaveComponent("N", "A", "3");  // left by an edit that was never saved
  GoodsFields fields = *backoffice::LoadGoodsForEdit("B");
  EXPECT_EQ(Components(), "");
  fields.iscombined = "是";
  EXPECT_EQ(RefusalOf([&] { Save(fields); }).message, "组合商品必须录入下线商品");
  EXPECT_EQ(Count("select count(*) from combinedgoods"), 0);
}

TEST_F(CombinedGoodsTest, SavedAgainItKeepsExactlyTheNewComponentsAndASaleMovesThemOnce) {
  GoodsFields fields = *backoffice::LoadGoodsForEdit("K");
  SaveComponent("K", "A", "3");
  SaveComponent("K", "B", "1");
  Save(fields);
  fields = *backoffice::LoadGoodsForEdit("K");
  backoffice::DeleteComponent("B");
  SaveComponent("K", "A", "2");
  Save(fields);
  EXPECT_EQ(RowsOf("select barcode,underlyingcode,quantity from combinedgoods"), "K|A|2.0|\n");
  sale::CurrentSale sale;
  sale.workno = "0";
  sale::NewSale(sale);
  sale_testing::ScriptedSaleUi till;
  sale_testing::RecordingDisplay display;
  sale::ProcessEntry(sale, "K", till, display);
  sale::ProcessEntry(sale, "*2", till, display);
  ASSERT_TRUE(sale::CommitSale(sale, {.due = sale.total, .cash = sale.total}, till).committed);
  EXPECT_EQ(Stock("A"), 46);  // 50 - 2 x 2
  EXPECT_EQ(Stock("B"), 40);
  EXPECT_EQ(Stock("K"), 0);
}

}  // namespace

// Combined goods: the component work table, its checks, the save that copies it, and a sale
// that moves the components' stock.

#include "core/backoffice/goods/combined_goods.h"

#include <gtest/gtest.h>

#include "core/backoffice/goods/goods_master.h"
#include "core/common/error.h"
#include "core/sale/commit_sale.h"
#include "core/sale/sale_fixture.h"
#include "goods_fixture.h"

namespace {

using backoffice::GoodsFields;
using backoffice::LoadComponent;
using backoffice::SaveComponent;

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

TEST_F(CombinedGoodsTest, ComponentsAreCheckedAndKeptOncePerBarcode) {
  struct Refusal {
    const char* barcode;
    const char* quantity;
    const char* message;
    const char* field;
  };
  for (const Refusal& r :
       {Refusal{" ", "1", "条码不能为空", "barcode"}, Refusal{"Z", "1", "此商品不存在", "barcode"},
        Refusal{"K", "1", "组合商品的下线商品不能是组合商品", "barcode"},
        Refusal{"N", "1", "组合商品的下线商品不能是自己", "barcode"},
        Refusal{"A", "0", "数量必须大于0", "quantity"},
        Refusal{"A", "-1", "数量必须大于0", "quantity"},
        Refusal{"A", "x", "数量必须大于0", "quantity"}}) {
    try {
      SaveComponent("N", r.barcode, r.quantity);
      ADD_FAILURE() << r.message << " was not refused";
    } catch (const kasso::ValidationError& error) {
      EXPECT_EQ(error.what(), std::string(r.message));
      EXPECT_EQ(error.field(), r.field);
    }
    if (std::string(r.barcode) == "Z") AddGoods("N", "新果篮");  // the goods being edited
  }
  EXPECT_EQ(Components(), "");

  SaveComponent("N", "A", "2");
  SaveComponent("N", " A ", "3");
  SaveComponent("N", "B", "0.5");
  EXPECT_EQ(Components(), "A:苹果:3 B:香蕉:0.5 ");
  EXPECT_EQ(LoadComponent("N", "A").quantity, "3");
  EXPECT_EQ(LoadComponent("N", "B").goodsname, "香蕉");

  // A component deleted meanwhile is still listed, with its barcode and no name.
  backoffice::DeleteGoods("B");
  EXPECT_EQ(Components(), "A:苹果:3 B::0.5 ");
  backoffice::DeleteComponent("B");
  EXPECT_EQ(Components(), "A:苹果:3 ");
  backoffice::CombinedGoodsClear();
  EXPECT_EQ(Components(), "");
}

TEST_F(CombinedGoodsTest, EntryRefusesItselfUnknownAndCombinedBarcodes) {
  for (auto [barcode, message] :
       {std::pair{"N", "组合商品下线不能是自己"}, std::pair{"Z", "此商品不存在"},
        std::pair{"K", "组合商品下线不能是组合商品"}}) {
    try {
      LoadComponent("N", barcode);
      ADD_FAILURE() << message;
    } catch (const kasso::UserError& error) {
      EXPECT_STREQ(error.what(), message);
    }
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
  EXPECT_THROW(Save(fields), kasso::ValidationError);
  EXPECT_EQ(Stored("iscombined", "A"), "否");
}

class CombinedSaleTest : public sale_testing::SaleFixture {};

TEST_F(CombinedSaleTest, SellingTwoOfThreeATimesOneBMovesASixAndBTwo) {
  goods_testing::NotedUi notes;
  for (auto [barcode, name] : {std::pair{"A", "苹果"}, std::pair{"B", "香蕉"}}) {
    backoffice::GoodsFields goods;
    goods.barcode = barcode;
    goods.goodsname = name;
    goods.salesprice = "2";
    goods.iniinventory = "20";
    backoffice::SaveGoods(goods, true, notes);
  }
  backoffice::CombinedGoodsClear();
  SaveComponent("K", "A", "3");
  SaveComponent("K", "B", "1");
  backoffice::GoodsFields basket;
  basket.barcode = "K";
  basket.goodsname = "果篮";
  basket.salesprice = "7";
  basket.iscombined = "是";
  backoffice::SaveGoods(basket, true, notes);

  Enter("K", "*2");
  ASSERT_TRUE(sale::CommitSale(sale_, sale::Payment{.due = 14, .cash = 14}, ui_).committed);
  EXPECT_EQ(Number("select quantity from inventory where barcode = 'A'"), 14);
  EXPECT_EQ(Number("select quantity from inventory where barcode = 'B'"), 18);
  EXPECT_EQ(Number("select quantity from inventory where barcode = 'K'"), 0);
}

}  // namespace

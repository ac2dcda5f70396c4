#include "core/backoffice/goods/goods_master.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "core/common/clock.h"
#include "goods_fixture.h"

namespace {

using backoffice::GoodsFields;
using testing_support::ErrorOf;
using testing_support::Refusal;
using testing_support::RefusalOf;
using Texts = std::vector<std::string>;

class GoodsMasterTest : public goods_testing::GoodsFixture {};

TEST_F(GoodsMasterTest, SaveRefusesInTheEditorsOrderAndAFailedWriteRollsBack) {
  const std::tuple<std::function<void(GoodsFields&)>, const char*, const char*> refusals[] = {
      // The PLU is checked first, before even an empty barcode.
      {[](GoodsFields& f) { f.pluno = "x", f.barcode = ""; }, "PLU编号有误", "pluno"},
      {[](GoodsFields& f) { f.pluno = "1.5"; }, "PLU编号有误", "pluno"},
      {[](GoodsFields& f) { f.barcode = "  ", f.goodsname = ""; }, "条码不能为空", "barcode"},
      {[](GoodsFields& f) { f.goodsname = " "; }, "商品名称不能为空", "goodsname"},
      {[](GoodsFields& f) { f.isscalegoods = "是", f.pluno = "0"; }, "称重商品编号必须>0", "pluno"},
      {[](GoodsFields& f) { f.isscalegoods = "是", f.pluno = "4", f.iscombined = "是"; },
       "称重商品不能是组合商品", "iscombined"},
      {[](GoodsFields& f) { f.iniinventory = "ten"; }, "期初库存录入有误", "iniinventory"},
      {[](GoodsFields& f) { f.salesprice = "abc"; }, "售价录入有误", "salesprice"},
      {[](GoodsFields& f) { f.memberprice = "1,5"; }, "会员价录入有误", "memberprice"},
      {[](GoodsFields& f) { f.importprice = "--1"; }, "进价录入有误", "importprice"},
      {[](GoodsFields& f) { f.iscombined = "是"; }, "组合商品必须录入下线商品", "components"},
  };
  for (const auto& [change, message, field] : refusals) {
    GoodsFields fields = Fields("6901", "可乐");
    change(fields);
    EXPECT_EQ(RefusalOf([&] { Save(fields, false); }), (Refusal{message, field}));
  }
  EXPECT_EQ(Count("select (select count(*) from goodsmaster) + count(*) from inventory"), 0);
  Open().ExecScript(
      "create trigger refuse before insert on inventory begin select raise(abort,'no'); end;");
  EXPECT_EQ(ErrorOf([&] { Save(Fields("6901", "可乐"), false); }), "商品保存有误，请确认录入信息");
  EXPECT_EQ(Count("select count(*) from goodsmaster"), 0);
  EXPECT_EQ(Open().QueryText("select useitemlibrary from management"), "是");
}

TEST_F(GoodsMasterTest, SaveRefusesNegativeOrOversizedNumbersAndControlCharactersInBarcodes) {
  const std::string huge(400, '9');
  const std::string e300 = "1" + std::string(300, '0');
  const std::tuple<std::function<void(GoodsFields&)>, const char*, const char*> refusals[] = {
      {[](GoodsFields& f) { f.salesprice = "-1"; }, "售价不能为负数", "salesprice"},
      {[](GoodsFields& f) { f.memberprice = "-2"; }, "会员价不能为负数", "memberprice"},
      {[](GoodsFields& f) { f.importprice = "-0.5"; }, "进价不能为负数", "importprice"},
      {[](GoodsFields& f) { f.iniinventory = "-3"; }, "期初库存不能为负数", "iniinventory"},
      {[&](GoodsFields& f) { f.salesprice = huge; }, "售价录入有误", "salesprice"},
      {[&](GoodsFields& f) { f.importprice = e300; }, "进价录入有误", "importprice"},
      {[](GoodsFields& f) { f.memberprice = "inf"; }, "会员价录入有误", "memberprice"},
      {[](GoodsFields& f) { f.iniinventory = "100000000"; }, "期初库存录入有误", "iniinventory"},
      {[](GoodsFields& f) { f.pluno = "99999999999999999999"; }, "PLU编号有误", "pluno"},
      {[](GoodsFields& f) { f.pluno = "-1"; }, "PLU编号有误", "pluno"},
      {[](GoodsFields& f) { f.barcode = "69" + std::string(1, '\0') + "01"; }, "条码不能含控制字符",
       "barcode"},
      {[](GoodsFields& f) { f.isscalegoods = "称重"; }, "称重商品有误", "isscalegoods"},
  };
  for (const auto& [change, message, field] : refusals) {
    GoodsFields fields = Fields("6901", "可乐");
    change(fields);
    EXPECT_EQ(RefusalOf([&] { Save(fields); }), (Refusal{message, field}));
  }
  EXPECT_EQ(Count("select (select count(*) from goodsmaster) + count(*) from inventory"), 0);
  GoodsFields fields = Fields("6901", "可乐");
  fields.salesprice = "0.30000000000000004";
  fields.memberprice = "0.295";
  fields.iniinventory = "1.23456";
  Save(fields);
  EXPECT_EQ(RowsOf("select salesprice,memberprice,iniinventory from goodsmaster"),
            "0.3|0.3|1.235|\n");
  EXPECT_EQ(Stock("6901"), 1.235);
}

TEST_F(GoodsMasterTest, NewGoodsTakeTheDefaultsRoundedPricesAndTheirStockRow) {
  common::SetFixedClock(common::MakeTime(2024, 5, 6, 9, 30, 0));
  GoodsFields fields;
  fields.barcode = " 6901 ";
  fields.goodsname = " 可乐 ";
  fields.iniinventory = "12.5";
  auto saved = Save(fields, false);
  EXPECT_FALSE(saved.updated);
  EXPECT_EQ(saved.new_class, "未分类");
  // Sales price 0 is typed at the till; member price 0 means the sales price.
  EXPECT_EQ(ui_.notes, (Texts{"售价为0或不录入表示售价在销售时录入",
                              "会员价为0或不录入表示会员价与售价相同"}));
  EXPECT_EQ(RowsOf("select goodsname,unit,class,salesprice,memberprice,importprice,"
                   "averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,givepoints,"
                   "iscombined from goodsmaster"),
            "可乐|个|未分类|0.0|0.0|0.0|0.0|2024-05-06 09:30:00|否|0|12.5|1|否|\n");
  EXPECT_EQ(Stock("6901"), 12.5);
  EXPECT_EQ(Open().QueryText("select useitemlibrary from management"), "否");
  int n = 0;  // import price, member price -> "averageimportprice memberprice"
  for (auto [import, member, stored] :
       {std::tuple{"0", "", "0.0 3.5"}, {"3.5", "3.2", "3.5 3.2"}, {"2.675", "0", "2.68 3.5"}}) {
    GoodsFields priced = Fields("69" + std::to_string(++n), "水");
    priced.importprice = import;
    priced.memberprice = member;
    Save(priced);
    EXPECT_EQ(Stored("averageimportprice || ' ' || memberprice", priced.barcode), stored)
        << import << "|" << member;
  }
  EXPECT_EQ(Save(Fields("69x", "汽水")).new_class, "");  // 饮料 is known by now
}

TEST_F(GoodsMasterTest, SavingAnExistingBarcodeKeepsStockCostAndDateAndDeleteTakesItsOwnRowsOnly) {
  AddGoods("6901", "可乐", "饮料", 10);
  GoodsFields fields = *backoffice::LoadGoodsForEdit("6901");
  EXPECT_EQ((Texts{fields.salesprice, fields.memberprice, fields.importprice, fields.pluno,
                   fields.iniinventory}),
            (Texts{"2.50", "2.30", "1.80", "0", "10"}));
  fields.goodsname = "百事可乐";
  fields.class_name = "汽水";
  fields.importprice = "9";
  fields.iniinventory = "99";
  fields.givepoints = false;
  auto saved = Save(fields);
  EXPECT_TRUE(saved.updated);
  EXPECT_EQ(saved.new_class, "汽水");
  EXPECT_EQ(Stored("goodsname || ' ' || importprice || ' ' || givepoints || ' ' || "
                   "averageimportprice || ' ' || iniinventory || ' ' || recordingdate",
                   "6901"),
            "百事可乐 9.0 0 1.7 10.0 2024-01-01 00:00:00");
  EXPECT_EQ(Stock("6901"), 10);
  EXPECT_EQ(Count("select count(*) from goodsmaster"), 1);
  AddGoods("A", "苹果");
  AddGoods("C", "果篮", "礼品", 0, "是");
  AddGoods("D", "大果篮", "礼品", 0, "是");
  Open().ExecScript(
      "insert into combinedgoods (barcode,underlyingcode,quantity) values ('C','A',3),"
      "('D','C',1),('D','A',2)");
  // A statement that fails half-way keeps all three tables as they were.
  Open().ExecScript(
      "create trigger refuse before delete on combinedgoods begin select raise(abort,'no'); end");
  EXPECT_THROW(backoffice::DeleteGoods("C"), store::DbError);
  EXPECT_EQ(Stored("goodsname", "C"), "果篮");
  EXPECT_EQ(Stock("C"), 0);
  Open().ExecScript("drop trigger refuse");
  backoffice::DeleteGoods("C");
  EXPECT_EQ(Stored("goodsname", "C"), "<none>");
  EXPECT_EQ(Stock("C"), -1);
  EXPECT_EQ(RowsOf("select barcode, count(*) from combinedgoods group by 1"), "D|2|\n");
}

TEST_F(GoodsMasterTest, TheListShowsEveryClassOrOneInEntryOrderAndReadsRowsByPage) {
  AddGoods("B", "面包", "食品", 4);
  AddGoods("A", "可乐", "饮料");
  AddGoods("C", "饼干", "食品");
  Open().Exec("delete from inventory where barcode = 'C'");
  EXPECT_EQ(backoffice::LoadGoodsClasses(), (Texts{"食品", "饮料"}));
  auto all = backoffice::LoadGoodsList(std::nullopt);
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ((Texts{all[0].barcode, all[1].barcode, all[2].goodsname}), (Texts{"B", "A", "饼干"}));
  auto food = backoffice::LoadGoodsList(std::string("食品"));
  ASSERT_EQ(food.size(), 2u);
  EXPECT_EQ(food[1].goodsname, "饼干");
  EXPECT_TRUE(backoffice::LoadGoodsList(std::string("全部")).empty());
  // Full rows come back in the order asked; a goods without a stock row shows none in stock,
  // and one deleted meanwhile comes back empty rather than failing the page.
  backoffice::DeleteGoods("A");
  auto rows = backoffice::LoadGoodsRows({all[2].rowid, all[1].rowid, all[0].rowid});
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ((Texts{rows[0].barcode, rows[1].barcode, rows[2].barcode}), (Texts{"C", "", "B"}));
  EXPECT_EQ((std::vector<double>{rows[0].quantity, double(rows[1].rowid), rows[2].quantity}),
            (std::vector<double>{0, 0, 4}));
  EXPECT_EQ(rows[2].class_name + rows[2].unit + rows[2].recordingdate, "食品瓶2024-01-01 00:00:00");
}

TEST_F(GoodsMasterTest, EditorHelpersSuggestPluAndReadTheItemLibrary) {
  EXPECT_EQ(backoffice::SuggestPluNumber(), "1");
  AddGoods("A", "苹果");
  Open().ExecScript(
      "update goodsmaster set isscalegoods = '是', pluno = 41;"
      "insert into itemlibrary (barcode,goodsname,unit) values ('6902','雪碧','听');");
  AddGoods("B", "香蕉");
  Open().Exec("update goodsmaster set pluno = 90 where barcode = 'B'");  // not a scale goods
  EXPECT_EQ(backoffice::SuggestPluNumber(), "42");
  auto entry = backoffice::LookUpItemLibrary("6902");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->goodsname + entry->unit, "雪碧听");
  EXPECT_FALSE(backoffice::LookUpItemLibrary("6903"));
  EXPECT_TRUE(backoffice::ItemLibraryEnabled());
  EXPECT_EQ(backoffice::LoadUnitChoices(), Texts{"瓶"});
}

}  // namespace

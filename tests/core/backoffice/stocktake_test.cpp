#include "core/backoffice/goods/stocktake.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/backoffice/goods/purchase_bills.h"
#include "core/backoffice/goods/stock_list.h"
#include "core/common/clock.h"
#include "core/common/format.h"
#include "core/files/spreadsheet.h"
#include "goods_fixture.h"

namespace {

using backoffice::SaveCount;
using testing_support::ErrorOf;

class StocktakeTest : public goods_testing::GoodsFixture {
 protected:
  void SetUp() override {
    GoodsFixture::SetUp();
    AddGoods("A", "苹果", "水果", 10);
    AddGoods("B", "香蕉", "水果", 4);
    AddGoods("K", "果篮", "礼品", 0, "是");
    AddGoods("C", "梨", "水果", 2.5);
  }
  // The open count as "barcode:book:counted:difference " texts.
  static std::string Counts() {
    std::string text;
    for (const auto& row : backoffice::LoadStocktake()) {
      text += row.barcode + ":" + backoffice::QuantityText(row.book) + ":" +
              backoffice::QuantityText(row.counted) + ":" +
              backoffice::QuantityText(row.difference) + " ";
    }
    return text;
  }
  static std::string Refusal(const char* barcode, const char* quantity) {
    auto refusal = testing_support::RefusalOf([&] { SaveCount(barcode, quantity); });
    return refusal.message.empty() ? "saved" : refusal.message + "@" + refusal.field;
  }
};

TEST_F(StocktakeTest,
       GeneratesOnceChecksEachCountAndTheTextImportZeroesOthersButTheSpreadsheetNot) {
  EXPECT_TRUE(backoffice::GenerateStocktake());
  EXPECT_EQ(Counts(), "A:10:10:0 B:4:4:0 C:2.5:2.5:0 ");
  EXPECT_EQ(Refusal("A", "8") + " " + Refusal("B", "0"), "saved saved");
  EXPECT_FALSE(backoffice::GenerateStocktake());
  EXPECT_EQ(Counts(), "A:10:8:-2 B:4:0:-4 C:2.5:2.5:0 ");
  for (auto [barcode, quantity, refusal] :
       {std::tuple{" ", "1", "条码不能为空@barcode"},
        std::tuple{"K", "1", "组合商品不能盘点,请盘点下线商品@barcode"},
        std::tuple{"Z", "1", "此商品不存在@barcode"},
        std::tuple{"C", "-1", "盘点数量必须大于或等于0@quantity"},
        std::tuple{"C", "", "请录入数量@quantity"},
        std::tuple{"C", "abc", "数量录入有误@quantity"}}) {
    EXPECT_EQ(Refusal(barcode, quantity), refusal);
  }
  // A goods entered after the count was generated is not on it; its count is not lost quietly.
  AddGoods("D", "桃", "水果", 1);
  EXPECT_EQ(Refusal("D", "1"), "此商品不在盘点单中@barcode");
  EXPECT_EQ(backoffice::LoadCount("D").quantity + "|" + backoffice::LoadCount("A").quantity, "|8");
  EXPECT_THROW(backoffice::LoadCount("K"), common::UserError);
  EXPECT_EQ(Counts(), "A:10:8:-2 B:4:0:-4 C:2.5:2.5:0 ");
  backoffice::GenerateStocktake();
  SaveCount("C", "1");
  std::ofstream(dir() / "count.txt") << "条码,数量\r\nB,6\r\nK,1\r\nZ,2\r\n";
  auto text = backoffice::ImportCountsText(dir() / "count.txt");
  EXPECT_EQ(text.counted * 10 + text.skipped, 13u);
  EXPECT_EQ(Counts(), "A:10:0:-10 B:4:6:2 C:2.5:0:-2.5 ");
  // A bad line refuses the file, and the zeroing with it.
  std::ofstream(dir() / "bad.txt") << "A,3\r\nB,-2\r\n";
  EXPECT_EQ(ErrorOf([&] { backoffice::ImportCountsText(dir() / "bad.txt"); }),
            "第 2 行: 盘点数量必须大于或等于0");
  EXPECT_EQ(Counts(), "A:10:0:-10 B:4:6:2 C:2.5:0:-2.5 ");
  files::SpreadsheetWriter sheet(dir() / "count.xlsx", "商品信息",
                                 {{"条码"}, {"名称"}, {"盘存数量", true}});
  sheet.Row({"A", "苹果", "9.5"});
  sheet.Commit();
  backoffice::ImportCountsExcel(dir() / "count.xlsx");
  EXPECT_EQ(Counts(), "A:10:9.5:-0.5 B:4:6:2 C:2.5:0:-2.5 ");
}

TEST_F(StocktakeTest, VerifyingCorrectsByTheDifferenceWhateverTheStockRowsOrChangesNothing) {
  backoffice::GenerateStocktake();
  SaveCount("A", "8");
  SaveCount("C", "2.125");
  Open().ExecScript(
      "create trigger refuse after update on inventory when new.barcode = 'C' "
      "begin select raise(abort, 'injected'); end;");
  EXPECT_THROW(backoffice::VerifyStocktake(), store::DbError);
  EXPECT_EQ(Stock("A"), 10);
  EXPECT_EQ(Counts(), "A:10:8:-2 B:4:4:0 C:2.5:2.125:-0.375 ");
  EXPECT_EQ(Count("select count(*) from invcountbak"), 0);
  Open().ExecScript("drop trigger refuse");
  Open().Exec("update inventory set quantity = quantity - 3 where barcode = 'A'");  // sold
  common::SetFixedClock(common::MakeTime(2024, 6, 1, 18, 0, 0));
  backoffice::VerifyStocktake();
  EXPECT_EQ((std::vector<double>{Stock("A"), Stock("B"), Stock("C"), Stock("K")}),
            (std::vector<double>{5, 4, 2.125, 0}));
  EXPECT_EQ(Count("select count(*) from invcount"), 0);
  EXPECT_EQ(Count("select count(*) from invcountbak where confirmdate = '2024-06-01 18:00:00'"), 3);
  Open().ExecScript(
      "delete from inventory;"
      "insert into inventory values ('C',2.5), ('B',4), ('A',10), ('A',1);"
      "insert into goodsmaster (barcode,goodsname,unit,iscombined) values ('D','桃','个','否');");
  backoffice::GenerateStocktake();
  EXPECT_EQ(Counts(), "A:10:10:0 B:4:4:0 C:2.5:2.5:0 D:0:0:0 ");
  SaveCount("A", "12");
  SaveCount("D", "3");
  backoffice::VerifyStocktake();
  EXPECT_EQ(Count("select sum(quantity) from inventory where barcode = 'A'"), 15);  // both rows
  auto list = backoffice::LoadStockList(std::nullopt);
  std::string shown;
  for (const auto& row : list.rows) shown += row.barcode + backoffice::QuantityText(row.quantity);
  EXPECT_EQ(shown, "A12B4K0C2.5D3");
}

TEST_F(StocktakeTest, StockListTotalIsTheSumOfTheValuesAsShown) {
  Open().ExecScript(
      "update goodsmaster set averageimportprice = 0.125;"
      "update inventory set quantity = 1;");
  const backoffice::StockList list = backoffice::LoadStockList(std::nullopt);
  std::string shown;
  for (const auto& row : list.rows) shown += common::Money(row.cost) + " ";
  EXPECT_EQ(shown + common::Money(list.total_cost), "0.13 0.13 0.13 0.13 0.52");
}

TEST_F(StocktakeTest, ExportsRoundTripAndNoCountStartsOverOpenBills) {
  backoffice::GenerateStocktake();
  SaveCount("A", "7");
  backoffice::ExportStocktakeText(dir() / "盘点.txt");
  EXPECT_EQ(testing_support::FileBytes(dir() / "盘点.txt"),
            "A,\xC6\xBB\xB9\xFB,\xC6\xBF,10.000,7.000,-3.000\r\n"
            "B,\xCF\xE3\xBD\xB6,\xC6\xBF,4.000,4.000,0.000\r\n"
            "C,\xC0\xE6,\xC6\xBF,2.500,2.500,0.000\r\n");
  backoffice::ExportStocktakeSpreadsheet(dir() / "盘点.xlsx");
  SaveCount("A", "1");
  backoffice::ImportCountsExcel(dir() / "盘点.xlsx");
  EXPECT_EQ(Counts(), "A:10:7:-3 B:4:4:0 C:2.5:2.5:0 ");
  backoffice::GenerateStocktake();
  SaveCount("A", "1");
  backoffice::SavePurchaseLine({"B", "1", "1", ""});
  backoffice::SaveReturnLine({"B", "1", "1", ""});
  for (const char* refusal : {"有未验收的进货单,请处理后盘点", "有未验收的返厂单,请处理后盘点"}) {
    EXPECT_EQ(ErrorOf(backoffice::RegenerateStocktake), refusal);
    EXPECT_EQ(ErrorOf(backoffice::GenerateStocktake), refusal);  // an open count too
    Open().ExecScript(std::string(refusal).find("进货") != std::string::npos
                          ? "delete from import"
                          : "delete from return");
  }
  EXPECT_EQ(Counts(), "A:10:1:-9 B:4:4:0 C:2.5:2.5:0 ");
  backoffice::RegenerateStocktake();
  EXPECT_EQ(Counts(), "A:10:10:0 B:4:4:0 C:2.5:2.5:0 ");
}

}  // namespace

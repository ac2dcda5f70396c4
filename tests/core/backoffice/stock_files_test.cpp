#include <gtest/gtest.h>

#include <fstream>

#include "core/backoffice/goods/goods_files.h"
#include "core/backoffice/goods/purchase_bills.h"
#include "core/backoffice/goods/stocktake.h"
#include "goods_fixture.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ErrorOf;

const fs::path kFixtures = TILLWISE_FIXTURES;

class StockFilesTest : public goods_testing::GoodsFixture {
 protected:
  std::string Counts() const {
    return RowsOf("select barcode,accquant,invquant,plquant from invcount order by barcode");
  }
};

TEST_F(StockFilesTest, AStocktakeComesBackFromItsOwnFilesUnchanged) {
  AddGoods("A", "苹果", "水果", 10);
  AddGoods("B", "香蕉", "水果", -5);  // sold before it was booked in: counted as -5
  backoffice::GenerateStocktake();
  backoffice::SaveCount("A", "7.125");
  const std::string counts = Counts();
  EXPECT_EQ(counts, "A|10.0|7.125|-2.875|\nB|-5.0|-5.0|0.0|\n");
  backoffice::ExportStocktakeText(dir() / "盘点.txt");
  EXPECT_EQ(testing_support::FileBytes(dir() / "盘点.txt"),
            "A,\xC6\xBB\xB9\xFB,\xC6\xBF,10.000,7.125,-2.875\r\n"
            "B,\xCF\xE3\xBD\xB6,\xC6\xBF,-5.000,-5.000,0.000\r\n");
  backoffice::ExportStocktakeSpreadsheet(dir() / "盘点.xlsx");
  for (const char* name : {"盘点.txt", "盘点.xlsx"}) {
    backoffice::SaveCount("A", "1");
    EXPECT_EQ(ErrorOf([&] {
                fs::path(name).extension() == ".txt" ? backoffice::ImportCountsText(dir() / name)
                                                     : backoffice::ImportCountsExcel(dir() / name);
              }),
              "")
        << name;
    EXPECT_EQ(Counts(), counts) << name;
  }
  // A negative count the stocktake does not already hold is still refused.
  std::ofstream(dir() / "bad.txt") << "A,7\r\nB,-4\r\n";
  EXPECT_EQ(ErrorOf([&] { backoffice::ImportCountsText(dir() / "bad.txt"); }),
            "第 2 行: 盘点数量必须大于或等于0");
  EXPECT_EQ(Counts(), counts);
}

TEST_F(StockFilesTest, NumbersAreReadWhateverTheirCellKindAndErrorsOrBooleansRefuseTheLine) {
  // cell_kinds.xlsx, sheet 商品信息: 7001 a currency price and a calculated stock, 7002 a price
  // of #N/A. Sheet 进货单: 1001 a currency amount of 300, 1002 formulas with stored results 20
  // and 150, 1003 an amount of #N/A, 1004 a quantity of FALSE.
  const fs::path kinds = kFixtures / "cell_kinds.xlsx";
  EXPECT_EQ(ErrorOf([&] { backoffice::ImportGoodsSpreadsheet(kinds); }), "第 3 行: 售价有误");
  EXPECT_EQ(Count("select count(*) from goodsmaster"), 0);
  AddGoods("1001", "可乐");
  AddGoods("1002", "雪碧");
  AddGoods("1003", "芬达");
  EXPECT_EQ(ErrorOf([&] { backoffice::ImportPurchaseExcel(kinds); }), "第 4 行: 金额有误");
  Open().Exec("delete from goodsmaster where barcode = '1003'");
  AddGoods("1004", "橙汁");
  EXPECT_EQ(ErrorOf([&] { backoffice::ImportPurchaseExcel(kinds); }), "第 5 行: 数量有误");
  EXPECT_EQ(Count("select count(*) from import"), 0);
  Open().Exec("delete from goodsmaster where barcode = '1004'");
  backoffice::ImportPurchaseExcel(kinds);
  EXPECT_EQ(RowsOf("select barcode,quantity,importvalue from import order by barcode"),
            "1001|10.0|300.0|\n1002|20.0|150.0|\n");
}

}  // namespace

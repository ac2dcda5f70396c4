#include "core/backoffice/goods/goods_files.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/common/clock.h"
#include "core/common/text_encoding.h"
#include "core/files/progress.h"
#include "core/files/spreadsheet.h"
#include "goods_fixture.h"

namespace {

namespace fs = std::filesystem;
using backoffice::GoodsImported;
using testing_support::FileBytes;

const fs::path kFixtures = TILLWISE_FIXTURES;

class GoodsFilesTest : public goods_testing::GoodsFixture {
 protected:
  void SetUp() override {
    GoodsFixture::SetUp();
    AddGoods("6901", "可乐", "饮料", 10);
    AddGoods("6902", "雪碧,大瓶", "饮料", 3.5);
    AddGoods("6903", "\"好\"饼干", "零食", 0);
    Open().Exec("update goodsmaster set isscalegoods = '是', pluno = 7 where barcode = '6903'");
  }

  // Every goods as the files carry it, without the recording date an import sets anew.
  std::string Goods() const {
    return RowsOf(
        "select a.barcode,a.goodsname,a.salesprice,a.importprice,a.averageimportprice,a.unit,"
        "a.class,a.isscalegoods,a.pluno,b.quantity from goodsmaster a left join inventory b on "
        "(a.barcode = b.barcode) order by a.barcode");
  }
  void EmptyShop() const { Open().ExecScript("delete from goodsmaster; delete from inventory;"); }
  void WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir() / name, std::ios::binary) << bytes;
  }
};

TEST_F(GoodsFilesTest,
       ExportsRoundTripAndImportsSkipStoredBarcodesReadLegacyWorkbooksOrRefuseWhole) {
  const std::string good = "7001,牛奶,4.5,3,3,盒,乳制品,否,0,12\r\n";
  const std::pair<std::string, std::string> cases[] = {
      {good + "7002,面包,2.x,1,1,个,食品,否,0,1\r\n", "第 2 行: 售价有误"},
      {good + good + "7003,面包,2,1,1,个,食品,否,0\r\n", "第 3 行: 商品字段不足"},
      {good + ",面包,2,1,1,个,食品,否,0,1\r\n", "第 2 行: 条码不能为空"},
      {good + "7004,糖,2,1,1,个,食品,yes,0,1\r\n", "第 2 行: 称重商品有误"},
      {good + "7005,糖,2,1,1,个,食品,是,1.5,1\r\n", "第 2 行: PLU编号有误"},
      {good + "7006,糖,2,1,1,个,食品,是,3,2024-01-01 00:00:00,many\r\n", "第 2 行: 库存有误"},
      // The editor's own checks: no negative or oversized numbers, scale goods need a PLU.
      {good + "7007,糖,-2,1,1,个,食品,否,0,1\r\n", "第 2 行: 售价不能为负数"},
      {good + "7007,糖,2,1,-1,个,食品,否,0,1\r\n", "第 2 行: 平均进价不能为负数"},
      {good + "7007,糖,2,1,1,个,食品,否,0,-5\r\n", "第 2 行: 库存不能为负数"},
      {good + "7007,糖,2,1" + std::string(300, '0') + ",1,个,食品,否,0,1\r\n", "第 2 行: 进价有误"},
      {good + "7007,糖,2,1,1,个,食品,否,99999999999999999999,1\r\n", "第 2 行: PLU编号有误"},
      {good + "7007,糖,2,1,1,个,食品,是,0,1\r\n", "第 2 行: 称重商品编号必须>0"},
      {good + "70" + std::string(1, '\0') + "07,糖,2,1,1,个,食品,否,0,1\r\n",
       "第 2 行: 条码不能含控制字符"},
  };
  for (const auto& [bytes, message] : cases) {
    WriteFile("bad.txt", bytes);
    EXPECT_EQ(testing_support::ErrorOf([&] { backoffice::ImportGoodsText(dir() / "bad.txt"); }),
              message);
  }
  EXPECT_EQ(Count("select (select count(*) from goodsmaster) + count(*) from inventory"), 6);
  std::string lines;
  for (int i = 0; i < 2000; ++i) lines += std::to_string(8000 + i) + ",糖,1,1,1,个,食品,否,0,1\r\n";
  WriteFile("many.txt", lines);
  bool writing = false;
  auto stop_while_writing = [&](size_t done, size_t total) {
    writing = writing || total == 2000;
    return !(writing && done >= 1000);
  };
  EXPECT_THROW(backoffice::ImportGoodsText(dir() / "many.txt", stop_while_writing),
               files::Cancelled);
  EXPECT_TRUE(writing);
  EXPECT_EQ(Count("select count(*) from goodsmaster"), 3);
  backoffice::ExportGoodsText(dir() / "商品.txt");
  EXPECT_EQ(common::GbkToUtf8(FileBytes(dir() / "商品.txt")),
            "6901,可乐,2.50,1.80,1.70,瓶,饮料,否,0,2024-01-01 00:00:00,10.00\r\n"
            "6902,\"雪碧,大瓶\",2.50,1.80,1.70,瓶,饮料,否,0,2024-01-01 00:00:00,3.50\r\n"
            "6903,\"\"\"好\"\"饼干\",2.50,1.80,1.70,瓶,零食,是,7,2024-01-01 00:00:00,0.00\r\n");
  const std::string before = Goods();
  for (const char* name : {"商品.txt", "商品.xlsx"}) {
    const bool text = fs::path(name).extension() == ".txt";
    text ? backoffice::ExportGoodsText(dir() / name)
         : backoffice::ExportGoodsSpreadsheet(dir() / name);
    EmptyShop();
    GoodsImported imported = text ? backoffice::ImportGoodsText(dir() / name)
                                  : backoffice::ImportGoodsSpreadsheet(dir() / name);
    EXPECT_EQ(imported.added, 3u) << name;
    EXPECT_EQ(Goods(), before) << name;
    // New goods carry the editor's defaults for what the files do not hold.
    EXPECT_EQ(Stored("memberprice", "6901") + Stored("givepoints", "6901") +
                  Stored("iscombined", "6901") + Stored("iniinventory", "6902"),
              "2.51否3.5")
        << name;
  }
  // GBK and UTF-8 files read alike, as the text file tests prove.
  common::SetFixedClock(common::MakeTime(2024, 6, 1, 8, 0, 0));
  EmptyShop();
  AddGoods("6901", "可乐");
  WriteFile("goods.txt", common::Utf8ToGbk("7001,牛奶,4.5,3,,盒,乳制品,,,12\r\n"
                                          "6901,别的可乐,9,9,9,瓶,饮料,否,0,1\r\n"
                                          "7002,\"面包,全麦\",,,,,,,,\r\n"
                                          "7001,又一个牛奶,1,1,1,盒,乳制品,否,0,1\n"));
  GoodsImported result = backoffice::ImportGoodsText(dir() / "goods.txt");
  EXPECT_EQ(result.added * 10 + result.skipped, 22u);
  EXPECT_EQ(Goods(),
            "6901|可乐|2.5|1.8|1.7|瓶|饮料|否|0|10.0|\n"
            "7001|牛奶|4.5|3.0|3.0|盒|乳制品|否|0|12.0|\n"
            "7002|面包,全麦|0.0|0.0|0.0|个|未分类|否|0|0.0|\n");
  EXPECT_EQ(Stored("recordingdate", "7002"), "2024-06-01 08:00:00");
  EmptyShop();
  GoodsImported imported = backoffice::ImportGoodsSpreadsheet(kFixtures / "goods_import.xls");
  EXPECT_EQ(imported.added, 2u);
  EXPECT_EQ(Goods(),
            "2000001|散装糖|12.8|0.0|0.0|千克|零食|是|7|5.5|\n"
            "6901234567890|可口可乐|3.5|0.0|0.0|瓶|饮料|否|0|24.0|\n");
  EXPECT_EQ(Stored("iniinventory", "6901234567890"), "24.0");
  // Workbooks pass the same checks, and their prices are kept to the fen.
  files::SpreadsheetWriter priced(dir() / "priced.xlsx", "商品信息",
                                  {{"条码", false}, {"名称", false}, {"售价", false}});
  priced.Row({"7001", "牛奶", "0.30000000000000004"});
  priced.Row({"7002", "面包", "-0.01"});
  priced.Commit();
  EXPECT_EQ(
      testing_support::ErrorOf([&] { backoffice::ImportGoodsSpreadsheet(dir() / "priced.xlsx"); }),
      "第 3 行: 售价不能为负数");
  files::SpreadsheetWriter fen(dir() / "fen.xlsx", "商品信息",
                               {{"条码", false}, {"名称", false}, {"售价", false}});
  fen.Row({"7001", "牛奶", "0.30000000000000004"});
  fen.Commit();
  backoffice::ImportGoodsSpreadsheet(dir() / "fen.xlsx");
  EXPECT_EQ(Stored("salesprice = 0.3 and memberprice = 0.3", "7001"), "1");
  Open().Exec("delete from goodsmaster where barcode = '7001'");
  // A workbook made by Python's openpyxl, whose texts are inline strings.
  EmptyShop();
  EXPECT_EQ(backoffice::ImportGoodsSpreadsheet(kFixtures / "goods_openpyxl.xlsx").added, 2u);
  EXPECT_EQ(Goods(),
            "6901234567890|可口可乐|3.5|2.1|2.1|瓶|未分类|否|0|24.0|\n"
            "6901234567891|雪碧 大瓶|4.0|2.5|2.5|瓶|未分类|否|0|7.125|\n");
  // A workbook without a required column is refused whole.
  files::SpreadsheetWriter names(dir() / "names.xlsx", "商品信息", {{"条码", false}});
  names.Row({"7001"});
  names.Commit();
  EXPECT_EQ(
      testing_support::ErrorOf([&] { backoffice::ImportGoodsSpreadsheet(dir() / "names.xlsx"); }),
      "商品导入文件中必须包括: 条码,名称");
  EXPECT_EQ(Count("select count(*) from goodsmaster"), 2);
}

}  // namespace

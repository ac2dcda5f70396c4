#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>

#include "store/database.h"
#include "store/schema.h"
#include "store/upgrade.h"
#include "support/test_database.h"
#include "old_schema.h"

namespace {
namespace fs = std::filesystem;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

// table -> its column names (lower case), read from the file itself.
std::map<std::string, std::set<std::string>> Columns(store::Database& db) {
  std::map<std::string, std::set<std::string>> columns;
  auto tables = db.Query("select name from sqlite_master where type = 'table'");
  while (tables.Step()) {
    std::string table = tables.Text(0);
    auto info = db.Query("select name from pragma_table_info(?)", table);
    while (info.Step()) columns[table].insert(Lower(info.Text(0)));
  }
  return columns;
}

// Every row of every table, in a stable text form.
std::string Dump(store::Database& db) {
  std::string dump;
  auto tables = db.Query("select name from sqlite_master where type = 'table' order by name");
  while (tables.Step()) {
    std::string table = tables.Text(0);
    dump += "[" + table + "]\n";
    auto rows = db.Query("select * from \"" + table + "\" order by rowid");
    while (rows.Step()) {
      for (int i = 0; i < rows.ColumnCount(); ++i) {
        dump += rows.IsNull(i) ? std::string("NULL") : rows.Text(i);
        dump += "|";
      }
      dump += "\n";
    }
  }
  return dump;
}

class UpgradeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = testing_support::MakeTempDir();
    store::SetDataDirectory(dir_);
    store::Database db(store::DatabasePath(), store::OpenMode::kCreate);
    db.ExecScript(kOldStyleTables);
  }
  void TearDown() override {
    store::SetDataDirectory({});
    fs::remove_all(dir_);
  }
  fs::path dir_;
};

TEST_F(UpgradeTest, OldFileGainsEveryTableAndColumnOfANewOne) {
  {
    store::Database db;
    store::UpgradeSchema(db);
  }
  store::Database old_db;
  fs::path fresh = dir_ / "fresh.db";
  store::CreateNewDatabase(fresh);
  store::Database new_db(fresh);
  auto upgraded = Columns(old_db);
  for (const auto& [table, columns] : Columns(new_db)) {
    ASSERT_TRUE(upgraded.count(table)) << "missing table " << table;
    for (const std::string& column : columns) {
      EXPECT_TRUE(upgraded[table].count(column)) << table << "." << column;
    }
  }
}

TEST_F(UpgradeTest, OldFileGetsTheDefaultsOfEachAddedColumn) {
  store::Database db;
  store::UpgradeSchema(db);

  auto goods = db.Query(
      "select barcode,memberprice,salesprice,averageimportprice,isscalegoods,pluno,"
      "iniinventory,givepoints,iscombined from goodsmaster order by rowid");
  int count = 0;
  while (goods.Step()) {
    ++count;
    EXPECT_DOUBLE_EQ(goods.Double(1), goods.Double(2)) << goods.Text(0);
    EXPECT_EQ(goods.Double(3), 0.0);
    EXPECT_EQ(goods.Text(4), "否");
    EXPECT_EQ(goods.Int(5), 0);
    EXPECT_EQ(goods.Double(6), 0.0);
    EXPECT_EQ(goods.Int(7), 1);
    EXPECT_EQ(goods.Text(8), "否");
  }
  EXPECT_EQ(count, 3);

  // Stock rows are backfilled with 0; the existing one keeps its quantity.
  EXPECT_EQ(db.QueryDouble("select quantity from inventory where barcode = '6901'"), 12.0);
  EXPECT_EQ(db.QueryDouble("select quantity from inventory where barcode = '6903'"), 0.0);
  EXPECT_EQ(db.QueryInt("select count(*) from inventory"), 3);

  auto settings = db.Query(
      "select opencashiercmd,priceforcost,scaleip,scalekind,usescalefront,usecomscale,"
      "comscaleport,useitemlibrary,emptylines,wipevalue,basevalue,pointsvalue,printercontrol "
      "from management");
  ASSERT_TRUE(settings.Step());
  EXPECT_EQ(settings.Text(0), "27, 112, 0, 128, 128");
  EXPECT_EQ(settings.Text(1), "averageprice");
  EXPECT_EQ(settings.Text(2), store::kDefaultScaleAddress);
  EXPECT_EQ(settings.Text(3), "");
  EXPECT_EQ(settings.Text(4), "否");
  EXPECT_EQ(settings.Text(5), "否");
  EXPECT_EQ(settings.Text(6), "com2");
  EXPECT_EQ(settings.Text(7), "是");
  EXPECT_EQ(settings.Int(8), 3);
  EXPECT_EQ(settings.Int(9), 2);
  EXPECT_EQ(settings.Int(10), 1);
  EXPECT_EQ(settings.Int(11), 1);
  EXPECT_EQ(settings.Text(12), "POS58");  // existing settings are kept

  EXPECT_EQ(db.QueryInt("select dataclear from dutyrights where operatorduty = '经理'"), 0);
  EXPECT_EQ(db.QueryInt("select baseinfo from dutyrights where operatorduty = '收银员'"), 1);
  EXPECT_EQ(db.QueryText("select dismode from membermaster"), "没有优惠");
  EXPECT_EQ(db.QueryDouble("select disrate from membermaster"), 1.0);
  EXPECT_EQ(db.QueryDouble("select wipevalue from transactiondetails where transactionnumber = 1 "
                           "and transactiontype = '销售总计'"),
            0.0);
  EXPECT_EQ(db.QueryDouble("select pettyvalue from shiftsum"), 0.0);

  // The first label table: seven items for each kind at one spot, then itemwidth 10 and the
  // title flag; the later layout groups see rows and add none.
  EXPECT_EQ(db.QueryInt("select count(*) from labeltemplate where labelkind = '货架签'"), 7);
  EXPECT_EQ(db.QueryInt("select count(*) from labeltemplate where labelkind = '商品签'"), 7);
  EXPECT_EQ(db.QueryInt("select count(*) from labeltemplate where cx = 10 and cy = 20 and "
                        "itemwidth = 10 and printtitle = 1"),
            14);
  // Existing data is untouched.
  EXPECT_EQ(db.QueryText("select operatorpassword from operatormaster where workno = '0'"),
            "secret");
  EXPECT_EQ(db.QueryText("select goodsname from goodsmaster where barcode = '6903'"), "老干妈's");
}

TEST_F(UpgradeTest, SecondRunChangesNothingButTheRepairGroups) {
  std::string first;
  {
    store::Database db;
    store::UpgradeSchema(db);
    first = Dump(db);
  }
  {
    store::Database db;
    store::UpgradeSchema(db);
    EXPECT_EQ(Dump(db), first);

    // The repair groups run every time: a goods row without stock, a NULL cost and a NULL
    // combined flag are mended by the next run.
    db.Exec("insert into goodsmaster (barcode,goodsname,salesprice) values ('7001','新货',1)");
    db.Exec("update goodsmaster set averageimportprice = null, iscombined = null "
            "where barcode = '6902'");
    store::UpgradeSchema(db);
    EXPECT_EQ(db.QueryDouble("select quantity from inventory where barcode = '7001'"), 0.0);
    EXPECT_EQ(db.QueryDouble("select averageimportprice from goodsmaster where barcode = '6902'"),
              0.0);
    EXPECT_EQ(db.QueryText("select iscombined from goodsmaster where barcode = '6902'"), "否");
  }
}

TEST_F(UpgradeTest, LabelTableWithoutShelfRowsGetsTheLaidOutDefaults) {
  store::Database db;
  // A file whose label table exists with only its first eight columns and no shelf labels.
  db.ExecScript(
      "create table labeltemplate (tempname text,cx integer,cy integer,fontsize text,"
      "visible integer,labelkind text,labelwidth integer,labelheight integer);"
      "insert into labeltemplate values ('售价',5,5,'小',1,'商品签',32,19);");
  store::UpgradeSchema(db);
  EXPECT_EQ(db.QueryInt("select count(*) from labeltemplate where labelkind = '货架签' and "
                        "itemwidth = 30 and fontsize = '大'"),
            7);
  EXPECT_EQ(db.QueryInt("select cx from labeltemplate where labelkind = '货架签' and "
                        "tempname = '类别'"),
            236);
  // The goods-label kind already had a row, so it gets no defaults.
  EXPECT_EQ(db.QueryInt("select count(*) from labeltemplate where labelkind = '商品签'"), 1);
}

TEST_F(UpgradeTest, AddsTheLookupIndexes) {
  store::Database db;
  store::UpgradeSchema(db);
  for (const char* index : {"goodsmaster_barcode_idx", "inventory_barcode_idx",
                            "transactiondetails_tranno_idx", "membermaster_phone_idx",
                            "transactionpendinglist_list_idx", "importbak_date_idx"}) {
    EXPECT_TRUE(db.HasRow("select 1 from sqlite_master where type = 'index' and name = ?", index))
        << index;
  }
  // The bill-number look-up is answered from the index, not by scanning the journal.
  auto plan = db.Query("explain query plan select max(transactionnumber) from transactiondetails");
  std::string detail;
  while (plan.Step()) detail += plan.Text(3);
  EXPECT_NE(detail.find("transactiondetails_tranno_idx"), std::string::npos) << detail;
}

}  // namespace

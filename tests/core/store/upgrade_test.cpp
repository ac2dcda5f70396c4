#include "core/store/upgrade.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "core/store/schema.h"
#include "old_schema.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using testing_support::DumpTables;

// table -> its column names (lower case), read from the file itself.
std::map<std::string, std::set<std::string>> Columns(store::Database& db) {
  std::map<std::string, std::set<std::string>> columns;
  auto tables = db.Query("select name from sqlite_master where type = 'table'");
  while (tables.Step()) {
    auto info = db.Query("select lower(name) from pragma_table_info(?)", tables.Text(0));
    while (info.Step()) columns[tables.Text(0)].insert(info.Text(0));
  }
  return columns;
}

using UpgradeTest = OldFileTest;

TEST_F(UpgradeTest, OldFileGainsEveryTableColumnAndIndexWithItsDefaultsAndASecondRunOnlyRepairs) {
  store::Database old_db;
  store::UpgradeSchema(old_db);
  fs::path fresh = dir() / "fresh.db";
  store::CreateNewDatabase(fresh);
  store::Database new_db(fresh);
  auto upgraded = Columns(old_db);
  for (const auto& [table, columns] : Columns(new_db)) {
    ASSERT_TRUE(upgraded.count(table)) << "missing table " << table;
    for (const std::string& column : columns) {
      EXPECT_TRUE(upgraded[table].count(column)) << table << "." << column;
    }
  }
  for (const char* index :
       {"goodsmaster_barcode_idx", "inventory_barcode_idx", "transactiondetails_tranno_idx",
        "membermaster_phone_idx", "transactionpendinglist_list_idx", "importbak_date_idx"}) {
    EXPECT_TRUE(old_db.HasRow("select 1 from sqlite_master where name = ?", index)) << index;
  }
  // The bill-number look-up is answered from the index, not by scanning the journal.
  auto plan =
      old_db.Query("explain query plan select max(transactionnumber) from transactiondetails");
  std::string detail;
  while (plan.Step()) detail += plan.Text(3);
  EXPECT_NE(detail.find("transactiondetails_tranno_idx"), std::string::npos) << detail;
  store::Database db;
  store::UpgradeSchema(db);
  // Goods from before member prices sell to members at the normal price.
  EXPECT_EQ(db.QueryInt("select count(*) from goodsmaster where memberprice = salesprice and "
                        "averageimportprice = 0 and isscalegoods = '否' and pluno = 0 and "
                        "iniinventory = 0 and givepoints = 1 and iscombined = '否'"),
            3);
  // Stock rows are backfilled with 0; the existing one keeps its quantity.
  EXPECT_EQ(db.QueryText("select group_concat(barcode || '=' || quantity) from inventory"),
            "6901=12.0,6902=0.0,6903=0.0");
  // Existing settings (the printer) are kept.
  EXPECT_EQ(db.QueryInt("select count(*) from management where opencashiercmd = "
                        "'27, 112, 0, 128, 128' and priceforcost = 'averageprice' and "
                        "scaleip = ? and scalekind = '' and usescalefront = '否' and "
                        "usecomscale = '否' and comscaleport = 'com2' and useitemlibrary = '是' "
                        "and emptylines = 3 and wipevalue = 2 and basevalue = 1 and "
                        "pointsvalue = 1 and printercontrol = 'POS58'",
                        store::kDefaultScaleAddress),
            1);
  EXPECT_EQ(db.QueryInt("select dataclear from dutyrights where operatorduty = '经理'"), 0);
  EXPECT_EQ(db.QueryInt("select baseinfo from dutyrights where operatorduty = '收银员'"), 1);
  EXPECT_EQ(db.QueryText("select dismode || disrate from membermaster"), "没有优惠1.0");
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
  EXPECT_EQ(db.QueryText("select operatorpassword from operatormaster where workno = '0'"),
            "secret");
  EXPECT_EQ(db.QueryText("select goodsname from goodsmaster where barcode = '6903'"), "老干妈's");
  store::UpgradeSchema(db);
  const std::string first = DumpTables(db);
  store::UpgradeSchema(db);
  EXPECT_EQ(DumpTables(db), first);
  // The repair groups run every time: a goods row without stock, a NULL cost and a NULL
  // combined flag are mended by the next run.
  db.Exec("insert into goodsmaster (barcode,goodsname,salesprice) values ('7001','新货',1)");
  db.Exec(
      "update goodsmaster set averageimportprice = null, iscombined = null "
      "where barcode = '6902'");
  store::UpgradeSchema(db);
  EXPECT_EQ(db.QueryDouble("select quantity from inventory where barcode = '7001'"), 0.0);
  EXPECT_EQ(db.QueryText("select averageimportprice || iscombined from goodsmaster "
                         "where barcode = '6902'"),
            "0.0否");
}

TEST_F(UpgradeTest, LabelTableWithoutShelfRowsGetsTheLaidOutDefaults) {
  store::Database db;
  // A label table with its first eight columns only and a goods-label row but no shelf labels.
  db.ExecScript(
      "create table labeltemplate (tempname text,cx integer,cy integer,fontsize text,"
      "visible integer,labelkind text,labelwidth integer,labelheight integer);"
      "insert into labeltemplate values ('售价',5,5,'小',1,'商品签',32,19);");
  store::UpgradeSchema(db);
  EXPECT_EQ(db.QueryInt("select count(*) from labeltemplate where labelkind = '货架签' and "
                        "visible = 1 and labelwidth = 60"),
            7);
  EXPECT_EQ(db.QueryInt("select cx from labeltemplate where labelkind = '货架签' and "
                        "tempname = '单位'"),
            170);
  // The goods-label kind already had a row, so it gets no defaults.
  EXPECT_EQ(db.QueryInt("select count(*) from labeltemplate where labelkind = '商品签'"), 1);
}

// A statement that fails for a reason other than "already there" (here a trigger stands in for
// a full disk) must not leave its column behind without the default that belongs to it.
TEST_F(UpgradeTest, ARealFailureStopsTheUpgradeAndTheNextRunWritesTheDefault) {
  store::Database(store::DatabasePath())
      .ExecScript(
          "create trigger full_disk before update on management "
          "begin select raise(abort, 'database or disk is full'); end");
  const std::string before = testing_support::FileBytes(store::DatabasePath());
  EXPECT_THROW(store::PrepareDatabase(store::DatabasePath()), store::DbError);
  EXPECT_EQ(testing_support::FileBytes(store::DatabasePath()), before);
  store::Database db;
  EXPECT_THROW(store::UpgradeSchema(db), store::DbError);
  // The groups before the failing one are kept; the failing one left nothing.
  EXPECT_TRUE(db.HasRow("select 1 from sqlite_master where name = 'depositbak'"));
  EXPECT_FALSE(
      db.HasRow("select 1 from pragma_table_info('management') "
                "where name = 'opencashiercmd'"));
  db.ExecScript("drop trigger full_disk");
  store::UpgradeSchema(db);
  EXPECT_EQ(db.QueryText("select opencashiercmd from management"), store::kDefaultDrawerCommand);
}

}  // namespace

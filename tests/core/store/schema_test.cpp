#include <gtest/gtest.h>

#include "store/database.h"
#include "store/schema.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;

using ShippedStateTest = testing_support::TestDatabase;

TEST_F(ShippedStateTest, HasTheManagerAccountBothDutiesAndWorkingSettings) {
  store::Database db = Open();
  auto account = db.Query(
      "select operatorpassword,operatorduty from operatormaster where workno = '0'");
  ASSERT_TRUE(account.Step());
  EXPECT_EQ(account.Text(0), "0");
  EXPECT_EQ(account.Text(1), "经理");

  auto manager = db.Query(
      "select sales+operator+dutyrights+discount+settings+member+inventory+inquiry+dataclear+"
      "baseinfo+openmoneybox+pointsreturn from dutyrights where operatorduty = '经理'");
  ASSERT_TRUE(manager.Step());
  EXPECT_EQ(manager.Int(0), 12);
  auto cashier = db.Query(
      "select sales,settings,dutyrights,operator,dataclear from dutyrights "
      "where operatorduty = '收银员'");
  ASSERT_TRUE(cashier.Step());
  EXPECT_EQ(cashier.Int(0), 1);
  EXPECT_EQ(cashier.Int(1) + cashier.Int(2) + cashier.Int(3) + cashier.Int(4), 0);

  EXPECT_EQ(db.QueryInt("select count(*) from management"), 1);
  auto settings = db.Query(
      "select printercontrol,displaycontrol,moneyboxcontrol,scale,wipevalue,priceforcost,"
      "basevalue,pointsvalue,displayport,printerport,comscaleport,opencashiercmd from management");
  ASSERT_TRUE(settings.Step());
  EXPECT_EQ(settings.Text(0), "不打印");
  EXPECT_EQ(settings.Text(1), "不显示");
  EXPECT_EQ(settings.Text(2), "不弹出");
  EXPECT_EQ(settings.Text(3), "否");
  EXPECT_EQ(settings.Int(4), 2);
  EXPECT_EQ(settings.Text(5), "averageprice");
  EXPECT_EQ(settings.Int(6), 1);
  EXPECT_EQ(settings.Int(7), 1);
  // The settings screen refuses equal ports, so the shipped ones differ.
  EXPECT_NE(settings.Text(8), settings.Text(9));
  EXPECT_NE(settings.Text(9), settings.Text(10));
  EXPECT_NE(settings.Text(8), settings.Text(10));
  EXPECT_EQ(settings.Text(11), "27, 112, 0, 128, 128");

  EXPECT_EQ(db.QueryInt("select count(*) from labeltemplate where labelkind = '货架签' and "
                        "paperkind = '标签纸' and columns = 1 and printtitle = 1"),
            7);
  EXPECT_EQ(db.QueryInt("select count(*) from labeltemplate where labelkind = '商品签'"), 7);
}

TEST_F(ShippedStateTest, OpeningNeverCreatesAFile) {
  fs::path missing = dir() / "nothing.db";
  EXPECT_THROW(store::Database{missing}, store::DbError);
  EXPECT_FALSE(fs::exists(missing));
}

TEST_F(ShippedStateTest, NewDatabaseRefusesToReplaceAnExistingFile) {
  {
    store::Database db = Open();
    db.Exec("insert into goodsmaster (barcode) values ('keep')");
  }
  EXPECT_THROW(store::CreateNewDatabase(store::DatabasePath()), store::DbError);
  store::Database db = Open();
  EXPECT_TRUE(db.HasRow("select 1 from goodsmaster where barcode = 'keep'"));
}

TEST_F(ShippedStateTest, FailedCreationLeavesNoFileBehind) {
  fs::path target = dir() / "no-such-folder" / "kasso.db";
  EXPECT_ANY_THROW(store::CreateNewDatabase(target));
  EXPECT_FALSE(fs::exists(target));
  EXPECT_FALSE(fs::exists(dir() / "no-such-folder"));
}

TEST(PrepareDatabaseTest, CreatesAMissingFileAndUpgradesAnExistingOne) {
  fs::path dir = testing_support::MakeTempDir();
  fs::path file = dir / "kasso.db";
  EXPECT_TRUE(store::PrepareDatabase(file));
  EXPECT_FALSE(fs::exists(dir / "kasso.db.new"));
  {
    store::Database db(file);
    db.Exec("drop index goodsmaster_barcode_idx");
  }
  EXPECT_FALSE(store::PrepareDatabase(file));
  store::Database db(file);
  EXPECT_TRUE(db.HasRow("select 1 from sqlite_master where name = 'goodsmaster_barcode_idx'"));
  EXPECT_EQ(db.QueryInt("select count(*) from operatormaster"), 1);
  fs::remove_all(dir);
}

using BoundValuesTest = testing_support::TestDatabase;

TEST_F(BoundValuesTest, QuotesAndSqlLookalikesAreStoredAsTyped) {
  store::Database db = Open();
  const std::string name = "O'Brien's \"best\"; drop table goodsmaster; --";
  db.Exec("insert into goodsmaster (barcode,goodsname,salesprice) values (?,?,?)", "q'1", name,
          2.5);
  EXPECT_EQ(db.QueryText("select goodsname from goodsmaster where barcode = ?", "q'1"), name);
  EXPECT_EQ(db.Exec("update goodsmaster set goodsname = ? where goodsname = ?", name + "x", name),
            1);
  EXPECT_EQ(db.Exec("delete from goodsmaster where goodsname = ?", name + "x"), 1);
  EXPECT_TRUE(db.HasRow("select 1 from sqlite_master where name = 'goodsmaster'"));
}

TEST_F(BoundValuesTest, TransactionRollsBackUnlessCommitted) {
  store::Database db = Open();
  {
    store::Transaction tx(db);
    db.Exec("insert into goodsmaster (barcode) values ('a')");
  }
  EXPECT_FALSE(db.HasRow("select 1 from goodsmaster where barcode = 'a'"));
  try {
    store::Transaction tx(db);
    db.Exec("insert into goodsmaster (barcode) values ('b')");
    db.Exec("insert into no_such_table values (1)");
    tx.Commit();
  } catch (const store::DbError&) {
  }
  EXPECT_FALSE(db.HasRow("select 1 from goodsmaster where barcode = 'b'"));
  {
    store::Transaction tx(db);
    db.Exec("insert into goodsmaster (barcode) values ('c')");
    tx.Commit();
  }
  EXPECT_TRUE(db.HasRow("select 1 from goodsmaster where barcode = 'c'"));
}

}  // namespace

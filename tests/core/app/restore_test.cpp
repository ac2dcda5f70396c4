#include "core/app/restore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/app/backup.h"
#include "core/common/clock.h"
#include "core/common/error.h"
#include "core/common/text_encoding.h"
#include "core/servicelib/kasso_basic.h"
#include "core/store/database.h"
#include "core/store/legacy_text.h"
#include "core/store/old_schema.h"
#include "core/store/schema.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using testing_support::DumpTables;
using testing_support::FileBytes;

class RestoreTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    kasso::SetFixedClock(kasso::MakeTime(2024, 5, 6, 9, 30, 0));
  }

  // A backup of the working file as it is now, kept outside the backup folder.
  fs::path MakeBackup(const std::string& name) {
    fs::path file = dir() / name;
    app::CopyDatabaseTo(file);
    return file;
  }

  // A file with the tables of the first till version, written with raw text values.
  fs::path MakeOldFile(const std::string& name) {
    fs::path file = dir() / name;
    store::Database(file, store::OpenMode::kCreate).ExecScript(kOldStyleTables);
    return file;
  }

  fs::path Write(const std::string& name, const std::string& bytes) {
    fs::path file = dir() / name;
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    return file;
  }
};

TEST_F(RestoreTest, RefusesForeignAndDamagedFilesAndLeavesTheWorkingFileAlone) {
  fs::path good = MakeBackup("good.dat");
  const std::string good_bytes = FileBytes(good);
  std::string scrambled = good_bytes;
  for (size_t i = 4096 * 3; i < 4096 * 3 + 600; ++i) scrambled[i] = static_cast<char>(0x5A);
  fs::path foreign = dir() / "foreign.dat";
  store::Database(foreign, store::OpenMode::kCreate)
      .ExecScript("create table notes (line text); insert into notes values ('x');");

  const std::string working = FileBytes(store::DatabasePath());
  for (const fs::path& file :
       {Write("notes.dat", "备份清单\n今天没有备份\n"), Write("empty.dat", ""),
        Write("truncated.dat", good_bytes.substr(0, good_bytes.size() / 2)),
        Write("scrambled.dat", scrambled), foreign, dir() / "gone.dat"}) {
    SCOPED_TRACE(file.filename().string());
    EXPECT_TRUE(app::CheckBackupFile(file).has_value());
    try {
      app::RestoreDatabaseFrom(file);
      ADD_FAILURE() << "restored";
    } catch (const kasso::UserError& refused) {
      EXPECT_NE(std::string(refused.what()).find("数据恢复失败"), std::string::npos);
    }
    EXPECT_EQ(FileBytes(store::DatabasePath()), working);
    EXPECT_FALSE(fs::exists(app::BackupFolder()));
    EXPECT_FALSE(fs::exists(dir() / "kasso.db.restore"));
  }
  EXPECT_EQ(app::CheckBackupFile(good), std::nullopt);
  EXPECT_EQ(FileBytes(good), good_bytes);  // checking never writes to the chosen file
}

TEST_F(RestoreTest, UpToDateBackupChangesOnlyWhatTheRepairGroupsMendAndKeepsTheReplacedFile) {
  Open().ExecScript(
      "insert into goodsmaster (barcode,goodsname,salesprice,memberprice,averageimportprice,"
      "iscombined) values ('6901','可乐',3.5,3.2,1.8,'否');"
      "insert into goodsmaster (barcode,goodsname,salesprice,memberprice) "
      "values ('6902','薯片',6,6);"
      "insert into inventory (barcode,quantity) values ('6901',12);");
  fs::path backup = MakeBackup("backup.dat");
  fs::path expected_file = MakeBackup("expected.dat");
  // What restoring must add: the stock row, the cost and the combined flag of 6902.
  store::Database(expected_file)
      .ExecScript(
          "insert into inventory (barcode,quantity) values ('6902',0);"
          "update goodsmaster set averageimportprice = 0, iscombined = '否' "
          "where barcode = '6902';");
  Open().Exec("insert into goodsmaster (barcode,goodsname) values ('9999','只在现用库')");

  const std::string before_first = FileBytes(store::DatabasePath());
  fs::path first = app::RestoreDatabaseFrom(backup);
  {
    store::Database restored = Open();
    store::Database expected(expected_file);
    EXPECT_EQ(DumpTables(restored), DumpTables(expected));
  }
  EXPECT_EQ(first, app::BackupFolder() / "恢复前20240506093000.dat");
  EXPECT_EQ(FileBytes(first), before_first);

  // A second restore within the same second keeps the first safety copy too.
  const std::string before_second = FileBytes(store::DatabasePath());
  fs::path second = app::RestoreDatabaseFrom(backup);
  EXPECT_EQ(second, app::BackupFolder() / "恢复前20240506093000-2.dat");
  EXPECT_EQ(FileBytes(second), before_second);
  EXPECT_EQ(FileBytes(first), before_first);

  // Safety copies are not automatic backups: the rotation leaves them alone.
  kasso::SetFixedClock(kasso::MakeTime(2025, 6, 1, 10, 0, 0));  // older than any kept copy
  app::WriteAutomaticBackup();
  EXPECT_TRUE(fs::exists(first));
  EXPECT_TRUE(fs::exists(second));
}

TEST_F(RestoreTest, StoppedCopyLeavesTheWorkingFileAlone) {
  const char* ballast =
      "create table ballast (data blob); insert into ballast values (randomblob(3000000));";
  fs::path big = MakeBackup("big.dat");
  store::Database(big).ExecScript(ballast);
  const std::string working = FileBytes(store::DatabasePath());
  int calls = 0;
  EXPECT_THROW(app::RestoreDatabaseFrom(big,
                                        [&](int copied, int total) {
                                          EXPECT_LE(copied, total);
                                          return ++calls < 2;
                                        }),
               app::CopyCancelled);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(FileBytes(store::DatabasePath()), working);
  EXPECT_FALSE(fs::exists(dir() / "kasso.db.restore"));
  EXPECT_FALSE(fs::exists(app::BackupFolder()));

  Open().ExecScript(ballast);
  fs::path target = dir() / "manual.dat";
  EXPECT_THROW(app::CopyDatabaseTo(target, [](int, int) { return false; }), app::CopyCancelled);
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(RestoreTest, GbkBackupOfTheWindowsTillRestoresReadable) {
  fs::path old = MakeOldFile("windows.dat");
  {
    store::Database db(old);
    auto gbk = [](const char* text) { return kasso::Utf8ToGbk(text); };
    db.ExecScript("delete from operatormaster; delete from dutyrights; delete from goodsmaster");
    db.Exec("insert into operatormaster values ('0',?,'secret',?)", gbk("老板"), gbk("经理"));
    db.Exec("insert into operatormaster values ('7',?,'7',?)", gbk("小王"), gbk("收银员"));
    db.Exec("insert into dutyrights values (?,1,1,1,1,1,1,1,1)", gbk("经理"));
    db.Exec("insert into dutyrights values (?,1,0,0,0,0,0,0,0)", gbk("收银员"));
    // "瓶" happens to be valid UTF-8 in GBK ("ƿ"); it must be converted all the same.
    db.Exec("insert into goodsmaster values ('6901',?,?,?,3.5,2.1,'2013-01-02 10:00:00')",
            gbk("可乐"), gbk("瓶"), gbk("饮料"));
    db.Exec("update management set scale = ?", gbk("否"));
    db.Exec("update membermaster set memberpointsmode = ?, membername = ?", gbk("是"), gbk("张三"));
    db.ExecScript(
        "create table labeltemplate (tempname text,cx integer,cy integer,fontsize text,"
        "visible integer,labelkind text,labelwidth integer,labelheight integer)");
    for (const char* item :
         {"商品条码", "商品名称", "单位", "类别", "售价", "是否称重", "PLU编号"}) {
      db.Exec("insert into labeltemplate values (?,10,20,?,1,?,60,35)", gbk(item), gbk("中"),
              gbk("货架签"));
    }
  }
  app::RestoreDatabaseFrom(old);

  store::Database db = Open();
  EXPECT_EQ(db.QueryText("select goodsname || '/' || unit || '/' || class from goodsmaster"),
            "可乐/瓶/饮料");
  // The file is brought up to date: goods from before member prices sell to members at the
  // normal price.
  EXPECT_EQ(db.QueryInt("select count(*) from goodsmaster where memberprice = salesprice"), 1);
  EXPECT_EQ(db.QueryText("select operatorpassword from operatormaster where workno = '0'"),
            "secret");
  EXPECT_EQ(db.QueryText("select membername from membermaster where memberpointsmode = '是'"),
            "张三");
  EXPECT_EQ(db.QueryText("select scale from management"), "否");
  EXPECT_EQ(servicelib::GetOperatorName(db, "7"), "小王");
  EXPECT_TRUE(servicelib::CheckRights(db, "operator", "0"));
  EXPECT_FALSE(servicelib::CheckRights(db, "operator", "7"));
  EXPECT_TRUE(servicelib::CheckRights(db, "sales", "7"));
  // The old shelf-label rows are recognised, so the upgrade adds no second set; the missing
  // goods-label rows are added.
  EXPECT_EQ(db.QueryInt("select count(*) from labeltemplate where labelkind = '货架签'"), 7);
  EXPECT_EQ(db.QueryInt("select count(*) from labeltemplate where labelkind = '商品签'"), 7);

  // The file is marked converted: the next start-up neither scans nor converts it again, so
  // even raw bytes written later stay as they are.
  EXPECT_EQ(db.QueryInt("pragma user_version"), store::kUtf8TextVersion);
  db.Exec("update goodsmaster set class = ?", kasso::Utf8ToGbk("零食"));
  EXPECT_EQ(store::PrepareDatabase(store::DatabasePath()), store::FileState::kReady);
  EXPECT_EQ(db.QueryText("select class from goodsmaster"), kasso::Utf8ToGbk("零食"));
  EXPECT_EQ(db.QueryText("select goodsname from goodsmaster"), "可乐");
}

}  // namespace

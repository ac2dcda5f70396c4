#include "core/app/restore.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/app/backup.h"
#include "core/common/clock.h"
#include "core/common/text_encoding.h"
#include "core/store/legacy_text.h"
#include "core/store/old_schema.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using testing_support::DumpTables;
using testing_support::ErrorOf;
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

  fs::path Write(const std::string& name, const std::string& bytes) {
    fs::path file = dir() / name;
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    return file;
  }
};

TEST_F(RestoreTest, RefusesDamagedFilesAndAnUpToDateBackupChangesOnlyWhatTheRepairsMend) {
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
    EXPECT_NE(ErrorOf([&] { app::RestoreDatabaseFrom(file); }).find("数据恢复失败"),
              std::string::npos);
    EXPECT_EQ(FileBytes(store::DatabasePath()), working);
    EXPECT_FALSE(fs::exists(app::BackupFolder()));
    EXPECT_FALSE(fs::exists(dir() / "kasso.db.restore"));
  }
  EXPECT_EQ(app::CheckBackupFile(good), std::nullopt);
  EXPECT_EQ(FileBytes(good), good_bytes);  // checking never writes to the chosen file
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
          "where barcode = '6902';"
          "insert into auditlog (logtime,workno,action,detail,transactionnumber) "
          "values ('2024-05-06 09:30:00','','数据恢复','backup.dat',0);");
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
}

TEST_F(RestoreTest, AStoppedCopyLeavesTheWorkingFileAndAGbkBackupRestoresReadable) {
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
  // What the conversion and the upgrade change is proven with them; a restore runs both.
  fs::path old = dir() / "windows.dat";  // the first till version's tables, with GBK text
  {
    store::Database db(old, store::OpenMode::kCreate);
    auto gbk = [](const char* text) { return kasso::Utf8ToGbk(text); };
    db.ExecScript(kOldStyleTables + std::string("delete from goodsmaster;"));
    db.Exec("insert into goodsmaster values ('6901',?,?,?,3.5,2.1,'2013-01-02 10:00:00')",
            gbk("可乐"), gbk("瓶"), gbk("饮料"));
  }
  app::RestoreDatabaseFrom(old);
  store::Database db = Open();
  EXPECT_EQ(db.QueryText("select goodsname || '/' || unit || '/' || class from goodsmaster"),
            "可乐/瓶/饮料");
  EXPECT_EQ(db.QueryInt("select count(*) from goodsmaster where memberprice = salesprice"), 1);
  EXPECT_EQ(db.QueryInt("pragma user_version"), store::kUtf8TextVersion);
}

}  // namespace

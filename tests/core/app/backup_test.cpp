#include "core/app/backup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/common/clock.h"
#include "core/servicelib/kasso_basic.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using testing_support::FileBytes;

TEST(BackupClockTest, FiresAtMinuteZeroOfEvenHoursOnly) {
  EXPECT_TRUE(app::IsBackupTime(kasso::MakeTime(2026, 12, 6, 14, 0, 30)));
  EXPECT_TRUE(app::IsBackupTime(kasso::MakeTime(2026, 12, 6, 0, 0, 0)));
  EXPECT_FALSE(app::IsBackupTime(kasso::MakeTime(2026, 12, 6, 13, 0, 0)));
  EXPECT_FALSE(app::IsBackupTime(kasso::MakeTime(2026, 12, 6, 14, 1, 0)));
  EXPECT_FALSE(app::IsBackupTime(kasso::MakeTime(2026, 12, 6, 23, 0, 0)));
}

using AutomaticBackupTest = testing_support::TestDatabase;

TEST_F(AutomaticBackupTest, WritesAReadableCopyUnderTheDefaultName) {
  kasso::SetFixedClock(kasso::MakeTime(2014, 12, 5, 9, 30, 0));
  Open().Exec("insert into goodsmaster (barcode,goodsname) values ('6901','可乐')");
  servicelib::HandleBackUp();
  fs::path copy = dir() / "backup" / "备份20141205093000.dat";
  ASSERT_TRUE(fs::exists(copy));
  EXPECT_EQ(store::Database(copy).QueryText("select goodsname from goodsmaster"), "可乐");
  EXPECT_FALSE(fs::exists(dir() / "backup" / "备份20141205093000.dat.part"));
}

TEST_F(AutomaticBackupTest, KeepsOnlyTheNewestCopies) {
  fs::create_directories(app::BackupFolder());
  fs::path keep_other = app::BackupFolder() / "notes.txt";
  std::ofstream(keep_other) << "x";
  for (int i = 0; i < app::kKeptAutomaticBackups + 3; ++i) {
    kasso::SetFixedClock(kasso::MakeTime(2020, 1, 1 + i, 10, 0, 0));
    app::WriteAutomaticBackup();
  }
  int copies = 0;
  for (const auto& entry : fs::directory_iterator(app::BackupFolder())) {
    copies += entry.path().extension() == ".dat";
  }
  EXPECT_EQ(copies, app::kKeptAutomaticBackups);
  EXPECT_FALSE(fs::exists(app::BackupFolder() / "备份20200103100000.dat"));
  EXPECT_TRUE(fs::exists(app::BackupFolder() / "备份20200202100000.dat"));
  EXPECT_TRUE(fs::exists(keep_other));
}

TEST_F(AutomaticBackupTest, AFailedCopyLeavesTheOldFileInPlace) {
  fs::path target = dir() / "target.dat";
  std::ofstream(target) << "old backup";
  fs::remove(store::DatabasePath());
  EXPECT_ANY_THROW(app::CopyDatabaseTo(target));
  EXPECT_EQ(FileBytes(target), "old backup");
  EXPECT_FALSE(fs::exists(dir() / "target.dat.part"));
}

}  // namespace

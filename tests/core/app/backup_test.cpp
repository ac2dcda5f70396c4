#include "core/app/backup.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <tuple>

#include "core/common/clock.h"
#include "core/servicelib/kasso_basic.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using testing_support::FileBytes;

using AutomaticBackupTest = testing_support::TestDatabase;

TEST_F(AutomaticBackupTest, FiresAtEvenHoursWritesAReadableCopyAndAFailedCopyKeepsTheOldFile) {
  common::SetFixedClock(common::MakeTime(2014, 12, 5, 9, 30, 0));
  Open().Exec("insert into goodsmaster (barcode,goodsname) values ('6901','可乐')");
  servicelib::HandleBackUp();
  fs::path copy = dir() / "backup" / "自动备份20141205093000.dat";
  ASSERT_TRUE(fs::exists(copy));
  EXPECT_EQ(store::Database(copy).QueryText("select goodsname from goodsmaster"), "可乐");
  EXPECT_FALSE(fs::exists(dir() / "backup" / "自动备份20141205093000.dat.part"));
  fs::path target = dir() / "target.dat";
  std::ofstream(target) << "old backup";
  fs::remove(store::DatabasePath());
  EXPECT_ANY_THROW(app::CopyDatabaseTo(target));
  EXPECT_EQ(FileBytes(target), "old backup");
  EXPECT_FALSE(fs::exists(dir() / "target.dat.part"));
  for (auto [hour, minute, fires] :
       {std::tuple{14, 0, true}, {0, 0, true}, {13, 0, false}, {14, 1, false}, {23, 0, false}}) {
    EXPECT_EQ(app::IsBackupTime(common::MakeTime(2026, 12, 6, hour, minute, 30)), fires) << hour;
  }
}

// A hundred days of a till that backs up at 00:00 and 12:00, among files it did not write.
TEST_F(AutomaticBackupTest, KeepsTwoDaysWholeAndOneCopyADayForNinetyDaysAndNothingElse) {
  fs::create_directories(app::BackupFolder());
  std::set<std::string> expected = {"备份20200101100000.dat",
                                    "清除前备份20200101100000.dat",
                                    "恢复前20200101100000.dat",
                                    "自动备份2020.dat",
                                    "notes.txt",
                                    "自动备份20991231000000.dat"};  // the clock was set back
  for (const std::string& name : expected) std::ofstream(app::BackupFolder() / name) << "x";
  auto at = [](int day, int hour) {
    std::tm time = common::MakeTime(2020, 1, 1 + day, hour, 0, 0);
    std::mktime(&time);
    return time;
  };
  for (int day = 0; day < 100; ++day) {
    for (int hour : {0, 12}) {
      common::SetFixedClock(at(day, hour));
      app::WriteAutomaticBackup();
    }
  }
  // Now is day 99, 12:00: every copy since day 97, 12:00, and the noon copy of days 10..96.
  for (auto [day, hour] : {std::pair{97, 12}, {98, 0}, {98, 12}, {99, 0}, {99, 12}}) {
    expected.insert(app::AutomaticBackupName(at(day, hour)));
  }
  for (int day = 10; day < 97; ++day) expected.insert(app::AutomaticBackupName(at(day, 12)));
  std::set<std::string> kept;
  for (const auto& entry : fs::directory_iterator(app::BackupFolder())) {
    kept.insert(entry.path().filename().string());
  }
  EXPECT_EQ(kept, expected);
}

}  // namespace

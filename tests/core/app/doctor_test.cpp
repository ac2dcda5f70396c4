#include "core/app/doctor.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "core/devices/port.h"
#include "core/devices/pty.h"
#include "support/test_database.h"

namespace {
namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

class DoctorTest : public testing_support::TestDatabase {
 protected:
  void TearDown() override {
    devices::OverridePortPath("lpt1", {});
    devices::SetUsbPrinterDirectory("/dev/usb");
    TestDatabase::TearDown();
  }
  std::string Report() const { return app::DoctorReport(app::RunDoctor(dir())); }
};

// The display on a pseudo-terminal, the receipt printer's lpt1 mapped to a plain file and the
// scale on a device that is not there, in a folder others may open and without any backup.
TEST_F(DoctorTest, NamesEachDeviceProblemAndWhatToDo) {
  PseudoTerminal display;
  fs::path plain = dir() / "not-a-printer";
  std::ofstream(plain) << "x";
  devices::OverridePortPath("lpt1", plain);
  fs::path missing = dir() / "ttyUSB7";
  Open().Exec(
      "update management set displaycontrol='LED8N', displayport=?, printercontrol='POS58', "
      "printerport='lpt1', usecomscale='是', comscaleport=?",
      display.slave_path(), missing.string());
  fs::permissions(dir(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);

  std::string report = Report();
  EXPECT_THAT(report,
              HasSubstr("OK  客显 " + display.slave_path() + " (" + display.slave_path() + ")\n"));
  EXPECT_THAT(report, HasSubstr("!!  打印机 POS58 lpt1 (" + plain.string() + "): 不是设备文件"));
  EXPECT_THAT(report, HasSubstr("!!  计价秤 " + missing.string() + " (" + missing.string() +
                                "): 设备不存在"));
  EXPECT_THAT(report, HasSubstr("权限是 0755, 别的用户也能打开: chmod 700 " + dir().string()));
  EXPECT_THAT(report, HasSubstr("!!  没有备份"));
  EXPECT_THAT(report, HasSubstr("OK  kasso.db 可读写"));
  EXPECT_THAT(report, HasSubstr("OK  总部: 未加入"));
}

TEST_F(DoctorTest, AcceptsAPrivateFolderAFreshBackupAndTheShippedSettings) {
  fs::permissions(dir(), fs::perms::owner_all);
  fs::create_directories(dir() / "backup");
  std::ofstream(dir() / "backup" / "old.dat") << "x";
  fs::last_write_time(dir() / "backup" / "old.dat",
                      fs::file_time_type::clock::now() - std::chrono::hours(24 * 5));

  std::string report = Report();
  EXPECT_THAT(report, HasSubstr("!!  最近的备份 old.dat 已有 5 天"));
  EXPECT_THAT(report, HasSubstr("OK  数据文件夹 " + dir().string() + ": 0700"));
  EXPECT_THAT(report, HasSubstr("OK  客显: 不显示\nOK  打印机: 不打印\nOK  计价秤: 未启用\n"));

  std::ofstream(dir() / "backup" / "new.dat") << "x";
  EXPECT_THAT(Report(), HasSubstr("OK  最近的备份 new.dat (0 小时前)"));
}

TEST_F(DoctorTest, ADrawerOnUsbWithoutAPrinterAndAMissingFolderAreReported) {
  devices::SetUsbPrinterDirectory(dir() / "usb");
  Open().Exec("update management set moneyboxcontrol='弹出', printerport='usb001'");
  EXPECT_THAT(Report(), HasSubstr("!!  钱箱 usb001: 没有找到 USB 打印机"));

  std::string gone = (dir() / "nowhere").string();
  auto lines = app::RunDoctor(gone);
  EXPECT_FALSE(lines.back().ok);
  EXPECT_THAT(lines.back().text,
              HasSubstr("不存在: 用 tillwise --data " + gone + " 或 tillwise-admin init " + gone));
  EXPECT_THAT(app::DoctorReport(lines), Not(HasSubstr("总部")));
}

}  // namespace

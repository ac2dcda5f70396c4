#include "ui/app/UpdateDialog.h"

#include <QPushButton>

#include "core/app/backup.h"
#include "ui/ui_test_support.h"

namespace {
namespace fs = std::filesystem;
using namespace testing_support;

using UpdateDialogTest = TestDatabase;

constexpr const char* kNewerInArchive = R"(tillwise:
  Installed: 1.0.3
  Candidate: 1.0.4
  Version table:
     1.0.4 500
        500 http://till.example/debian bookworm/main amd64 Packages
 *** 1.0.3 100
        100 /var/lib/dpkg/status
)";

bool HasBackup() { return fs::exists(app::BackupFolder()) && !fs::is_empty(app::BackupFolder()); }

TEST_F(UpdateDialogTest, BacksUpBeforeInstallingTheNewerVersionAndSaysToRestart) {
  ui::MessageBoxSeam messages;
  int installs = 0;
  bool backed_up_first = false;
  ui::UpdateDialog update(
      nullptr, [] { return QString(kNewerInArchive); },
      [&] {
        ++installs;
        backed_up_first = HasBackup();
        return QString();
      });
  auto* status = update.findChild<QLabel*>("statusLabel");
  auto* upgrade = update.findChild<QPushButton*>("upgradeButton");
  EXPECT_EQ(status->text(), "有新版本 1.0.4 (已安装 1.0.3)");
  EXPECT_TRUE(update.findChild<QLabel*>("versionLabel")->text().startsWith("当前版本: V"));

  upgrade->click();  // the question is answered No
  EXPECT_EQ(installs, 0);
  EXPECT_FALSE(HasBackup());

  messages.SetNextAnswer(true);
  upgrade->click();
  EXPECT_EQ(installs, 1);
  EXPECT_TRUE(backed_up_first);
  EXPECT_EQ(messages.Texts().back(), "升级完成, 请退出 (F12) 后重新启动收银程序");
  EXPECT_FALSE(upgrade->isEnabled());
}

TEST_F(UpdateDialogTest, NoArchiveOffersNothingAndAFailedBackupInstallsNothing) {
  ui::MessageBoxSeam messages;
  ui::UpdateDialog alone(
      nullptr, [] { return QString(); }, [] { return QString(); });
  EXPECT_EQ(alone.findChild<QLabel*>("statusLabel")->text(), "没有找到软件更新源");
  EXPECT_FALSE(alone.findChild<QPushButton*>("upgradeButton")->isEnabled());

  fs::remove(store::DatabasePath());
  int installs = 0;
  ui::UpdateDialog update(
      nullptr, [] { return QString(kNewerInArchive); },
      [&] {
        ++installs;
        return QString();
      });
  messages.SetNextAnswer(true);
  update.findChild<QPushButton*>("upgradeButton")->click();
  EXPECT_EQ(installs, 0);
  ASSERT_FALSE(messages.Texts().empty());
  EXPECT_TRUE(messages.Texts().back().startsWith("备份失败, 没有升级"))
      << messages.Texts().back().toStdString();
}

}  // namespace

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/LoginDialog.h"
#include "app/MainMenuWindow.h"
#include "app/backup.h"
#include "app/startup.h"
#include "common/MessageBox.h"
#include "common/clock.h"
#include "store/database.h"
#include "support/test_database.h"
#include "ui/ui_test_support.h"

namespace {

using testing_support::ModalDriver;
using Names = std::vector<std::string>;

class LoginStartupTest : public testing_support::TestDatabase {
 protected:
  static app::LoginDialog::ProcessNameSource Processes(std::optional<Names> names) {
    return [names] { return names; };
  }
  static int BackupCount() {
    std::filesystem::path folder = app::BackupFolder();
    if (!std::filesystem::exists(folder)) return 0;
    return static_cast<int>(std::distance(std::filesystem::directory_iterator(folder),
                                          std::filesystem::directory_iterator()));
  }

  ui::MessageBoxSeam messages_;
};

TEST_F(LoginStartupTest, SecondCopyIsRefusedWithAMessage) {
  app::LoginDialog dialog;
  dialog.SetProcessNameSource(Processes(Names{"bash", "Tillwise", "sh", "Tillwise"}));
  EXPECT_EQ(dialog.Run(), 1);
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_EQ(messages_.shown()[0].text, "已有相同程序运行");
  EXPECT_EQ(messages_.shown()[0].title, "");
  EXPECT_FALSE(dialog.backup_clock().isActive());
}

TEST_F(LoginStartupTest, UnreadableProcessListEndsSilently) {
  app::LoginDialog dialog;
  dialog.SetProcessNameSource(Processes(std::nullopt));
  EXPECT_EQ(dialog.Run(), 1);
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(LoginStartupTest, StartUpClearsLocksStartsTheClockAndWaitsAtTheAccountField) {
  Open().Exec("insert into lockprocess (processname,workno,locktime) values ('销售','0','x')");
  app::LoginDialog dialog;
  dialog.SetProcessNameSource(Processes(Names{"bash", "Tillwise"}));
  ModalDriver<app::LoginDialog> login([&](app::LoginDialog* shown) {
    EXPECT_TRUE(shown->backup_clock().isActive());
    EXPECT_EQ(shown->backup_clock().interval(), 60000);
    EXPECT_EQ(Open().QueryInt("select count(*) from lockprocess"), 0);
    EXPECT_EQ(shown->focusWidget(), shown->findChild<QLineEdit*>("accountEdit"));
    shown->findChild<QPushButton*>("cancelButton")->click();
  });
  EXPECT_EQ(dialog.Run(), 0);
  EXPECT_TRUE(login.ran());
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(LoginStartupTest, MissingDatabaseIsCreatedAtStartUp) {
  std::filesystem::remove(store::DatabasePath());
  app::LoginDialog dialog;
  dialog.SetProcessNameSource(Processes(Names{"Tillwise"}));
  ModalDriver<app::LoginDialog> login(
      [](app::LoginDialog* shown) { QTest::keyClick(shown, Qt::Key_Escape); });
  EXPECT_EQ(dialog.Run(), 0);
  EXPECT_TRUE(login.ran());
  EXPECT_EQ(app::Login("0", "0"), app::LoginResult::kAccepted);
}

TEST_F(LoginStartupTest, UnusableDataDirectoryIsReportedAndEndsTheProgram) {
  std::ofstream(dir() / "plain-file") << "x";
  store::SetDataDirectory(dir() / "plain-file" / "data");
  app::LoginDialog dialog;
  dialog.SetProcessNameSource(Processes(Names{"Tillwise"}));
  EXPECT_EQ(dialog.Run(), 1);
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_TRUE(messages_.shown()[0].text.contains("kasso.db"));
  EXPECT_EQ(messages_.shown()[0].title, "确认");
}

TEST_F(LoginStartupTest, LoginThroughRunEndsWithExitCodeZeroWhenTheMenuCloses) {
  app::LoginDialog dialog;
  dialog.SetProcessNameSource(Processes(Names{"Tillwise"}));
  ModalDriver<app::LoginDialog> login([](app::LoginDialog* shown) {
    shown->findChild<QLineEdit*>("accountEdit")->setText("0");
    shown->findChild<QLineEdit*>("passwordEdit")->setText("0");
    shown->findChild<QPushButton*>("loginButton")->click();
  });
  ModalDriver<app::MainMenuWindow> menu(
      [](app::MainMenuWindow* window) { QTest::keyClick(window, Qt::Key_Escape); });
  EXPECT_EQ(dialog.Run(), 0);
  EXPECT_TRUE(login.ran());
  EXPECT_TRUE(menu.ran());
  EXPECT_EQ(BackupCount(), 0);  // Esc leaves without the automatic backup
}

TEST_F(LoginStartupTest, BackupClockBacksUpAtEvenHoursOnly) {
  app::LoginDialog dialog;
  kasso::SetFixedClock(kasso::MakeTime(2024, 5, 6, 13, 0, 0));
  dialog.TickBackupClock();
  EXPECT_EQ(BackupCount(), 0);
  kasso::SetFixedClock(kasso::MakeTime(2024, 5, 6, 14, 1, 0));
  dialog.TickBackupClock();
  EXPECT_EQ(BackupCount(), 0);

  kasso::SetFixedClock(kasso::MakeTime(2024, 5, 6, 14, 0, 0));
  dialog.TickBackupClock();
  EXPECT_EQ(BackupCount(), 1);
  EXPECT_TRUE(std::filesystem::exists(app::BackupFolder() / "备份20240506140000.dat"));
  EXPECT_TRUE(messages_.shown().empty());  // a backup that worked says nothing
}

TEST_F(LoginStartupTest, FailedScheduledBackupReportsAClockError) {
  std::filesystem::remove(store::DatabasePath());
  app::LoginDialog dialog;
  kasso::SetFixedClock(kasso::MakeTime(2024, 5, 6, 0, 0, 0));
  dialog.TickBackupClock();
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_EQ(messages_.shown()[0].text, "时钟有误");
  EXPECT_EQ(messages_.shown()[0].title, "Tillwise");
}

}  // namespace

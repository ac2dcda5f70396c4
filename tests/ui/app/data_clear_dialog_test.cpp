#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "app/AuthorizationDialog.h"
#include "app/DataClearDialog.h"
#include "app/backup.h"
#include "app/startup.h"
#include "common/MessageBox.h"
#include "common/clock.h"
#include "support/test_database.h"
#include "ui/ui_test_support.h"

namespace {
namespace fs = std::filesystem;
using testing_support::ModalDriver;

class DataClearDialogTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    Open().ExecScript(
        "insert into goodsmaster (barcode) values ('6901');"
        "insert into membermaster (memberid) values ('M1');"
        "insert into transactiondetails (transactionnumber) values (1);");
    dialog_.show();
  }

  void Tick(const char* name) { dialog_.findChild<QCheckBox*>(name)->setChecked(true); }
  void Start() { dialog_.findChild<QPushButton*>("startButton")->click(); }
  int64_t Count(const char* table) {
    return *Open().QueryInt(std::string("select count(*) from ") + table);
  }

  static void Authorize(app::AuthorizationDialog* prompt) {
    prompt->findChild<QLineEdit*>("passwordEdit")->setText(app::kAuthorizationPassword);
    prompt->findChild<QPushButton*>("confirmButton")->click();
  }
  static void Cancel(app::AuthorizationDialog* prompt) {
    prompt->findChild<QPushButton*>("cancelButton")->click();
  }

  ui::MessageBoxSeam messages_;
  app::DataClearDialog dialog_;
};

TEST_F(DataClearDialogTest, AsksOnlyWhenSomethingIsTickedAndClearsNothingOnCancel) {
  {
    ModalDriver<app::AuthorizationDialog> authorization(Cancel);
    Start();
    QTest::qWait(30);
    EXPECT_FALSE(authorization.ran());
  }
  Tick("goodsCheck");
  ModalDriver<app::AuthorizationDialog> authorization(Cancel);
  Start();
  EXPECT_TRUE(authorization.ran());
  EXPECT_TRUE(messages_.shown().empty());
  EXPECT_TRUE(dialog_.isVisible());
  EXPECT_EQ(Count("goodsmaster"), 1);
  EXPECT_FALSE(fs::exists(app::BackupFolder()));
}

TEST_F(DataClearDialogTest, AuthorizedClearEmptiesTheTickedGroupsAndNamesTheSafetyCopy) {
  kasso::SetFixedClock(kasso::MakeTime(2024, 3, 1, 18, 30, 0));
  Tick("membersCheck");
  ModalDriver<app::AuthorizationDialog> authorization(Authorize);
  Start();

  EXPECT_TRUE(authorization.ran());
  fs::path copy = app::BackupFolder() / "清除前备份20240301183000.dat";
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_EQ(messages_.shown()[0].title, "确认");
  EXPECT_TRUE(messages_.shown()[0].text.startsWith("数据删除完毕!\n"));
  EXPECT_TRUE(messages_.shown()[0].text.contains(QString::fromStdString(copy.string())));
  EXPECT_EQ(dialog_.findChild<QLabel*>("progressLabel")->text(), "积分回馈信息");
  auto* bar = dialog_.findChild<QProgressBar*>("progressBar");
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_EQ(dialog_.result(), QDialog::Accepted);

  EXPECT_EQ(Count("membermaster"), 0);
  EXPECT_EQ(Count("transactiondetails"), 1);
  EXPECT_EQ(store::Database(copy).QueryInt("select count(*) from membermaster"), 1);
}

TEST_F(DataClearDialogTest, FailedSafetyCopyClearsNothingAndKeepsTheDialogOpen) {
  { std::ofstream(app::BackupFolder()) << "not a folder"; }
  Tick("salesCheck");
  ModalDriver<app::AuthorizationDialog> authorization(Authorize);
  Start();

  EXPECT_EQ(messages_.Texts(), std::vector<QString>{"清除前备份失败, 未清除任何数据"});
  EXPECT_EQ(Count("transactiondetails"), 1);
  EXPECT_TRUE(dialog_.isVisible());
  EXPECT_TRUE(dialog_.findChild<QPushButton*>("startButton")->isEnabled());
  EXPECT_EQ(dialog_.findChild<QLabel*>("progressLabel")->text(), "清除内容");
}

TEST_F(DataClearDialogTest, MissingDatabaseClosesWithoutClearing) {
  fs::remove(store::DatabasePath());
  Tick("salesCheck");
  ModalDriver<app::AuthorizationDialog> authorization(Authorize);
  Start();
  EXPECT_EQ(messages_.Texts(), std::vector<QString>{"数据库无法打开, 未清除任何数据"});
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_FALSE(fs::exists(app::BackupFolder()));
}

}  // namespace

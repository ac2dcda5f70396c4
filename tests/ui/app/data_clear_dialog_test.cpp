#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>

#include "core/app/backup.h"
#include "core/common/clock.h"
#include "ui/app/AuthorizationDialog.h"
#include "ui/app/DataClearDialog.h"
#include "ui/ui_test_support.h"

namespace {
namespace fs = std::filesystem;
using namespace testing_support;

// What each group clears and the safety copy's content are proven in core; these tests cover
// the asking, the messages and what the dialog does after each outcome.
class DataClearDialogTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    Open().ExecScript(
        "insert into membermaster (memberid) values ('M1');"
        "insert into transactiondetails (transactionnumber) values (1);");
    dialog_.show();
  }

  // Ticks the group's box and presses start, answering the authorization prompt with action.
  bool Start(const char* box, std::function<void(ui::AuthorizationDialog*)> action) {
    if (box) dialog_.findChild<QCheckBox*>(box)->setChecked(true);
    ModalDriver<ui::AuthorizationDialog> authorization(std::move(action));
    Click(dialog_, "startButton");
    return authorization.ran();
  }
  int64_t Count(const char* table) {
    return *Open().QueryInt(std::string("select count(*) from ") + table);
  }

  ui::MessageBoxSeam messages_;
  ui::DataClearDialog dialog_;
};

TEST_F(DataClearDialogTest, AsksOnlyWhenSomethingIsTickedAndClearsNothingOnCancel) {
  EXPECT_FALSE(Start(nullptr, Press("cancelButton")));
  EXPECT_EQ(messages_.Texts(), Texts{"请选择要清除的数据"});
  EXPECT_TRUE(Start("salesCheck", Press("cancelButton")));
  EXPECT_EQ(messages_.Texts(), Texts{"请选择要清除的数据"});
  EXPECT_TRUE(dialog_.isVisible());
  EXPECT_EQ(Count("transactiondetails"), 1);
  EXPECT_FALSE(fs::exists(app::BackupFolder()));
}

TEST_F(DataClearDialogTest, AuthorizedClearEmptiesTheTickedGroupsAndNamesTheSafetyCopy) {
  common::SetFixedClock(common::MakeTime(2024, 3, 1, 18, 30, 0));
  EXPECT_TRUE(Start("membersCheck", Authorize));
  fs::path copy = app::BackupFolder() / "清除前备份20240301183000.dat";
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_TRUE(messages_.shown()[0].text.startsWith("数据删除完毕!\n"));
  EXPECT_TRUE(messages_.shown()[0].text.contains(QString::fromStdString(copy.string())));
  auto* bar = dialog_.findChild<QProgressBar*>("progressBar");
  EXPECT_EQ(bar->value(), bar->maximum());
  EXPECT_EQ(dialog_.result(), QDialog::Accepted);
  EXPECT_EQ(Count("membermaster"), 0);
  EXPECT_EQ(Count("transactiondetails"), 1);
}

TEST_F(DataClearDialogTest, FailedSafetyCopyClearsNothingAndKeepsTheDialogOpen) {
  { std::ofstream(app::BackupFolder()) << "not a folder"; }
  Start("salesCheck", Authorize);
  EXPECT_EQ(messages_.Texts(), Texts{"清除前备份失败, 未清除任何数据"});
  EXPECT_EQ(Count("transactiondetails"), 1);
  EXPECT_TRUE(dialog_.isVisible());
  EXPECT_TRUE(dialog_.findChild<QPushButton*>("startButton")->isEnabled());
}

TEST_F(DataClearDialogTest, MissingDatabaseClosesWithoutClearing) {
  fs::remove(store::DatabasePath());
  Start("salesCheck", Authorize);
  EXPECT_EQ(messages_.Texts(), Texts{"数据库无法打开, 未清除任何数据"});
  EXPECT_FALSE(dialog_.isVisible());
  EXPECT_FALSE(fs::exists(app::BackupFolder()));
}

}  // namespace

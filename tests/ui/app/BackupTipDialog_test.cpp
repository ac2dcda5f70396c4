#include "ui/app/BackupTipDialog.h"

#include "core/app/backup.h"
#include "core/common/clock.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

using BackupTipDialogTest = TestDatabase;

TEST_F(BackupTipDialogTest, BacksUpAfterOneSecondAndCannotBeCancelled) {
  ui::MessageBoxSeam messages;
  common::SetFixedClock(common::MakeTime(2024, 5, 6, 18, 5, 0));
  ui::BackupTipDialog tip;
  tip.show();
  QTest::keyClick(&tip, Qt::Key_Escape);
  tip.close();
  EXPECT_TRUE(tip.isVisible());
  EXPECT_FALSE(std::filesystem::exists(app::BackupFolder()));

  EXPECT_TRUE(WaitFor([&] { return !tip.isVisible(); }));
  EXPECT_TRUE(std::filesystem::exists(app::BackupFolder() / "自动备份20240506180500.dat"));
  EXPECT_TRUE(messages.shown().empty());
}

// The program ends after this dialog: a copy that was not written must be said.
TEST_F(BackupTipDialogTest, FailedBackupIsReportedAndTheDialogStillCloses) {
  ui::MessageBoxSeam messages;
  std::filesystem::remove(store::DatabasePath());
  ui::BackupTipDialog tip;
  EXPECT_EQ(tip.exec(), QDialog::Accepted);
  EXPECT_EQ(messages.Texts(), Texts{"备份失败"});
}

}  // namespace

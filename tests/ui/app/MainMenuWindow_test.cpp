#include "app/MainMenuWindow.h"

#include <gtest/gtest.h>

#include <QTest>
#include <filesystem>
#include <stdexcept>

#include "app/MenuPicture.h"
#include "app/backup.h"
#include "common/MessageBox.h"
#include "common/clock.h"
#include "store/database.h"
#include "support/test_database.h"
#include "ui/ui_test_support.h"

namespace {

class MainMenuWindowTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    Open().Exec(
        "insert into operatormaster (workno,operatorname,operatorpassword,operatorduty) "
        "values ('7','张三','7','收银员')");
  }

  // A shown menu whose launches are recorded instead of opening screens.
  std::unique_ptr<app::MainMenuWindow> Menu(const QString& workno) {
    auto menu = std::make_unique<app::MainMenuWindow>(workno);
    menu->SetLauncher([this, workno, shown = menu.get()](const app::MenuModule& module,
                                                         QWidget* parent, const QString& account) {
      launched_.push_back(module.key);
      EXPECT_EQ(parent, shown);
      EXPECT_EQ(account, workno);
    });
    menu->resize(app::kMenuPictureWidth, app::kMenuPictureHeight);
    menu->show();
    return menu;
  }

  static app::MenuPicture* Picture(app::MainMenuWindow& menu) {
    return menu.findChild<app::MenuPicture*>("menuPicture");
  }

  std::vector<int> launched_;
  ui::MessageBoxSeam messages_;
};

TEST_F(MainMenuWindowTest, IsABorderlessWindowFilledByThePicture) {
  auto menu = Menu("0");
  EXPECT_TRUE(menu->windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(Picture(*menu)->size(), menu->size());
  menu->resize(900, 660);
  QTest::qWait(0);
  EXPECT_EQ(Picture(*menu)->size(), QSize(900, 660));
}

TEST_F(MainMenuWindowTest, CashierReachesSalesButNotSettings) {
  auto menu = Menu("7");
  QTest::keyClick(menu.get(), Qt::Key_F1);
  EXPECT_EQ(launched_, std::vector<int>{1});
  EXPECT_TRUE(messages_.shown().empty());

  QTest::keyClick(menu.get(), Qt::Key_F8);
  EXPECT_EQ(launched_, std::vector<int>{1});
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_EQ(messages_.shown()[0].text, "您没有这个权限");
  EXPECT_EQ(messages_.shown()[0].title, "确认");
  EXPECT_TRUE(menu->isVisible());
}

TEST_F(MainMenuWindowTest, BackupAndUpdateNeedNoRight) {
  auto menu = Menu("7");
  QTest::keyClick(menu.get(), Qt::Key_F10);
  QTest::keyClick(menu.get(), Qt::Key_F11);
  EXPECT_EQ(launched_, (std::vector<int>{10, 11}));
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(MainMenuWindowTest, ManagerReachesEveryModuleAndUnknownAccountsNone) {
  auto manager = Menu("0");
  for (int key = Qt::Key_F1; key <= Qt::Key_F11; ++key) {
    QTest::keyClick(manager.get(), static_cast<Qt::Key>(key));
  }
  EXPECT_EQ(launched_, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_TRUE(messages_.shown().empty());

  launched_.clear();
  auto stranger = Menu("nobody");
  QTest::keyClick(stranger.get(), Qt::Key_F1);
  EXPECT_TRUE(launched_.empty());
  EXPECT_EQ(messages_.Texts(), std::vector<QString>{"您没有这个权限"});
}

TEST_F(MainMenuWindowTest, ClicksOpenTheModuleUnderThePointerAndBordersAreOutside) {
  auto menu = Menu("7");
  app::MenuPicture* picture = Picture(*menu);
  ASSERT_EQ(picture->size(), QSize(app::kMenuPictureWidth, app::kMenuPictureHeight));

  QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(96, 150));  // F1's left border
  EXPECT_TRUE(launched_.empty());
  EXPECT_TRUE(messages_.shown().empty());

  QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(97, 150));
  EXPECT_EQ(launched_, std::vector<int>{1});

  QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(478, 250));  // inside F8
  EXPECT_EQ(messages_.Texts(), std::vector<QString>{"您没有这个权限"});

  QTest::mouseClick(picture, Qt::RightButton, {}, QPoint(130, 150));
  EXPECT_EQ(launched_, std::vector<int>{1});
}

TEST_F(MainMenuWindowTest, FailingModuleLeavesTheMenuRunning) {
  auto menu = Menu("0");
  menu->SetLauncher([this](const app::MenuModule& module, QWidget*, const QString&) {
    launched_.push_back(module.key);
    throw std::runtime_error("screen failed");
  });
  QTest::keyClick(menu.get(), Qt::Key_F2);
  QTest::keyClick(menu.get(), Qt::Key_F3);
  EXPECT_EQ(launched_, (std::vector<int>{2, 3}));
  EXPECT_TRUE(menu->isVisible());
}

TEST_F(MainMenuWindowTest, EscAndEnterEndTheMenuWithoutBackup) {
  auto escaped = Menu("0");
  QTest::keyClick(escaped.get(), Qt::Key_Escape);
  EXPECT_FALSE(escaped->isVisible());

  auto entered = Menu("0");
  QTest::keyClick(entered.get(), Qt::Key_Return);
  EXPECT_FALSE(entered->isVisible());
  EXPECT_FALSE(std::filesystem::exists(app::BackupFolder()));
  EXPECT_TRUE(launched_.empty());
}

TEST_F(MainMenuWindowTest, F12BacksUpThenEndsTheMenu) {
  kasso::SetFixedClock(kasso::MakeTime(2024, 5, 6, 9, 30, 0));
  auto menu = Menu("7");
  QTest::keyClick(menu.get(), Qt::Key_F12);
  EXPECT_FALSE(menu->isVisible());
  EXPECT_EQ(menu->result(), QDialog::Accepted);
  EXPECT_TRUE(std::filesystem::exists(app::BackupFolder() / "备份20240506093000.dat"));
  EXPECT_TRUE(messages_.shown().empty());
  EXPECT_TRUE(launched_.empty());
}

}  // namespace

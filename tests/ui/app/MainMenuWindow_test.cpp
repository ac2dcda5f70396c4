#include "ui/app/MainMenuWindow.h"

#include <stdexcept>

#include "core/app/backup.h"
#include "core/common/clock.h"
#include "ui/app/MenuPicture.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

using Keys = std::vector<int>;

class MainMenuWindowTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    Open().Exec("insert into operatormaster values ('7','张三','7','收银员')");
  }

  // A shown menu whose launches are recorded instead of opening screens.
  std::unique_ptr<ui::MainMenuWindow> Menu(const QString& workno) {
    auto menu = std::make_unique<ui::MainMenuWindow>(workno);
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

  Keys launched_;
  ui::MessageBoxSeam messages_;
};

// Backup (F10) and update (F11) need no right; settings (F8) does.
TEST_F(MainMenuWindowTest, CashierKeysOpenAllowedModulesAndRefuseTheOthers) {
  auto menu = Menu("7");
  for (Qt::Key key : {Qt::Key_F1, Qt::Key_F8, Qt::Key_F10, Qt::Key_F11}) {
    QTest::keyClick(menu.get(), key);
  }
  EXPECT_EQ(launched_, (Keys{1, 10, 11}));
  EXPECT_EQ(messages_.Texts(), Texts{"您没有这个权限"});
  EXPECT_TRUE(menu->isVisible());
}

TEST_F(MainMenuWindowTest, ManagerReachesEveryModuleEvenAfterOneFails) {
  auto manager = Menu("0");
  for (int key = Qt::Key_F1; key <= Qt::Key_F11; ++key) {
    QTest::keyClick(manager.get(), static_cast<Qt::Key>(key));
  }
  EXPECT_EQ(launched_, (Keys{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
  EXPECT_TRUE(messages_.shown().empty());

  // A module that fails says why and leaves the menu running and answering keys.
  launched_.clear();
  manager->SetLauncher([this](const app::MenuModule& module, QWidget*, const QString&) {
    launched_.push_back(module.key);
    throw std::runtime_error("screen failed");
  });
  QTest::keyClick(manager.get(), Qt::Key_F2);
  QTest::keyClick(manager.get(), Qt::Key_F3);
  EXPECT_EQ(launched_, (Keys{2, 3}));
  EXPECT_EQ(messages_.Texts(), Texts(2, "操作有误: screen failed"));
  EXPECT_TRUE(manager->isVisible());
}

TEST_F(MainMenuWindowTest, PictureFillsTheWindowAndLeftClicksOpenTheModuleUnderIt) {
  auto menu = Menu("7");
  auto* picture = menu->findChild<ui::MenuPicture*>("menuPicture");
  ASSERT_EQ(picture->size(), QSize(app::kMenuPictureWidth, app::kMenuPictureHeight));

  QTest::mouseClick(picture, Qt::RightButton, {}, QPoint(130, 150));
  EXPECT_TRUE(launched_.empty());
  QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(97, 150));
  EXPECT_EQ(launched_, Keys{1});

  menu->resize(900, 660);
  QTest::qWait(0);
  EXPECT_EQ(picture->size(), QSize(900, 660));
}

// Esc and Enter ask first; "是" leaves through the same backup as F12, which does not ask.
TEST_F(MainMenuWindowTest, EscAndEnterAskAndLeaveWithTheSameBackupAsF12) {
  common::SetFixedClock(common::MakeTime(2024, 5, 6, 9, 30, 0));
  const std::filesystem::path copy = app::BackupFolder() / "自动备份20240506093000.dat";
  for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
    auto menu = Menu("0");
    QTest::keyClick(menu.get(), key);  // answered 否
    EXPECT_TRUE(menu->isVisible()) << key;
    EXPECT_FALSE(std::filesystem::exists(copy)) << key;
    messages_.SetNextAnswer(true);
    QTest::keyClick(menu.get(), key);
    EXPECT_FALSE(menu->isVisible()) << key;
    EXPECT_EQ(menu->result(), QDialog::Accepted) << key;
    EXPECT_TRUE(std::filesystem::remove(copy)) << key;
  }
  EXPECT_EQ(messages_.Texts(), Texts(4, "是否退出系统?"));

  messages_.Clear();
  auto menu = Menu("7");
  QTest::keyClick(menu.get(), Qt::Key_F12);
  EXPECT_FALSE(menu->isVisible());
  EXPECT_EQ(menu->result(), QDialog::Accepted);
  EXPECT_TRUE(std::filesystem::exists(copy));
  EXPECT_TRUE(messages_.shown().empty());
  EXPECT_TRUE(launched_.empty());
}

TEST_F(MainMenuWindowTest, BandNamesTheShopTheOperatorAndTheDayAndFollowsTheSettings) {
  common::SetFixedClock(common::MakeTime(2026, 12, 6, 10, 30, 0));
  Open().Exec("update management set welcome = ?", " 老街便利店\n欢迎光临");
  auto menu = Menu("7");
  auto* picture = menu->findChild<ui::MenuPicture*>("menuPicture");
  EXPECT_EQ(picture->shop(), "老街便利店");
  EXPECT_EQ(picture->session(), "操作员: 张三 (7)    2026-12-06 星期日");

  // The settings screen renames the shop: the band shows it when the menu is back.
  menu->SetLauncher([this](const app::MenuModule&, QWidget*, const QString&) {
    Open().Exec("update management set welcome = '新街便利店'");
  });
  QTest::keyClick(menu.get(), Qt::Key_F1);
  EXPECT_EQ(picture->shop(), "新街便利店");
}

}  // namespace

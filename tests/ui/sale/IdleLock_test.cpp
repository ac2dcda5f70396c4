// A cashier screen left alone covers itself and keeps the sale on it as it was.

#include "ui/sale/IdleLock.h"

#include <QLabel>

#include "core/app/accounts.h"
#include "core/store/audit.h"
#include "ui/sale/SalesFrontDialog.h"
#include "ui/touch/TouchFrontDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

class IdleLockTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    AddGoods("6901", "牛奶", 2.5);
    AddGoods("6902", "面包", 4);
    app::SaveOperator({"7", "李四", "77", app::kCashierDuty});
    app::SaveOperator({"8", "王五", "88", app::kCashierDuty});
  }

  // Covers the screen, types account and password into the cover and presses Enter.
  static void Unlock(QWidget& screen, const QString& account, const QString& password) {
    SetText(screen, "unlockAccountEdit", account);
    auto* edit = Find<QLineEdit>(screen, "unlockPasswordEdit");
    edit->setFocus();
    QTest::keyClicks(edit, password);
    QTest::keyClick(edit, Qt::Key_Return);
  }
};

TEST_F(IdleLockTest, TheKeyboardScreenLocksWhenLeftAloneAndKeepsTheSale) {
  ui::SalesFrontDialog screen(nullptr, "7");
  screen.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
  auto* entry = Find<QLineEdit>(screen, "entryEdit");
  for (const char* code : {"6901", "6902"}) {
    QTest::keyClicks(entry, code);
    QTest::keyClick(entry, Qt::Key_Return);
  }
  ASSERT_EQ(screen.current_sale().lines.size(), 2u);
  const std::vector<sale::SaleLine> before = screen.current_sale().lines;

  screen.idle_lock().SetIdleInterval(50);
  ASSERT_TRUE(WaitFor([&] { return screen.idle_lock().IsLocked(); }));
  auto* cover = Find<QWidget>(screen, "idleLockCover");
  EXPECT_EQ(cover->geometry(), screen.rect());
  EXPECT_EQ(Text(screen, "unlockAccountEdit"), "7");

  // Nothing reaches the screen beneath: not a scan, not Esc, not "-" that removes a line.
  for (const char* typed : {"6901", "-"}) {
    QTest::keyClicks(entry, typed);
    QTest::keyClick(entry, Qt::Key_Return);
  }
  QTest::keyClick(entry, Qt::Key_Escape);
  EXPECT_TRUE(screen.isVisible());

  // Another cashier's password does not open it; a wrong one neither.
  Unlock(screen, "8", "88");
  EXPECT_TRUE(screen.idle_lock().IsLocked());
  Unlock(screen, "7", "78");
  EXPECT_TRUE(screen.idle_lock().IsLocked());
  EXPECT_EQ(Text(screen, "unlockMessageLabel"), "密码有误");
  EXPECT_EQ(Count("select count(*) from auditlog where action = ?",
                  std::string(store::kAuditLoginFailed)),
            2);

  Unlock(screen, "7", "77");
  EXPECT_FALSE(screen.idle_lock().IsLocked());
  EXPECT_EQ(screen.current_sale().lines.size(), before.size());
  for (size_t i = 0; i < before.size(); ++i) {
    EXPECT_EQ(screen.current_sale().lines[i].columns, before[i].columns);
  }
  EXPECT_EQ(Count("select count(*) from auditlog where action = ?",
                  std::string(store::kAuditLineRemoved)),
            0);
}

TEST_F(IdleLockTest, TheTouchScreenOpensForAManagerAndNeverLocksAtZero) {
  ui::TouchFrontDialog screen(nullptr, "7");
  screen.setWindowState(Qt::WindowNoState);
  screen.resize(1024, 768);
  screen.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&screen));
  screen.idle_lock().Lock();
  ASSERT_TRUE(screen.idle_lock().IsLocked());
  Unlock(screen, "0", "0");  // the built-in manager
  EXPECT_FALSE(screen.idle_lock().IsLocked());

  screen.idle_lock().SetIdleInterval(0);
  QTest::qWait(100);
  EXPECT_FALSE(screen.idle_lock().IsLocked());
}

}  // namespace

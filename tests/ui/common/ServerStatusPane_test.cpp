// Both cashier screens show the shop server's state, as the program's sender knows it.

#include <QLabel>

#include "core/serversync/background_sender.h"
#include "core/store/outbox.h"
#include "ui/sale/SalesFrontDialog.h"
#include "ui/touch/TouchFrontDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

class ServerStatusPaneTest : public TestDatabase {};

QString PaneAfterATick(const QWidget& screen) {
  QLabel* pane = Find<QLabel>(screen, "serverPane");
  // The sender looks once at start and the screens' clock ticks every second.
  for (int i = 0; i < 40 && pane->text().isEmpty(); ++i) QTest::qWait(100);
  QTest::qWait(1100);
  return pane->text();
}

TEST_F(ServerStatusPaneTest, CashierScreensSayTheServerIsUnreachableWhileRecordsWait) {
  {
    ui::SalesFrontDialog screen(nullptr, "0");
    EXPECT_EQ(Find<QLabel>(screen, "serverPane")->text(), "");  // no sender, not joined
  }
  {
    store::Database db = Open();
    store::WriteServerLink(db, "host=/nonexistent-socket-dir dbname=x", "一号店", "收银一");
    db.Exec(
        "insert into outbox (epoch,kind,localno,payload,queuedat) "
        "select epoch,'bill','1','[]','2026-01-01 00:00:00' from serverlink");
  }
  serversync::BackgroundSender sender(store::DatabasePath());
  {
    ui::SalesFrontDialog screen(nullptr, "0");
    EXPECT_EQ(PaneAfterATick(screen), "总部: 未连接");
  }
  {
    ui::TouchFrontDialog screen(nullptr, "0");
    EXPECT_EQ(PaneAfterATick(screen), "总部: 未连接");
  }
}

}  // namespace

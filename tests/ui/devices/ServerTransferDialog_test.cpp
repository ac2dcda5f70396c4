#include "ui/devices/ServerTransferDialog.h"

#include "core/serversync/pg.h"
#include "core/serversync/server_schema.h"
#include "core/store/outbox.h"
#include "support/pg_cluster.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

class ServerTransferDialogTest : public TestDatabase {
 protected:
  ui::MessageBoxSeam messages_;
};

TEST_F(ServerTransferDialogTest, JoinsWithTheTypedAddressAndNeverShowsThePasswordAgain) {
  const std::string conninfo = PgCluster::Shared().NewDatabase();
  {
    serversync::PgConnection conn(conninfo);
    serversync::InitServerSchema(conn);
  }
  // The test cluster trusts every login, so a password rides along unchecked.
  const std::string with_password = conninfo + " password=geheim";
  {
    ui::ServerTransferDialog dialog(nullptr);
    EXPECT_EQ(Find<QLabel>(dialog, "stateLabel")->text(), "未加入");
    EXPECT_FALSE(Find<QAbstractButton>(dialog, "sendButton")->isEnabled());
    Find<QLineEdit>(dialog, "addressEdit")->setText(QString::fromStdString(with_password));
    Find<QLineEdit>(dialog, "tillEdit")->setText("收银一");
    Click(dialog, "testButton");
    messages_.SetNextAnswer(true);
    Click(dialog, "joinButton");
    EXPECT_EQ(messages_.Texts(), (Texts{"连接成功",
                                        "加入后, 本机的商品、会员、账号和全店设置以总部为准 "
                                        "(总部尚无资料时以本机为准)。是否加入?",
                                        "已加入总部服务器"}));
    EXPECT_NE(Find<QLabel>(dialog, "lastPulledLabel")->text(), "-");
    EXPECT_EQ(Find<QLabel>(dialog, "stateLabel")->text(), "总部: 已同步");
  }
  EXPECT_EQ(Open().QueryText("select conninfo from serverlink"), with_password);
  EXPECT_EQ(Open().QueryText("select shopname || '/' || tillname from serverlink"), "本店/收银一");

  // Opened again: the password is masked, and the masked text still means the stored one.
  Open().Exec(
      "insert into outbox (epoch,kind,localno,payload,queuedat) "
      "select epoch,'bill','1','[]','2026-01-01 00:00:00' from serverlink");
  messages_.Clear();
  ui::ServerTransferDialog dialog(nullptr);
  const QString shown = Find<QLineEdit>(dialog, "addressEdit")->text();
  EXPECT_FALSE(shown.contains("geheim")) << shown.toStdString();
  EXPECT_TRUE(shown.contains("password=******")) << shown.toStdString();
  EXPECT_EQ(Find<QLabel>(dialog, "queueLabel")->text(), "1");
  Click(dialog, "sendButton");
  EXPECT_EQ(messages_.Texts(), (Texts{"已发送 1 笔, 已更新 0 项"}));
  EXPECT_EQ(Find<QLabel>(dialog, "queueLabel")->text(), "0");
}

TEST_F(ServerTransferDialogTest, UnreachableServerIsToldAndNothingIsStored) {
  ui::ServerTransferDialog dialog(nullptr);
  Find<QLineEdit>(dialog, "addressEdit")->setText("host=/nonexistent-socket-dir dbname=x");
  Find<QLineEdit>(dialog, "tillEdit")->setText("收银一");
  messages_.SetNextAnswer(true);
  Click(dialog, "joinButton");
  ASSERT_EQ(messages_.Texts().size(), 2u);
  EXPECT_TRUE(messages_.Texts()[1].startsWith("总部服务器连接失败"))
      << messages_.Texts()[1].toStdString();
  EXPECT_FALSE(Open().HasRow("select 1 from serverlink"));
}

}  // namespace

// Two tills of one shop through their own screens: a price changed in the goods editor at one
// till shows in the goods list the other till opens, its stock screen says whose stock it shows,
// and while the server is down the editor says why it cannot save and changes nothing.

#include <QLabel>
#include <QTableView>

#include "core/app/main_menu.h"
#include "core/serversync/pg.h"
#include "core/serversync/sender.h"
#include "core/serversync/server_schema.h"
#include "core/serversync/shared_data.h"
#include "core/store/schema.h"
#include "core/store/sharing.h"
#include "support/pg_cluster.h"
#include "ui/app/ModuleLauncher.h"
#include "ui/backoffice/goods/GoodsEditDialog.h"
#include "ui/backoffice/goods/GoodsListDialog.h"
#include "ui/backoffice/goods/StockDialog.h"
#include "ui/backoffice/members/DepositEntryDialog.h"
#include "ui/backoffice/members/MemberEditDialog.h"
#include "ui/backoffice/members/MemberListDialog.h"
#include "ui/devices/ServerCall.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

class SharedScreensTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    AddGoods("6901", "可乐", 3);
    const std::string conninfo = PgCluster::Shared().NewDatabase();
    {
      serversync::PgConnection conn(conninfo);
      serversync::InitServerSchema(conn);
    }
    one_ = dir();
    two_ = MakeTempDir();
    for (const auto& [till, name] : {std::pair{one_, "收银一"}, std::pair{two_, "收银二"}}) {
      store::SetDataDirectory(till);
      if (till == two_) store::CreateNewDatabase(store::DatabasePath());
      store::Database db;
      serversync::JoinServer(db, conninfo, "一号店", name);
    }
    store::SetDataDirectory(one_);
    serversync::InstallCommitGate();
  }
  void TearDown() override {
    store::SetCommitGate({});
    store::SetDataDirectory(one_);
    std::error_code ignored;
    std::filesystem::remove_all(two_, ignored);
    TestDatabase::TearDown();
  }

  // Changes the sales price of the first goods in the goods editor, opened from the list.
  static void EditPrice(const QString& price) {
    ui::GoodsListDialog list(nullptr, "0");
    Find<QTableView>(list, "goodsTable")->selectRow(0);
    EXPECT_TRUE(ClickInto<ui::GoodsEditDialog>(list, "modifyButton", [&](auto* editor) {
      SetText(*editor, "salesPriceEdit", price);
      Click(*editor, "confirmButton");
      if (editor->isVisible()) Click(*editor, "cancelButton");
    }));
  }

  std::filesystem::path one_, two_;
  ui::MessageBoxSeam messages_;
};

TEST_F(SharedScreensTest, APriceEditedAtOneTillShowsAtTheOtherAndOfflineTheEditorRefuses) {
  EditPrice("3.5");
  EXPECT_EQ(Number("select salesprice from goodsmaster where barcode = '6901'"), 3.5);

  // The other till's goods screen opens on the shop's latest data.
  store::SetDataDirectory(two_);
  ModalDriver<ui::GoodsListDialog> check([](ui::GoodsListDialog* list) {
    EXPECT_EQ(Cell(*list, "goodsTable", 0, 1), "6901");
    EXPECT_EQ(Cell(*list, "goodsTable", 0, 5), "3.50");
    Click(*list, "exitButton");
  });
  ui::LaunchModule(app::MenuModule{2, 0, 0, 0, 0, std::nullopt, "商品"}, nullptr, "0");
  EXPECT_TRUE(check.ran());
  {
    ui::StockDialog stock(nullptr, "0");
    EXPECT_FALSE(Find<QLabel>(stock, "asOfLabel")->isHidden());
    EXPECT_TRUE(Find<QLabel>(stock, "asOfLabel")->text().startsWith("全店库存, 截至 "));
  }
  store::SetDataDirectory(one_);

  PgCluster::Shared().Stop();
  messages_.Clear();
  EditPrice("4");
  PgCluster::Shared().Start();
  EXPECT_EQ(messages_.Texts(), Texts{serversync::kOfflineEditText});
  EXPECT_EQ(Number("select salesprice from goodsmaster where barcode = '6901'"), 3.5);

  // Back online, the same edit goes through and reaches the other till.
  messages_.Clear();
  EditPrice("4");
  EXPECT_EQ(messages_.Texts(), Texts{});
  store::SetDataDirectory(two_);
  ui::PullSharedData();
  EXPECT_EQ(Number("select salesprice from goodsmaster where barcode = '6901'"), 4);
  store::SetDataDirectory(one_);
}

// The second till is the back office here: a member added and topped up in its member screens
// is on the first till's member list, balance and all, once the top-up has been sent.
TEST_F(SharedScreensTest, AMemberAddedAndToppedUpInTheBackOfficeIsOnTheCashiersList) {
  store::SetDataDirectory(two_);
  {
    ui::MemberListDialog list(nullptr, "0");
    ModalDriver<ui::MemberEditDialog> add([&](ui::MemberEditDialog* editor) {
      messages_.SetNextAnswer(true);
      TypeEach(editor,
               {"M100", "钱多多", "", "110199", "13911112222", "123", "", "", "", "", "上海", ""});
      Click(*editor, "cancelButton");
    });
    Click(list, "addButton");
    EXPECT_TRUE(add.ran());
    Find<QTableView>(list, "memberTable")->selectRow(0);
    ModalDriver<ui::DepositEntryDialog> deposit([&](ui::DepositEntryDialog* entry) {
      TypeEnter(entry, "200");
      messages_.SetNextAnswer(true);
      TypeEnter(entry, "");
      Click(*entry, "cancelButton");
    });
    Click(list, "depositButton");
    EXPECT_TRUE(deposit.ran());
    store::Database db;
    serversync::SendPending(db);  // what the running program's sender does within a second
  }
  store::SetDataDirectory(one_);
  ModalDriver<ui::MemberListDialog> check([](ui::MemberListDialog* list) {
    EXPECT_EQ(Rows(*list, "memberTable"), 1);
    EXPECT_EQ(Cell(*list, "memberTable", 0, 1), "钱多多");
    EXPECT_EQ(Cell(*list, "memberTable", 0, 6), "200.00");
    Click(*list, "exitButton");
  });
  ui::LaunchModule(app::MenuModule{4, 0, 0, 0, 0, std::nullopt, "会员"}, nullptr, "0");
  EXPECT_TRUE(check.ran());
  EXPECT_EQ(messages_.Texts(), (Texts{"保存?", "会员 钱多多 储值 200.00, 保存?"}));
}

TEST_F(SharedScreensTest, AStockScreenOfATillThatHasNotJoinedSaysNothingAboutTheShop) {
  Open().Exec("delete from serverlink");
  ui::StockDialog stock(nullptr, "0");
  EXPECT_TRUE(Find<QLabel>(stock, "asOfLabel")->isHidden());
}

}  // namespace

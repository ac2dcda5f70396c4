// F5 on a till joined to a shop server: the journal of this till, or of every till of the shop.

#include "core/common/clock.h"
#include "core/sale/commit_sale.h"
#include "core/sale/sale_fixture.h"
#include "core/serversync/pg.h"
#include "core/serversync/sender.h"
#include "core/serversync/server_schema.h"
#include "support/pg_cluster.h"
#include "ui/reports/DateRangeDialog.h"
#include "ui/reports/QueryDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

class HeadOfficeQueryTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    AddGoods("1", "面包", 10.00);
    kasso::SetFixedClock(kasso::MakeTime(2024, 5, 1, 9, 0, 0));
  }
  void Sell(int loaves) {
    sale::CurrentSale sale;
    sale.workno = "0";
    sale::NewSale(sale);
    sale_testing::ScriptedSaleUi ui;
    sale_testing::RecordingDisplay display;
    sale::ProcessEntry(sale, "1", ui, display);
    sale::ProcessEntry(sale, "*" + std::to_string(loaves), ui, display);
    ASSERT_TRUE(sale::CommitSale(sale, {.due = sale.total, .cash = sale.total}, ui).committed);
  }
  // The journal for today, as the list shows it with the scope chooser at index scope.
  std::vector<QString> Journal(int scope) {
    ui::QueryDialog dialog(nullptr, "0");
    auto* combo = Find<QComboBox>(dialog, "scopeCombo");
    EXPECT_FALSE(combo->isHidden());
    combo->setCurrentIndex(scope);
    ModalDriver<ui::DateRangeDialog> today(Press("confirmButton"));
    Click(dialog, "journalButton");
    std::vector<QString> rows;
    QAbstractItemModel* list = Model(dialog, "resultTable");
    for (int row = 0; row < list->rowCount(); ++row) {
      rows.push_back(Cell(dialog, "resultTable", row, 1) + " " +
                     Cell(dialog, "resultTable", row, 6));
    }
    return rows;
  }

  ui::MessageBoxSeam messages_;
};

TEST_F(HeadOfficeQueryTest, JournalCoversThisTillOrTheWholeShop) {
  {
    ui::QueryDialog dialog(nullptr, "0");
    EXPECT_TRUE(Find<QComboBox>(dialog, "scopeCombo")->isHidden());  // not joined
  }
  const std::string conninfo = PgCluster::Shared().NewDatabase();
  serversync::PgConnection conn(conninfo);
  serversync::InitServerSchema(conn);
  {
    store::Database db = Open();
    serversync::JoinServer(db, conninfo, "一号店", "收银一");
  }
  Sell(2);
  {
    store::Database db = Open();
    serversync::SendPending(db);
  }
  // Another till of the shop sold one loaf under the same bill number.
  conn.ExecScript(
      "insert into tills (till_id, shop_id, name) select gen_random_uuid(), shop_id, '收银二' "
      "from shops;"
      "insert into journal (till_id, epoch, transactionnumber, transactiontype, "
      "transactiondatetime, quantity, price, actualvalue, barcode, workno, shiftid) "
      "select till_id, 'e', 1, k.type, '2024-05-01 10:00:00', 1, 10, 10, k.barcode, '0', 0 "
      "from tills cross join (values ('销售', '1'), ('销售总计', '')) as k(type, barcode) "
      "where name = '收银二'");

  EXPECT_EQ(Journal(0), (std::vector<QString>{"销售 20.00", "销售总计 20.00", " 20.00"}));
  const std::vector<QString> shop = Journal(1);
  ASSERT_EQ(shop.size(), 5u);
  EXPECT_EQ(shop.back(), " 30.00");  // the bill totals of both tills, each once
  EXPECT_TRUE(messages_.Texts().empty());
}

}  // namespace

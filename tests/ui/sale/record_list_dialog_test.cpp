#include <QItemSelectionModel>

#include "ui/sale/RecordListDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

class RecordListDialogTest : public TestDatabase {
 protected:
  void ParkTwoSales() const {
    Open().ExecScript(
        "insert into transactionpendinglist (listnumber,barcode,quantity,frontprice,memberid,"
        "transdatetime,frontdisrate) values (1,'a',2,1,'','2024-05-01 09:00:00',1),"
        "(2,'b',0.5,1,'m1','2024-05-01 09:30:00',1);");
  }

  ui::MessageBoxSeam boxes_;
};

TEST_F(RecordListDialogTest, OpensWithTheFirstRowSelectedAndReturnsTheChosenKey) {
  ParkTwoSales();
  ModalDriver<ui::RecordListDialog> driver([](ui::RecordListDialog* dialog) {
    QTableView* table = dialog->findChild<QTableView*>("recordTable");
    EXPECT_EQ(table->selectionBehavior(), QAbstractItemView::SelectRows);
    const QVariant alignment = table->model()->index(1, 2).data(Qt::TextAlignmentRole);
    EXPECT_TRUE(alignment.value<Qt::Alignment>() & Qt::AlignRight);
    ASSERT_EQ(table->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(table->selectionModel()->selectedRows().front().row(), 0);
    ASSERT_TRUE(dialog->SelectRow(1));
    Click(*dialog, "okButton");
  });
  EXPECT_EQ(ui::RecordListDialog::ChooseNumber(nullptr, sale::kSuspendedBillsMode), 2);
  EXPECT_TRUE(driver.ran());
  EXPECT_TRUE(boxes_.Texts().empty());
}

TEST_F(RecordListDialogTest, ConfirmWithoutASelectionAsksForOneAndStaysOpen) {
  ui::RecordListDialog dialog(nullptr, "挂单取回", sale::RecordList{});
  dialog.show();
  Click(dialog, "okButton");
  EXPECT_EQ(boxes_.Texts(), Texts{"请选择记录"});
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_TRUE(dialog.key().empty());
  EXPECT_FALSE(dialog.SelectRow(0));
}

TEST_F(RecordListDialogTest, CancelAndUnreadableListsChooseNothing) {
  ParkTwoSales();
  ModalDriver<ui::RecordListDialog> driver(Press("cancelButton"));
  EXPECT_EQ(ui::RecordListDialog::Choose(nullptr, sale::kSuspendedBillsMode), std::nullopt);
  EXPECT_TRUE(driver.ran());

  Open().ExecScript("drop table shiftsum");
  ModalDriver<ui::RecordListDialog> stray([](ui::RecordListDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(ui::RecordListDialog::Choose(nullptr, sale::kShiftReceiptsMode), std::nullopt);
  EXPECT_EQ(boxes_.Texts(), Texts{"班次有误"});
  EXPECT_FALSE(stray.ran());
}

}  // namespace

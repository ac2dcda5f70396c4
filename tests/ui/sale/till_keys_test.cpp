// The cashier screen's till keys end to end: receipts on a serial receipt printer, reprints,
// parking and taking back a sale, and the shift settlement.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <memory>
#include <string>

#include "common/MessageBox.h"
#include "core/devices/pty.h"
#include "devices/port.h"
#include "sale/RecordListDialog.h"
#include "sale/SalesFrontDialog.h"
#include "sale/SettleDialog.h"
#include "support/test_database.h"
#include "ui/ui_test_support.h"

namespace {

using testing_support::ModalDriver;

int CountReceipts(const std::string& bytes) {
  int count = 0;
  for (size_t at = bytes.find("\x1b@"); at != std::string::npos; at = bytes.find("\x1b@", at + 2)) {
    ++count;
  }
  return count;
}

class TillKeysTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    Open().Exec(
        "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,"
        "importprice,averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,"
        "givepoints,iscombined) values ('6901','牛奶','个','未分类',2.5,2.5,0,0,"
        "'2024-01-01 00:00:00','否',0,0,1,'否')");
    screen_ = std::make_unique<sale::SalesFrontDialog>(nullptr, "0");
    screen_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(screen_.get()));
    entry_ = screen_->findChild<QLineEdit*>("entryEdit");
  }
  void TearDown() override {
    screen_.reset();
    devices::OverridePortPath("com1", {});
    TestDatabase::TearDown();
  }

  void Type(const QString& text) {
    QTest::keyClicks(entry_, text);
    QTest::keyClick(entry_, Qt::Key_Return);
  }
  // Enter on the empty entry field, paying the due in cash.
  void SettleInCash() {
    ModalDriver<sale::SettleDialog> pay(
        [](sale::SettleDialog* dialog) { dialog->findChild<QPushButton*>("okButton")->click(); });
    QTest::keyClick(entry_, Qt::Key_Return);
    ASSERT_TRUE(pay.ran());
  }
  // Presses key and confirms the first row of the record chooser it opens.
  void ChooseFirst(Qt::Key key) {
    ModalDriver<sale::RecordListDialog> choose([](sale::RecordListDialog* dialog) {
      dialog->SelectRow(0);
      dialog->findChild<QPushButton*>("okButton")->click();
    });
    QTest::keyClick(entry_, key);
    ASSERT_TRUE(choose.ran());
  }
  int Rows() const { return screen_->findChild<QTableView*>("lineTable")->model()->rowCount(); }

  ui::MessageBoxSeam boxes_;
  std::unique_ptr<sale::SalesFrontDialog> screen_;
  QLineEdit* entry_ = nullptr;
};

TEST_F(TillKeysTest, SalePrintsItsCopiesAndF5ReprintsOne) {
  PseudoTerminal printer;
  devices::OverridePortPath("com1", printer.slave_path());
  Open().Exec(
      "update management set printercontrol = 'POS58', printerport = 'com1', "
      "printtimes = 2");
  Type("6901");
  SettleInCash();
  EXPECT_EQ(CountReceipts(printer.ReadAll()), 2);

  ChooseFirst(Qt::Key_F5);
  EXPECT_EQ(CountReceipts(printer.ReadAll()), 1);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(TillKeysTest, ParkedSaleComesBackWithF10) {
  Type("6901");
  Type("*3");
  QTest::keyClick(entry_, Qt::Key_F9);
  EXPECT_EQ(Rows(), 0);
  Type("6901");
  QTest::keyClick(entry_, Qt::Key_F10);  // refused: lines on screen
  EXPECT_EQ(boxes_.Texts(), std::vector<QString>{"有未结账的流水,不能取回挂单"});
  Type("-");  // cancel the line
  ChooseFirst(Qt::Key_F10);
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(screen_->current_sale().lines[0][sale::kQuantity], "3.000");
  EXPECT_EQ(Open().QueryInt("select count(*) from transactionpendinglist"), 0);
}

TEST_F(TillKeysTest, F12ClosesTheShiftAndF2PrintsItsSlip) {
  Type("6901");
  SettleInCash();
  QTest::keyClick(entry_, Qt::Key_F12);
  EXPECT_EQ(boxes_.Texts(), std::vector<QString>{"完成"});
  EXPECT_EQ(Open().QueryInt("select count(*) from transactiondetails where shiftid = 1"), 2);

  PseudoTerminal printer;
  devices::OverridePortPath("com1", printer.slave_path());
  Open().Exec("update management set printercontrol = 'POS58', printerport = 'com1'");
  ChooseFirst(Qt::Key_F2);
  EXPECT_EQ(CountReceipts(printer.ReadAll()), 1);
}

}  // namespace

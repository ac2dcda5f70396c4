#include "sale/SalesFrontDialog.h"

#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <memory>
#include <string>

#include "common/MessageBox.h"
#include "sale/MemberSelectDialog.h"
#include "sale/PriceEntryDialog.h"
#include "sale/QuickGoodsDialog.h"
#include "sale/WeighConfirmDialog.h"
#include "support/test_database.h"
#include "ui/ui_test_support.h"
#include "core/devices/pty.h"

namespace {

using testing_support::ModalDriver;

class SalesFrontDialogTest : public testing_support::TestDatabase {
 protected:
  void AddGoods(const std::string& barcode, const std::string& name, double price) const {
    Open().Exec(
        "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,"
        "importprice,averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,"
        "givepoints,iscombined) values (?,?,'个','未分类',?,?,0,0,'2024-01-01 00:00:00','否',"
        "0,0,1,'否')",
        barcode, name, price, price);
  }

  void AddMember(const std::string& memberid, const std::string& password) const {
    Open().Exec(
        "insert into membermaster (memberid,membername,memberpid,memberphone,memberpointsmode,"
        "memberpointsvalue,depositmode,depositvalue,memberpw,dismode,disrate,disondis) "
        "values (?,'王五','','','否',0,'否',0,?,'会员价',1,'否')",
        memberid, password);
  }

  void OpenScreen() {
    screen_ = std::make_unique<sale::SalesFrontDialog>(nullptr, "0");
    screen_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(screen_.get()));
    entry_ = screen_->findChild<QLineEdit*>("entryEdit");
    table_ = screen_->findChild<QTableView*>("lineTable");
    total_ = screen_->findChild<QLabel*>("totalLabel");
    ASSERT_NE(entry_, nullptr);
    ASSERT_NE(table_, nullptr);
    ASSERT_NE(total_, nullptr);
    entry_->setFocus();
  }

  void Type(const QString& text) {
    QTest::keyClicks(entry_, text);
    QTest::keyClick(entry_, Qt::Key_Return);
  }

  int Rows() const { return table_->model()->rowCount(); }
  QString Cell(int row, int column) const {
    return table_->model()->index(row, column).data().toString();
  }
  int SelectedRow() const { return table_->currentIndex().row(); }

  ui::MessageBoxSeam boxes_;
  std::unique_ptr<sale::SalesFrontDialog> screen_;
  QLineEdit* entry_ = nullptr;
  QTableView* table_ = nullptr;
  QLabel* total_ = nullptr;
};

TEST_F(SalesFrontDialogTest, OpensEmptyWithHeadingsAndPanes) {
  OpenScreen();
  EXPECT_EQ(screen_->windowTitle(), "销售");
  EXPECT_EQ(table_->model()->columnCount(), 13);
  EXPECT_EQ(table_->model()->headerData(0, Qt::Horizontal).toString(), "条码");
  EXPECT_EQ(table_->model()->headerData(12, Qt::Horizontal).toString(), "折扣金额");
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(total_->text(), "总计: ");
  EXPECT_EQ(screen_->findChild<QLabel*>("numberPane")->text(), "单号: 1");
  EXPECT_TRUE(screen_->findChild<QLabel*>("operatorPane")->text().startsWith("收银员: "));
  EXPECT_EQ(screen_->findChild<QPushButton*>("memberButton")->text(), "F4 会员");
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(SalesFrontDialogTest, ScansInARowEachAddALineAndTheTotal) {
  AddGoods("6901", "牛奶", 2.5);
  AddGoods("6902", "面包", 4);
  OpenScreen();

  Type("6901");
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, sale::kBarcode), "6901");
  EXPECT_EQ(Cell(0, sale::kGoodsName), "牛奶");
  EXPECT_EQ(Cell(0, sale::kQuantity), "1.00");
  EXPECT_EQ(total_->text(), "总计: 2.50");
  EXPECT_TRUE(entry_->text().isEmpty());

  Type("6902");
  Type("6901");
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(1, sale::kGoodsName), "面包");
  EXPECT_EQ(total_->text(), "总计: 9.00");
  EXPECT_EQ(SelectedRow(), 2);
  EXPECT_TRUE(boxes_.shown().empty());

  // A quantity command on the selected line goes through the same field.
  Type("*3");
  EXPECT_EQ(Cell(2, sale::kQuantity), "3.00");
  EXPECT_EQ(total_->text(), "总计: 14.00");
}

TEST_F(SalesFrontDialogTest, UpAndDownMoveTheSelectionWithinTheList) {
  AddGoods("6901", "牛奶", 2.5);
  OpenScreen();
  Type("6901");
  Type("6901");
  Type("6901");
  ASSERT_EQ(SelectedRow(), 2);

  QTest::keyClick(entry_, Qt::Key_Up);
  EXPECT_EQ(SelectedRow(), 1);
  QTest::keyClick(entry_, Qt::Key_Up);
  QTest::keyClick(entry_, Qt::Key_Up);
  EXPECT_EQ(SelectedRow(), 0);
  EXPECT_EQ(screen_->current_sale().selected, 0);
  QTest::keyClick(entry_, Qt::Key_Down);
  EXPECT_EQ(SelectedRow(), 1);

  // "-" removes the selected line, not the last one.
  Type("-");
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(total_->text(), "总计: 5.00");
}

TEST_F(SalesFrontDialogTest, ClickingALineLeavesTheCursorInTheEntryField) {
  AddGoods("6901", "牛奶", 2.5);
  OpenScreen();
  Type("6901");
  Type("6901");
  QRect first = table_->visualRect(table_->model()->index(0, 1));
  QTest::mouseClick(table_->viewport(), Qt::LeftButton, {}, first.center());
  EXPECT_EQ(screen_->current_sale().selected, 0);
  EXPECT_TRUE(entry_->hasFocus());
  EXPECT_FALSE(table_->hasFocus());
}

TEST_F(SalesFrontDialogTest, EscWithLinesAsksBeforeClosing) {
  AddGoods("6901", "牛奶", 2.5);
  OpenScreen();
  Type("6901");

  boxes_.SetNextAnswer(false);
  QTest::keyClick(entry_, Qt::Key_Escape);
  ASSERT_EQ(boxes_.Texts().size(), 1u);
  EXPECT_EQ(boxes_.Texts()[0], "有未结账的流水,是否退出");
  EXPECT_TRUE(screen_->isVisible());
  EXPECT_EQ(Rows(), 1);

  boxes_.SetNextAnswer(true);
  QTest::keyClick(entry_, Qt::Key_Escape);
  EXPECT_FALSE(screen_->isVisible());
  EXPECT_EQ(screen_->result(), QDialog::Rejected);
}

TEST_F(SalesFrontDialogTest, EscWithoutLinesClosesAtOnce) {
  OpenScreen();
  QTest::keyClick(entry_, Qt::Key_Escape);
  EXPECT_FALSE(screen_->isVisible());
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(SalesFrontDialogTest, RefusedCommandKeepsTheEntryAndTheLines) {
  AddGoods("6901", "牛奶", 2.5);
  OpenScreen();
  Type("6901");
  Type("/11");
  ASSERT_EQ(boxes_.Texts().size(), 1u);
  EXPECT_EQ(boxes_.Texts()[0], "折扣率有误");
  EXPECT_EQ(entry_->text(), "/11");
  EXPECT_EQ(Cell(0, sale::kRate), "1.00");
  EXPECT_EQ(total_->text(), "总计: 2.50");
}

TEST_F(SalesFrontDialogTest, UnknownBarcodeOpensQuickGoodsAndSellsWhatWasTyped) {
  OpenScreen();
  boxes_.SetNextAnswer(false);  // no item library look-up
  ModalDriver<sale::QuickGoodsDialog> quick([](sale::QuickGoodsDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "商品快速录入");
    EXPECT_EQ(dialog->findChild<QLineEdit*>("nameEdit")->text(), "商品");
    EXPECT_EQ(dialog->findChild<QLineEdit*>("priceEdit")->text(), "1");
    dialog->findChild<QLineEdit*>("nameEdit")->setText("酱油");
    dialog->findChild<QLineEdit*>("priceEdit")->setText("6.8");
    dialog->findChild<QPushButton*>("okButton")->click();
  });
  Type("777");
  EXPECT_TRUE(quick.ran());
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, sale::kGoodsName), "酱油");
  EXPECT_EQ(total_->text(), "总计: 6.80");
}

TEST_F(SalesFrontDialogTest, CancelledQuickGoodsSellsNothing) {
  OpenScreen();
  boxes_.SetNextAnswer(false);
  ModalDriver<sale::QuickGoodsDialog> quick(
      [](sale::QuickGoodsDialog* dialog) { dialog->reject(); });
  Type("778");
  EXPECT_TRUE(quick.ran());
  EXPECT_EQ(Rows(), 0);
  EXPECT_EQ(boxes_.Texts().back(), "此商品无法销售");
}

TEST_F(SalesFrontDialogTest, PriceEntryRefusesEmptyAndBadPrices) {
  AddGoods("6909", "散货", 0);
  OpenScreen();
  ModalDriver<sale::PriceEntryDialog> price([this](sale::PriceEntryDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "价格录入");
    auto* field = dialog->findChild<QLineEdit*>("priceEdit");
    auto* ok = dialog->findChild<QPushButton*>("okButton");
    ok->click();
    field->setText("abc");
    ok->click();
    EXPECT_TRUE(dialog->isVisible());
    field->setText("3.5");
    ok->click();
    EXPECT_EQ(boxes_.Texts().size(), 2u);
  });
  Type("6909");
  EXPECT_TRUE(price.ran());
  ASSERT_GE(boxes_.Texts().size(), 2u);
  EXPECT_EQ(boxes_.Texts()[0], "请录入价格");
  EXPECT_EQ(boxes_.Texts()[1], "价格有误");
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, sale::kSalesPrice), "3.50");
  EXPECT_EQ(total_->text(), "总计: 3.50");
}

TEST_F(SalesFrontDialogTest, F4AttachesACheckedMemberAndF4AgainDetaches) {
  AddMember("M01", "pw");
  OpenScreen();
  ModalDriver<sale::MemberSelectDialog> select([this](sale::MemberSelectDialog* dialog) {
    EXPECT_EQ(dialog->windowTitle(), "会员选择");
    auto* password = dialog->findChild<QLineEdit*>("passwordEdit");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    dialog->findChild<QLineEdit*>("memberEdit")->setText("M01");
    password->setText("wrong");
    dialog->findChild<QPushButton*>("okButton")->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->focusWidget(), password);  // activation may lag under load
    password->setText("pw");
    dialog->findChild<QPushButton*>("okButton")->click();
  });
  QTest::keyClick(entry_, Qt::Key_F4);
  EXPECT_TRUE(select.ran());
  ASSERT_FALSE(boxes_.Texts().empty());
  EXPECT_EQ(boxes_.Texts()[0], "密码有误");
  EXPECT_EQ(screen_->current_sale().member_id, "M01");
  auto* member_button = screen_->findChild<QPushButton*>("memberButton");
  EXPECT_EQ(member_button->text(), "F4 普通客户");
  EXPECT_TRUE(screen_->findChild<QLabel*>("memberPane")->text().contains("王五"));

  QTest::keyClick(entry_, Qt::Key_F4);
  EXPECT_FALSE(screen_->current_sale().HasMember());
  EXPECT_EQ(member_button->text(), "F4 会员");
  EXPECT_EQ(screen_->findChild<QLabel*>("memberPane")->text(), "普通客户");
  EXPECT_EQ(screen_->focusWidget(), entry_);  // the window itself may await reactivation
}

TEST(SalesWeighConfirmDialogTest, ShowsTheScaleWeightAndGivesZeroBeforeAnyReading) {
  sale::WeighConfirmDialog waiting(nullptr, "苹果");
  EXPECT_EQ(waiting.windowTitle(), "称重确认");
  EXPECT_EQ(waiting.findChild<QLabel*>("weightLabel")->text(), "重量读取中.......");
  waiting.findChild<QPushButton*>("okButton")->click();
  EXPECT_EQ(waiting.weight(), "0.00");

  sale::WeighConfirmDialog weighed(nullptr, "苹果");
  weighed.SetWeightSource([] { return std::string("1234"); });
  weighed.ReadWeight();
  EXPECT_EQ(weighed.findChild<QLabel*>("weightLabel")->text(), "1.234");
  weighed.findChild<QPushButton*>("okButton")->click();
  EXPECT_EQ(weighed.weight(), "1.234");
}

}  // namespace

namespace {

// A pseudo-terminal named as the display port receives the running total on lamp 2.
TEST_F(SalesFrontDialogTest, PoleDisplayShowsTheRunningTotal) {
  PseudoTerminal display;
  ASSERT_FALSE(display.slave_path().empty());
  Open().Exec("update management set displaycontrol = 'LED8N', displayport = ?",
              display.slave_path());
  AddGoods("6901", "可乐", 3.5);
  OpenScreen();
  display.ReadAll(50);  // whatever the screen showed on opening
  Type("6901");
  Type("6901");
  std::string sent = display.ReadAll();
  EXPECT_NE(sent.find("\x1b\x73" "2\x1b\x51\x41" "7.00\r"), std::string::npos);
  EXPECT_NE(sent.find("\x1b\x73" "2\x1b\x51\x41" "3.50\r"), std::string::npos);
}

}  // namespace

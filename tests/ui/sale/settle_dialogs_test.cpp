// The payment dialogs as a cashier types into them, and a sale settled from the screen.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <memory>

#include "common/MessageBox.h"
#include "sale/MemberSettleDialog.h"
#include "sale/SalesFrontDialog.h"
#include "sale/SettleDialog.h"
#include "support/test_database.h"
#include "ui/ui_test_support.h"

namespace {

using testing_support::ModalDriver;

class SettleDialogsTest : public testing_support::TestDatabase {
 protected:
  template <typename T>
  static QString Text(T* dialog, const char* name) {
    if (auto* edit = dialog->template findChild<QLineEdit*>(name)) return edit->text();
    return dialog->template findChild<QLabel*>(name)->text();
  }
  template <typename T>
  static void Retype(T* dialog, const char* name, const QString& text) {
    auto* edit = dialog->template findChild<QLineEdit*>(name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
  }

  ui::MessageBoxSeam boxes_;
};

TEST_F(SettleDialogsTest, OrdinaryDialogFollowsEveryKey) {
  sale::SettleDialog dialog(nullptr, 23.50);
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "结算");
  EXPECT_EQ(Text(&dialog, "dueValue"), "23.50");
  EXPECT_EQ(Text(&dialog, "cashEdit"), "23.50");
  EXPECT_EQ(Text(&dialog, "allowanceEdit"), "0.00");
  EXPECT_EQ(Text(&dialog, "changeValue"), "0.00");

  Retype(&dialog, "allowanceEdit", "3.5");
  EXPECT_EQ(Text(&dialog, "cashEdit"), "20.00");
  QTest::keyClick(dialog.findChild<QLineEdit*>("allowanceEdit"), Qt::Key_Return);
  EXPECT_EQ(dialog.focusWidget(), dialog.findChild<QLineEdit*>("cashEdit"));

  Retype(&dialog, "cashEdit", "100");
  EXPECT_EQ(Text(&dialog, "changeValue"), "80.00");
  QTest::keyClick(dialog.findChild<QLineEdit*>("cashEdit"), Qt::Key_Return);
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_TRUE(dialog.payment());
  EXPECT_DOUBLE_EQ(dialog.payment()->allowance, 3.50);
  EXPECT_DOUBLE_EQ(dialog.payment()->cash, 100.00);
  EXPECT_DOUBLE_EQ(dialog.payment()->change, 80.00);
  EXPECT_TRUE(boxes_.shown().empty());
}

TEST_F(SettleDialogsTest, OrdinaryDialogRefusesAndStaysOpen) {
  sale::SettleDialog dialog(nullptr, 23.50);
  dialog.show();
  Retype(&dialog, "allowanceEdit", "30");
  QTest::keyClick(dialog.findChild<QLineEdit*>("allowanceEdit"), Qt::Key_Return);
  Retype(&dialog, "allowanceEdit", "0");
  Retype(&dialog, "cashEdit", "20");
  dialog.findChild<QPushButton*>("okButton")->click();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.payment());
  EXPECT_EQ(boxes_.Texts(), (std::vector<QString>{"折让金额不能超过应付金额", "金额有误!"}));
}

TEST_F(SettleDialogsTest, MemberDialogSpendsStoredValueFirst) {
  Open().Exec(
      "insert into membermaster (memberid,membername,memberpointsmode,memberpointsvalue,"
      "depositmode,depositvalue,dismode,disrate,disondis) "
      "values ('M1','王芳','是',0,'是',30,'没有优惠',1,'否')");
  sale::MemberSettleDialog dialog(nullptr, 50.00, "M1");
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "会员结算");
  EXPECT_EQ(Text(&dialog, "dueValue"), "50.00");
  EXPECT_EQ(Text(&dialog, "storedValue"), "30.00");
  EXPECT_EQ(Text(&dialog, "remainingValue"), "20.00");
  EXPECT_EQ(Text(&dialog, "cashEdit"), "20.00");
  EXPECT_EQ(Text(&dialog, "chequeEdit"), "0");

  Retype(&dialog, "allowanceEdit", "25");  // the stored value now pays all that is left
  EXPECT_EQ(Text(&dialog, "storedValue"), "25.00");
  EXPECT_EQ(Text(&dialog, "remainingValue"), "0.00");
  Retype(&dialog, "allowanceEdit", "60");
  EXPECT_EQ(boxes_.Texts(), std::vector<QString>{"整单折让金额不能大于总计金额"});
  Retype(&dialog, "allowanceEdit", "0");
  Retype(&dialog, "cashEdit", "50");
  EXPECT_EQ(Text(&dialog, "changeValue"), "30.00");
  dialog.findChild<QPushButton*>("okButton")->click();
  ASSERT_TRUE(dialog.payment());
  EXPECT_DOUBLE_EQ(dialog.payment()->stored, 30.00);
  EXPECT_DOUBLE_EQ(dialog.payment()->change, 30.00);
}

TEST_F(SettleDialogsTest, EnterOnTheEmptyEntrySettlesAndStartsTheNextSale) {
  Open().Exec(
      "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,"
      "importprice,averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,"
      "givepoints,iscombined) values ('6901','牛奶','个','未分类',2.5,2.5,0,0,"
      "'2024-01-01 00:00:00','否',0,0,1,'否')");
  sale::SalesFrontDialog screen(nullptr, "0");
  screen.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&screen));
  auto* entry = screen.findChild<QLineEdit*>("entryEdit");
  QTest::keyClicks(entry, "6901");
  QTest::keyClick(entry, Qt::Key_Return);

  ModalDriver<sale::SettleDialog> pay([](sale::SettleDialog* dialog) {
    auto* cash = dialog->findChild<QLineEdit*>("cashEdit");
    cash->selectAll();
    QTest::keyClicks(cash, "10");
    QTest::keyClick(cash, Qt::Key_Return);
  });
  QTest::keyClick(entry, Qt::Key_Return);
  ASSERT_TRUE(pay.ran());
  EXPECT_EQ(screen.findChild<QTableView*>("lineTable")->model()->rowCount(), 0);
  EXPECT_EQ(screen.findChild<QLabel*>("numberPane")->text(), "单号: 2");
  EXPECT_DOUBLE_EQ(Open()
                       .QueryDouble("select change from transactiondetails where "
                                    "transactiontype = '销售总计'")
                       .value_or(-1),
                   7.50);
}

}  // namespace

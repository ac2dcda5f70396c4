// The payment dialogs as a cashier types into them; their arithmetic and refusals are proven
// in core (OrdinaryPaymentTest, MemberPaymentTest), one refusal per way in is shown here.

#include "core/store/outbox.h"
#include "ui/sale/MemberSettleDialog.h"
#include "ui/sale/SettleDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

class SettleDialogsTest : public TestDatabase {
 protected:
  static QLineEdit* Retype(const QWidget& dialog, const char* name, const QString& text) {
    auto* edit = dialog.findChild<QLineEdit*>(name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    return edit;
  }

  ui::MessageBoxSeam boxes_;
};

TEST_F(SettleDialogsTest, OrdinaryDialogFollowsEveryKeyAndStaysOpenUntilThePaymentIsRight) {
  ui::SettleDialog dialog(nullptr, 23.50);
  dialog.show();
  EXPECT_EQ(TextsOf(dialog, {"dueValue", "cashEdit", "changeValue"}),
            (Texts{"23.50", "23.50", "0.00"}));

  Retype(dialog, "cashEdit", "20");
  Click(dialog, "okButton");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.payment());
  EXPECT_EQ(boxes_.Texts(), Texts{"金额有误!"});

  QLineEdit* allowance = Retype(dialog, "allowanceEdit", "3.5");
  EXPECT_EQ(Text(dialog, "cashEdit"), "20.00");
  QTest::keyClick(allowance, Qt::Key_Return);
  EXPECT_EQ(dialog.focusWidget(), dialog.findChild<QLineEdit*>("cashEdit"));

  QTest::keyClick(Retype(dialog, "cashEdit", "100"), Qt::Key_Return);
  EXPECT_EQ(Text(dialog, "changeValue"), "80.00");
  ASSERT_EQ(dialog.result(), QDialog::Accepted);
  ASSERT_TRUE(dialog.payment());
  const auto& paid = *dialog.payment();
  EXPECT_EQ(std::tuple(paid.allowance, paid.cash, paid.change), std::tuple(3.5, 100.0, 80.0));
  EXPECT_EQ(boxes_.shown().size(), 1u);
}

TEST_F(SettleDialogsTest, MemberDialogSpendsStoredValueFirst) {
  Open().Exec(
      "insert into membermaster (memberid,membername,memberpointsmode,memberpointsvalue,"
      "depositmode,depositvalue,dismode,disrate,disondis) "
      "values ('M1','王芳','是',0,'是',30,'没有优惠',1,'否')");
  ui::MemberSettleDialog dialog(nullptr, 50.00, "M1");
  dialog.show();
  EXPECT_EQ(TextsOf(dialog, {"storedValue", "remainingValue", "cashEdit"}),
            (Texts{"30.00", "20.00", "20.00"}));

  Retype(dialog, "cashEdit", "50");
  EXPECT_EQ(Text(dialog, "changeValue"), "30.00");
  Click(dialog, "okButton");
  EXPECT_TRUE(boxes_.shown().empty());
  ASSERT_TRUE(dialog.payment());
  EXPECT_EQ(std::pair(dialog.payment()->stored, dialog.payment()->change), std::pair(30.0, 30.0));
}

// A joined till whose shop server does not answer cannot spend stored value: the member's
// sale is settled with the other tenders, and the cashier is told why.
TEST_F(SettleDialogsTest, MemberDialogOfAJoinedTillWhoseServerIsDownSettlesWithoutStoredValue) {
  Open().Exec(
      "insert into membermaster (memberid,membername,memberpointsmode,memberpointsvalue,"
      "depositmode,depositvalue,dismode,disrate,disondis) "
      "values ('M1','王芳','是',0,'是',30,'没有优惠',1,'否')");
  store::Database db = Open();
  store::WriteServerLink(db, "host=/nonexistent-socket-dir dbname=shop", "一号店", "收银一");
  ui::MemberSettleDialog dialog(nullptr, 50.00, "M1");
  dialog.show();
  EXPECT_EQ(boxes_.Texts(), Texts{"总部未连接,储值卡暂不能付款,请选用其他付款方式"});
  EXPECT_EQ(TextsOf(dialog, {"storedValue", "remainingValue", "cashEdit"}),
            (Texts{"0.00", "50.00", "50.00"}));
  Click(dialog, "okButton");
  ASSERT_TRUE(dialog.payment());
  EXPECT_EQ(std::pair(dialog.payment()->stored, dialog.payment()->cash), std::pair(0.0, 50.0));
}

}  // namespace

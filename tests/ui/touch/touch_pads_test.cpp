// The touch pads and payment dialogs as fingers use them.

#include "ui/touch/TouchMemberPad.h"
#include "ui/touch/TouchMemberSettleDialog.h"
#include "ui/touch/TouchNumberPad.h"
#include "ui/touch/TouchPricePad.h"
#include "ui/touch/TouchSettleDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

// Taps the keys of a pad: digits, "." / "·" (keyPoint), "-" and "<" for "退格".
void Tap(const QWidget& pad, const QString& keys) {
  for (const QChar key : keys) {
    if (key == '<') {
      Click(pad, "backspaceButton");
    } else if (key == '.' || key == QChar(0x00B7)) {
      Click(pad, "keyPoint");
    } else if (key == '-') {
      Click(pad, "keyMinus");
    } else {
      Click(pad, QStringLiteral("key%1").arg(key).toUtf8().constData());
    }
  }
}

// Touching a box makes it the one the keys type into.
void Touch(const QWidget& dialog, const char* box) {
  QTest::mouseClick(dialog.findChild<QLineEdit*>(box), Qt::LeftButton);
}

class TouchPadsTest : public TestDatabase {
 protected:
  ui::MessageBoxSeam boxes_;
};

TEST_F(TouchPadsTest, NumberPadRefusesADiscountAboveOneAndPricePadReadsTheDot) {
  ui::TouchNumberPad pad(nullptr, sale::PadMode::kItemDiscount);
  pad.show();
  EXPECT_EQ(pad.windowTitle(), "单品折扣");
  EXPECT_EQ(Text(pad, "valueLabel"), "折扣率");
  Tap(pad, "1.5");
  Click(pad, "okButton");
  EXPECT_TRUE(pad.isVisible());
  EXPECT_EQ(boxes_.Texts(), Texts{"折扣率不能大于1"});
  Tap(pad, "<<<0.85");
  Click(pad, "okButton");
  EXPECT_EQ(pad.result(), QDialog::Accepted);
  EXPECT_EQ(pad.text(), "0.85");

  // The price pad reads "·" as the decimal point.
  ui::TouchPricePad price_pad(nullptr);
  price_pad.show();
  Tap(price_pad, QStringLiteral("12·5"));
  EXPECT_EQ(Text(price_pad, "priceEdit"), QStringLiteral("12·5"));
  Click(price_pad, "okButton");
  EXPECT_EQ(price_pad.result(), QDialog::Accepted);
  EXPECT_DOUBLE_EQ(price_pad.price(), 12.5);
}

TEST_F(TouchPadsTest, MemberPadTypesIntoTheChosenBoxAndChecksThePassword) {
  Open().Exec(
      "insert into membermaster (memberid,membername,memberphone,memberpw,dismode,disrate) "
      "values ('8001','王','13900001111','42','会员价',1)");
  ui::TouchMemberPad pad(nullptr);
  pad.show();
  EXPECT_EQ(pad.findChild<QLineEdit*>("passwordEdit")->echoMode(), QLineEdit::Password);
  Tap(pad, "13900001111");
  Click(pad, "passwordButton");
  Tap(pad, "4");
  Click(pad, "okButton");
  EXPECT_EQ(boxes_.Texts(), Texts{"密码有误"});
  Tap(pad, "42");  // the refused box is typed anew
  Click(pad, "okButton");
  EXPECT_EQ(pad.result(), QDialog::Accepted);
  EXPECT_EQ(pad.member_id(), "8001");  // found by the phone number
}

TEST_F(TouchPadsTest, SettleDialogsTakeCashAndCardRefuseShortPaymentAndSpendStoredValueFirst) {
  ui::TouchSettleDialog dialog(nullptr, 100.00);
  dialog.show();
  EXPECT_EQ(TextsOf(dialog, {"dueValue", "cashEdit"}), (Texts{"100.00", "100.00"}));
  Tap(dialog, "80");  // the cash box is active and its amount is replaced
  EXPECT_EQ(Text(dialog, "cashEdit"), "80");
  Click(dialog, "okButton");
  EXPECT_EQ(boxes_.Texts(), Texts{"金额有误!"});

  Touch(dialog, "cashEdit");
  Tap(dialog, "50");
  Touch(dialog, "cardEdit");
  Tap(dialog, "50");
  EXPECT_EQ(Text(dialog, "changeValue"), "0.00");
  Click(dialog, "okButton");
  ASSERT_TRUE(dialog.payment());
  const auto& paid = *dialog.payment();
  EXPECT_EQ(std::tuple(paid.cash, paid.card, paid.change), std::tuple(50.0, 50.0, 0.0));

  // With a member, the stored value pays first and cash the rest.
  Open().Exec(
      "insert into membermaster (memberid,membername,memberpw,depositmode,depositvalue) "
      "values ('8001','王','','是',30)");
  ui::TouchMemberSettleDialog member_dialog(nullptr, 100.00, "8001");
  member_dialog.show();
  EXPECT_EQ(TextsOf(member_dialog, {"storedValue", "remainingValue", "cashEdit"}),
            (Texts{"30.00", "70.00", "70.00"}));
  Tap(member_dialog, "100");
  EXPECT_EQ(Text(member_dialog, "changeValue"), "30.00");
  Click(member_dialog, "okButton");
  ASSERT_TRUE(member_dialog.payment());
  EXPECT_EQ(std::pair(member_dialog.payment()->stored, member_dialog.payment()->change),
            std::pair(30.0, 30.0));
}

}  // namespace

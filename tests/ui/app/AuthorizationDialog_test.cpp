#include "ui/app/AuthorizationDialog.h"

#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

// Which passwords pass is proven in core, and cancelling by the screens that ask; here: the
// box for a wrong password, the hidden typing and Enter.
TEST(AuthorizationDialogTest, WrongPasswordIsToldAndStaysOpenAndEnterConfirms) {
  ui::MessageBoxSeam messages;
  ui::AuthorizationDialog dialog;
  dialog.show();
  auto* password = dialog.findChild<QLineEdit*>("passwordEdit");
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  password->setText("QORVANEP");
  Click(dialog, "confirmButton");
  EXPECT_EQ(messages.Texts(), Texts{"密码有误"});
  EXPECT_TRUE(dialog.isVisible());

  password->clear();
  QTest::keyClicks(password, "qorvanep");
  QTest::keyClick(password, Qt::Key_Return);  // the default button confirms
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(messages.shown().size(), 1u);
}

}  // namespace

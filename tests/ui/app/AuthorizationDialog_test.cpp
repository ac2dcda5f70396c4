#include "app/AuthorizationDialog.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "common/MessageBox.h"

namespace {

TEST(AuthorizationDialogTest, OnlyTheExactPasswordAuthorizes) {
  ui::MessageBoxSeam messages;
  app::AuthorizationDialog dialog;
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "授权");
  auto* password = dialog.findChild<QLineEdit*>("passwordEdit");
  auto* confirm = dialog.findChild<QPushButton*>("confirmButton");
  EXPECT_EQ(password->echoMode(), QLineEdit::Password);
  EXPECT_EQ(confirm->text(), "确认");

  for (const char* wrong : {"QORVANEP", "qorvane", "qorvanep ", ""}) {
    messages.Clear();
    password->setText(wrong);
    confirm->click();
    ASSERT_EQ(messages.shown().size(), 1u) << wrong;
    EXPECT_EQ(messages.shown()[0].text, "密码有误");
    EXPECT_EQ(messages.shown()[0].title, "确认");
    EXPECT_TRUE(dialog.isVisible());
  }

  messages.Clear();
  password->clear();
  QTest::keyClicks(password, "qorvanep");
  QTest::keyClick(password, Qt::Key_Return);  // the default button confirms
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(messages.shown().empty());
}

TEST(AuthorizationDialogTest, CancelRefusesAuthorization) {
  app::AuthorizationDialog dialog;
  dialog.show();
  dialog.findChild<QLineEdit*>("passwordEdit")->setText("qorvanep");
  dialog.findChild<QPushButton*>("cancelButton")->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

}  // namespace

#include "app/LoginDialog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "app/AboutDialog.h"
#include "app/AuthorizationDialog.h"
#include "app/MainMenuWindow.h"
#include "app/startup.h"
#include "common/MessageBox.h"
#include "store/database.h"
#include "support/test_database.h"
#include "ui/ui_test_support.h"

namespace {

using testing_support::ModalDriver;

class LoginDialogTest : public testing_support::TestDatabase {
 protected:
  static QLineEdit* Field(QWidget& dialog, const char* name) {
    return dialog.findChild<QLineEdit*>(name);
  }
  static QPushButton* Button(QWidget& dialog, const char* name) {
    return dialog.findChild<QPushButton*>(name);
  }
  static void Type(QWidget& dialog, const QString& account, const QString& password) {
    Field(dialog, "accountEdit")->setText(account);
    Field(dialog, "passwordEdit")->setText(password);
  }
  void SetAccountZero(const std::string& password, const std::string& duty) {
    store::Database db = Open();
    db.Exec("update operatormaster set operatorpassword = ?, operatorduty = ? where workno = '0'",
            password, duty);
  }

  ui::MessageBoxSeam messages_;
};

TEST_F(LoginDialogTest, ShippedAccountLogsInAndRunsTheMainMenu) {
  app::LoginDialog dialog;
  EXPECT_EQ(dialog.windowTitle(), "Tillwise (V1.0-3)");
  dialog.show();
  Type(dialog, "0", "0");
  QString menu_account;
  ModalDriver<app::MainMenuWindow> menu([&](app::MainMenuWindow* window) {
    menu_account = window->workno();
    window->reject();
  });
  Button(dialog, "loginButton")->click();

  EXPECT_TRUE(menu.ran());
  EXPECT_EQ(menu_account, "0");
  EXPECT_FALSE(dialog.isVisible());  // the menu's end is the program's end
  EXPECT_EQ(dialog.result(), 0);
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(LoginDialogTest, RefusedLoginsLookTheSameAndEmptyBothFields) {
  SetAccountZero("Secret", "经理");
  app::LoginDialog dialog;
  dialog.show();
  for (auto [account, password] : {std::pair{"0", "secret"}, std::pair{"0", "wrong"},
                                   std::pair{"9", "Secret"}, std::pair{"0", ""}}) {
    messages_.Clear();
    Type(dialog, account, password);
    Button(dialog, "loginButton")->click();
    ASSERT_EQ(messages_.shown().size(), 1u) << account << "/" << password;
    EXPECT_EQ(messages_.shown()[0].text, "登陆失败");
    EXPECT_EQ(messages_.shown()[0].title, "确认");
    EXPECT_TRUE(Field(dialog, "accountEdit")->text().isEmpty());
    EXPECT_TRUE(Field(dialog, "passwordEdit")->text().isEmpty());
    EXPECT_EQ(dialog.focusWidget(), Field(dialog, "accountEdit"));
  }
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(LoginDialogTest, MissingDatabaseLeavesTheDialogUnchanged) {
  std::filesystem::remove(store::DatabasePath());
  app::LoginDialog dialog;
  dialog.show();
  Type(dialog, "0", "0");
  Button(dialog, "loginButton")->click();
  EXPECT_TRUE(messages_.shown().empty());
  EXPECT_EQ(Field(dialog, "accountEdit")->text(), "0");
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(LoginDialogTest, EnterMovesFromAccountToPasswordToLoginWhichLogsInOnce) {
  app::LoginDialog dialog;
  dialog.show();
  QLineEdit* account = Field(dialog, "accountEdit");
  QLineEdit* password = Field(dialog, "passwordEdit");
  QPushButton* login = Button(dialog, "loginButton");
  account->setFocus();

  QTest::keyClicks(account, "0");
  QTest::keyClick(account, Qt::Key_Return);
  EXPECT_EQ(dialog.focusWidget(), password);
  QTest::keyClicks(password, "1");
  QTest::keyClick(password, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(dialog.focusWidget(), login);
  EXPECT_TRUE(messages_.shown().empty());  // Enter in the fields never logs in

  QTest::keyClick(login, Qt::Key_Return);
  EXPECT_EQ(messages_.Texts(), std::vector<QString>{"登陆失败"});

  QTest::keyClicks(account, "0");
  QTest::keyClick(account, Qt::Key_Return);
  QTest::keyClicks(password, "0");
  QTest::keyClick(password, Qt::Key_Return);
  int menus = 0;
  ModalDriver<app::MainMenuWindow> menu([&](app::MainMenuWindow* window) {
    ++menus;
    window->reject();
  });
  QTest::keyClick(login, Qt::Key_Return);
  EXPECT_EQ(menus, 1);
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(LoginDialogTest, ResetAfterAuthorizationRestoresTheShippedManagerAccount) {
  SetAccountZero("changed", "收银员");
  Open().Exec("update dutyrights set dutyrights = 0");
  app::LoginDialog dialog;
  dialog.show();
  ModalDriver<app::AuthorizationDialog> authorization([](app::AuthorizationDialog* prompt) {
    prompt->findChild<QLineEdit*>("passwordEdit")->setText(app::kAuthorizationPassword);
    prompt->findChild<QPushButton*>("confirmButton")->click();
  });
  Button(dialog, "resetButton")->click();

  EXPECT_TRUE(authorization.ran());
  EXPECT_EQ(messages_.Texts(), std::vector<QString>{"完成"});
  EXPECT_EQ(app::Login("0", "0"), app::LoginResult::kAccepted);
  store::Database db = Open();
  EXPECT_EQ(db.QueryText("select operatorduty from operatormaster where workno = '0'"), "经理");
  EXPECT_EQ(db.QueryInt("select count(*) from dutyrights where dutyrights = 1"), 2);
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(LoginDialogTest, CancelledAuthorizationResetsNothing) {
  SetAccountZero("changed", "收银员");
  app::LoginDialog dialog;
  dialog.show();
  ModalDriver<app::AuthorizationDialog> authorization([](app::AuthorizationDialog* prompt) {
    prompt->findChild<QPushButton*>("cancelButton")->click();
  });
  Button(dialog, "resetButton")->click();

  EXPECT_TRUE(authorization.ran());
  EXPECT_TRUE(messages_.shown().empty());
  EXPECT_EQ(app::Login("0", "changed"), app::LoginResult::kAccepted);
}

TEST_F(LoginDialogTest, ResetWithoutDatabaseStopsSilently) {
  std::filesystem::remove(store::DatabasePath());
  app::LoginDialog dialog;
  dialog.show();
  ModalDriver<app::AuthorizationDialog> authorization([](app::AuthorizationDialog* prompt) {
    prompt->findChild<QLineEdit*>("passwordEdit")->setText(app::kAuthorizationPassword);
    prompt->findChild<QPushButton*>("confirmButton")->click();
  });
  Button(dialog, "resetButton")->click();
  EXPECT_TRUE(authorization.ran());
  EXPECT_TRUE(messages_.shown().empty());
  EXPECT_FALSE(std::filesystem::exists(store::DatabasePath()));
}

TEST_F(LoginDialogTest, RestoreAsksForTheAuthorizationPassword) {
  app::LoginDialog dialog;
  dialog.show();
  ModalDriver<app::AuthorizationDialog> authorization([](app::AuthorizationDialog* prompt) {
    prompt->findChild<QPushButton*>("cancelButton")->click();
  });
  Button(dialog, "restoreButton")->click();
  EXPECT_TRUE(authorization.ran());
  EXPECT_TRUE(dialog.isVisible());
}

TEST_F(LoginDialogTest, AboutEntryOpensTheAboutDialog) {
  app::LoginDialog dialog;
  dialog.show();
  QString name, version;
  ModalDriver<app::AboutDialog> about([&](app::AboutDialog* box) {
    name = box->findChild<QLabel*>("nameLabel")->text();
    version = box->findChild<QLabel*>("versionLabel")->text();
    QPushButton* ok = box->findChild<QPushButton*>("okButton");
    EXPECT_EQ(ok->text(), "OK");
    ok->click();
  });
  dialog.findChild<QAction*>("aboutAction")->trigger();
  EXPECT_TRUE(about.ran());
  EXPECT_EQ(name, "Tillwise");
  EXPECT_EQ(version, "版本 1.0");
}

}  // namespace

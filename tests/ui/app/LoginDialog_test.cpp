// The login dialog, from the program's start to the menu, and the backup clock of the start.

#include "ui/app/LoginDialog.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "core/app/backup.h"
#include "core/common/clock.h"
#include "ui/app/AboutDialog.h"
#include "ui/app/AuthorizationDialog.h"
#include "ui/app/MainMenuWindow.h"
#include "ui/app/StartupShell.h"
#include "ui/ui_test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;
using Names = std::vector<std::string>;

class LoginDialogTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    account_ = dialog_.findChild<QLineEdit*>("accountEdit");
    password_ = dialog_.findChild<QLineEdit*>("passwordEdit");
  }
  // Starts as the program does, seeing the given process names.
  int Run(std::optional<Names> names) {
    shell_.emplace([names] { return names; });
    return shell_->Run();
  }
  void SetAccountZero(const std::string& password, const std::string& duty) const {
    Open().Exec(
        "update operatormaster set operatorpassword = ?, operatorduty = ? where workno = '0'",
        password, duty);
  }
  void LogIn(const char* account, const char* password) { LogIn(dialog_, account, password); }
  static void LogIn(ui::LoginDialog& login, const char* account, const char* password) {
    SetText(login, "accountEdit", account);
    SetText(login, "passwordEdit", password);
    Click(login, "loginButton");
  }
  // Clicks the button and answers the authorization prompt it opens with action.
  void Authorized(const char* button, std::function<void(ui::AuthorizationDialog*)> action) {
    Authorized(dialog_, button, std::move(action));
  }
  static void Authorized(ui::LoginDialog& login, const char* button,
                         std::function<void(ui::AuthorizationDialog*)> action) {
    ModalDriver<ui::AuthorizationDialog> prompt(std::move(action));
    Click(login, button);
    EXPECT_TRUE(prompt.ran()) << button;
  }

  ui::MessageBoxSeam messages_;
  std::optional<ui::StartupShell> shell_;
  ui::LoginDialog dialog_;
  QLineEdit* account_ = nullptr;
  QLineEdit* password_ = nullptr;
};

TEST_F(LoginDialogTest, SecondCopyOrUnusableDataDirectoryEndsTheProgramWithAMessage) {
  EXPECT_EQ(Run(std::nullopt), 1);  // an unreadable process list ends silently
  EXPECT_TRUE(messages_.shown().empty());

  EXPECT_EQ(Run(Names{"bash", "Tillwise", "sh", "Tillwise"}), 1);
  ASSERT_EQ(messages_.shown().size(), 1u);
  EXPECT_EQ(messages_.shown()[0].title, "");
  {  // a copy started under another name (a link called pos) finds the data folder locked
    std::optional<app::DataFolderLock> first;
    ASSERT_EQ(app::DataFolderLock::Take(dir(), first), app::DataFolderLock::Outcome::kTaken);
    ModalDriver<ui::LoginDialog> login([](ui::LoginDialog* shown) { shown->reject(); });
    EXPECT_EQ(Run(Names{"bash", "pos"}), 1);
    EXPECT_EQ(messages_.Texts(), (Texts{"已有相同程序运行", "已有相同程序运行"}));
  }
  EXPECT_FALSE(shell_->backup_clock().isActive());

  std::ofstream(dir() / "plain-file") << "x";
  store::SetDataDirectory(dir() / "plain-file" / "data");
  messages_.SetNextAnswer(true);  // make a new one
  EXPECT_EQ(Run(Names{"Tillwise"}), 1);
  ASSERT_EQ(messages_.shown().size(), 4u);
  EXPECT_TRUE(messages_.shown()[3].text.contains("kasso.db"));
}

// No kasso.db, or an empty one: the person decides; No creates nothing at all.
TEST_F(LoginDialogTest, MissingOrEmptyDatabaseIsCreatedOnlyWhenThePersonSaysSo) {
  fs::remove(store::DatabasePath());
  const QString question = "没有找到数据库 " + Q(store::DatabasePath()) + "，是否新建空白数据库?";
  EXPECT_EQ(Run(Names{"Tillwise"}), 0);
  EXPECT_TRUE(fs::is_empty(dir()));
  std::ofstream(store::DatabasePath()).flush();  // a 0-byte file is no shop either
  messages_.SetNextAnswer(true);
  ModalDriver<ui::LoginDialog> login([](ui::LoginDialog* shown) { shown->reject(); });
  EXPECT_EQ(Run(Names{"Tillwise"}), 0);
  EXPECT_EQ(messages_.Texts(), (Texts{question, question}));
  EXPECT_EQ(app::Login("0", "0"), app::LoginResult::kAccepted);
}

// A damaged file keeps the login dialog open for "数据恢复", which mends the login at once.
TEST_F(LoginDialogTest, DamagedDatabaseRefusesLoginUntilARestoreMendsIt) {
  fs::path backup = dir() / "good.dat";
  app::CopyDatabaseTo(backup);
  std::ofstream(store::DatabasePath(), std::ios::binary) << "SQLite format 3, not really";
  const std::string damaged = FileBytes(store::DatabasePath());
  ui::FileChooserSeam chooser;
  chooser.SetNextAnswer(Q(backup));
  ModalDriver<ui::MainMenuWindow> menu([](ui::MainMenuWindow* window) { window->accept(); });
  ModalDriver<ui::LoginDialog> login([&](ui::LoginDialog* shown) {
    LogIn(*shown, "0", "0");
    EXPECT_EQ(FileBytes(store::DatabasePath()), damaged);
    Authorized(*shown, "restoreButton", Authorize);
    LogIn(*shown, "0", "0");
  });
  EXPECT_EQ(Run(Names{"Tillwise"}), 0);
  EXPECT_EQ(messages_.Texts(), (Texts{app::kDamagedDatabaseText, "数据恢复成功"}));
  EXPECT_TRUE(menu.ran());
}

TEST_F(LoginDialogTest, StartUpClearsLocksStartsTheClockAndWaitsAtTheAccountField) {
  Open().Exec("insert into lockprocess (processname,workno,locktime) values ('销售','0','x')");
  ModalDriver<ui::LoginDialog> login([&](ui::LoginDialog* shown) {
    EXPECT_TRUE(shell_->backup_clock().isActive());
    EXPECT_EQ(shell_->backup_clock().interval(), 60000);  // so no minute 0 is missed
    EXPECT_EQ(Open().QueryInt("select count(*) from lockprocess"), 0);
    EXPECT_EQ(shown->focusWidget(), Find<QLineEdit>(*shown, "accountEdit"));
    QTest::keyClick(shown, Qt::Key_Escape);
  });
  EXPECT_EQ(Run(Names{"bash", "Tillwise"}), 0);
  EXPECT_TRUE(login.ran());
  EXPECT_TRUE(messages_.shown().empty());
}

// Which passwords pass is proven in core; the screen must not tell a wrong password from an
// unknown account, and a missing file must not clear what was typed.
TEST_F(LoginDialogTest, RefusedLoginsLookTheSameAndAMissingDatabaseChangesNothing) {
  SetAccountZero("Secret", "经理");
  dialog_.show();
  for (auto [account, password] : {std::pair{"0", "wrong"}, std::pair{"9", "Secret"}}) {
    messages_.Clear();
    LogIn(account, password);
    EXPECT_EQ(messages_.Texts(), Texts{"登陆失败"}) << account << "/" << password;
    EXPECT_TRUE(account_->text().isEmpty());
    EXPECT_TRUE(password_->text().isEmpty());
    EXPECT_EQ(dialog_.focusWidget(), account_);
  }

  messages_.Clear();
  fs::remove(store::DatabasePath());
  LogIn("0", "0");
  EXPECT_TRUE(messages_.shown().empty());
  EXPECT_EQ(account_->text(), "0");
  EXPECT_TRUE(dialog_.isVisible());
}

TEST_F(LoginDialogTest, EnterMovesFromAccountToPasswordToLoginWhichRunsTheMenuOnce) {
  dialog_.show();
  auto* login = dialog_.findChild<QPushButton*>("loginButton");
  account_->setFocus();
  TypeEnter(&dialog_, "0");
  EXPECT_EQ(dialog_.focusWidget(), password_);
  QTest::keyClicks(password_, "0");
  QTest::keyClick(password_, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(dialog_.focusWidget(), login);
  EXPECT_TRUE(messages_.shown().empty());  // Enter in the fields never logs in
  QStringList menus;
  ModalDriver<ui::MainMenuWindow> menu([&](ui::MainMenuWindow* window) {
    menus << window->workno();
    window->accept();
  });
  QTest::keyClick(login, Qt::Key_Return);
  EXPECT_EQ(menus, QStringList{"0"});
  EXPECT_FALSE(dialog_.isVisible());  // the menu's end is the program's end
  EXPECT_EQ(dialog_.result(), 0);
}

// What the reset stores is proven in core; here each button asks first and cancel does nothing.
TEST_F(LoginDialogTest, ResetAndRestoreAskForTheAuthorizationPassword) {
  SetAccountZero("changed", "收银员");
  dialog_.show();
  Authorized("resetButton", Press("cancelButton"));
  EXPECT_EQ(app::Login("0", "changed"), app::LoginResult::kAccepted);
  Authorized("restoreButton", Press("cancelButton"));
  EXPECT_TRUE(messages_.shown().empty());

  Authorized("resetButton", Authorize);
  EXPECT_EQ(messages_.Texts(), Texts{"完成"});
  EXPECT_EQ(app::Login("0", "0"), app::LoginResult::kAccepted);
  EXPECT_TRUE(dialog_.isVisible());

  // Without a database the reset stops silently and creates no file.
  fs::remove(store::DatabasePath());
  Authorized("resetButton", Authorize);
  EXPECT_EQ(messages_.shown().size(), 1u);
  EXPECT_FALSE(fs::exists(store::DatabasePath()));

  ModalDriver<ui::AboutDialog> about(Press("okButton"));
  dialog_.findChild<QAction*>("aboutAction")->trigger();
  EXPECT_TRUE(about.ran());
}

// Qt's own captions are Chinese too: the test program loads its translations as the till does.
TEST_F(LoginDialogTest, FieldMenuAndAboutButtonSpeakChinese) {
  std::unique_ptr<QMenu> menu(account_->createStandardContextMenu());
  QStringList captions;  // without the shortcut after the tab
  for (QAction* action : menu->actions()) captions << action->text().section('\t', 0, 0);
  EXPECT_TRUE(captions.contains("复制(&C)")) << captions.join(' ').toStdString();
  ModalDriver<ui::AboutDialog> about([](ui::AboutDialog* box) {
    EXPECT_EQ(Find<QPushButton>(*box, "okButton")->text(), "确定");
    box->accept();
  });
  dialog_.findChild<QAction*>("aboutAction")->trigger();
  EXPECT_TRUE(about.ran());
}

// The clock fires under whatever screen is on top; its failure must not take that screen over.
using BackupClockMessageTest = TestDatabase;

// The copy itself is proven in core; an odd hour does not even try it.
TEST_F(BackupClockMessageTest, EvenHoursOnlyAndAFailureIsShownWithoutAModalBoxAndOnlyOnce) {
  fs::remove(store::DatabasePath());
  ui::StartupShell start;
  ModalDriver<QMessageBox> modal([](QMessageBox* box) { box->reject(); });
  auto clock_boxes = [] {
    std::vector<QMessageBox*> boxes;
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QMessageBox*>(window);
      if (box && box->objectName() == "clockMessage") boxes.push_back(box);
    }
    return boxes;
  };
  common::SetFixedClock(common::MakeTime(2024, 5, 6, 1, 0, 0));
  start.TickBackupClock();
  EXPECT_TRUE(clock_boxes().empty());
  common::SetFixedClock(common::MakeTime(2024, 5, 6, 2, 0, 0));
  start.TickBackupClock();
  start.TickBackupClock();
  EXPECT_FALSE(modal.ran());
  for (QMessageBox* box : clock_boxes()) {
    EXPECT_EQ(box->text(), "时钟有误");
    EXPECT_EQ(box->windowTitle(), "Tillwise");
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->windowModality(), Qt::NonModal);
  }
  EXPECT_EQ(clock_boxes().size(), 1u);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace

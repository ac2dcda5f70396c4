#include <QCheckBox>
#include <QTabWidget>
#include <QTableWidget>

#include "core/app/login.h"
#include "ui/app/DutyRightsDialog.h"
#include "ui/app/OperatorEditDialog.h"
#include "ui/app/OperatorListDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

// The checks themselves (order, account "0", quotes, the built-in account kept) are proven in
// core; these tests cover what the screens add: selection guards, questions, focus and what
// they show afterwards.
class AccountsDialogsTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    Open().Exec("insert into operatormaster values ('7','张三','pw7','收银员')");
  }
  static void SelectRow(const QWidget& dialog, int row) {
    Find<QTableWidget>(dialog, "operatorTable")->selectRow(row);
  }
  // Column names here are the test's own fixed texts.
  std::string Stored(const std::string& column, const char* workno) const {
    return Open()
        .QueryText("select " + column + " from operatormaster where workno = ?", workno)
        .value_or("<none>");
  }
  std::string Rights(const std::string& columns, const char* duty) const {
    return *Open().QueryText("select " + columns + " from dutyrights where operatorduty = ?", duty);
  }

  ui::MessageBoxSeam messages_;
};

TEST_F(AccountsDialogsTest, ListGuardsModifyAndDeleteAndAsksBeforeDeleting) {
  ui::OperatorListDialog list(nullptr, "0");
  auto* table = Find<QTableWidget>(list, "operatorTable");
  ASSERT_EQ(table->rowCount(), 2);
  EXPECT_EQ(table->item(1, 1)->text(), "张三");
  EXPECT_EQ(table->item(1, 2)->text(), "收银员");

  Click(list, "modifyButton");
  Click(list, "deleteButton");
  EXPECT_EQ(messages_.Texts(), (Texts{"请选择要修改的登陆账号", "请选择要删除的登陆账号"}));

  messages_.Clear();
  SelectRow(list, 1);
  Click(list, "deleteButton");  // answered No
  EXPECT_EQ(messages_.Texts(), Texts{"真的要删除此账号吗?"});
  EXPECT_EQ(table->rowCount(), 2);
  messages_.SetNextAnswer(true);
  Click(list, "deleteButton");
  EXPECT_EQ(table->rowCount(), 1);
  EXPECT_EQ(Stored("operatorname", "7"), "<none>");
}

TEST_F(AccountsDialogsTest, ModifyLoadsTheAccountAndTheListShowsWhatWasStored) {
  ui::OperatorListDialog list(nullptr, "0");
  SelectRow(list, 1);
  ASSERT_TRUE(ClickInto<ui::OperatorEditDialog>(list, "modifyButton", [](auto* editor) {
    EXPECT_FALSE(Find<QLineEdit>(*editor, "worknoEdit")->isEnabled());
    EXPECT_EQ(Text(*editor, "passwordEdit"), "");  // the stored hash is never shown
    EXPECT_EQ(Find<QLineEdit>(*editor, "passwordEdit")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Find<QComboBox>(*editor, "dutyCombo")->currentText(), "收银员");
    EXPECT_TRUE(Find<QComboBox>(*editor, "dutyCombo")->isEnabled());
    SetText(*editor, "nameEdit", "张三丰");
    Click(*editor, "confirmButton");
  }));
  EXPECT_EQ(Find<QTableWidget>(list, "operatorTable")->item(1, 1)->text(), "张三丰");
  EXPECT_EQ(Stored("operatorname", "7"), "张三丰");
  EXPECT_EQ(app::Login("7", "pw7"), app::LoginResult::kAccepted);  // the empty field kept it
  EXPECT_EQ(Count("select count(*) from auditlog where workno = '0' and action = '登陆账号'"), 1);
  EXPECT_TRUE(messages_.shown().empty());

  // The built-in account's duty cannot even be chosen.
  SelectRow(list, 0);
  EXPECT_TRUE(ClickInto<ui::OperatorEditDialog>(list, "modifyButton", [](auto* editor) {
    EXPECT_FALSE(Find<QComboBox>(*editor, "dutyCombo")->isEnabled());
    EXPECT_EQ(Find<QComboBox>(*editor, "dutyCombo")->currentText(), "经理");
    editor->reject();
  }));
}

TEST_F(AccountsDialogsTest, EditorFocusesTheFieldOfTheFailedCheckAndStaysOpen) {
  ui::OperatorEditDialog editor(nullptr);
  editor.show();
  auto* duty = Find<QComboBox>(editor, "dutyCombo");
  EXPECT_EQ(duty->currentText(), "收银员");  // a new account's duty unless chosen otherwise
  SetText(editor, "worknoEdit", "0");
  SetText(editor, "nameEdit", "管理员");
  Click(editor, "confirmButton");
  EXPECT_EQ(messages_.Texts(), Texts{"0账号的职责必须是经理"});
  EXPECT_EQ(editor.focusWidget(), duty);
  EXPECT_TRUE(editor.isVisible());
  EXPECT_EQ(Stored("operatorduty", "0"), "经理");
}

TEST_F(AccountsDialogsTest, EnterLoadsAnExistingNumberAndWalksToTheSaveQuestion) {
  ui::OperatorEditDialog editor(nullptr);
  editor.show();
  auto* workno = Find<QLineEdit>(editor, "worknoEdit");
  auto* name = Find<QLineEdit>(editor, "nameEdit");
  workno->setFocus();
  TypeEnter(&editor, "7");
  EXPECT_EQ(name->text(), "张三");
  EXPECT_EQ(Find<QComboBox>(editor, "dutyCombo")->currentText(), "收银员");
  EXPECT_EQ(editor.focusWidget(), name);
  name->setText("张三丰");
  for (const char* next : {"passwordEdit", "dutyCombo", "confirmButton"}) {
    QTest::keyClick(editor.focusWidget(), Qt::Key_Return);
    EXPECT_EQ(editor.focusWidget()->objectName(), next);
  }
  QTest::keyClick(editor.focusWidget(), Qt::Key_Return);  // answered No: nothing saved
  EXPECT_EQ(messages_.Texts(), Texts{"保存?"});
  EXPECT_EQ(Stored("operatorname", "7"), "张三");
  messages_.SetNextAnswer(true);
  QTest::keyClick(editor.focusWidget(), Qt::Key_Return);
  EXPECT_EQ(editor.result(), QDialog::Accepted);
  EXPECT_EQ(Stored("operatorname", "7"), "张三丰");
}

TEST_F(AccountsDialogsTest, NewAccountTypedByKeysIsStoredAsACashier) {
  ui::OperatorEditDialog editor(nullptr);
  editor.show();
  Find<QLineEdit>(editor, "worknoEdit")->setFocus();
  TypeEach(&editor, {"8", "李四", "pw8"});
  QTest::keyClick(editor.focusWidget(), Qt::Key_Return);  // past the duty, left as it came
  messages_.SetNextAnswer(true);
  QTest::keyClick(editor.focusWidget(), Qt::Key_Return);  // "保存?" yes
  EXPECT_EQ(editor.result(), QDialog::Accepted);
  EXPECT_EQ(Stored("operatorduty", "8"), "收银员");
}

TEST_F(AccountsDialogsTest, RightsPagesSaveTheirDutyAndShowTheKeptManagerRight) {
  Open().Exec("update dutyrights set discount = 0 where operatorduty = '经理'");
  ui::DutyRightsDialog rights(nullptr, "0");
  EXPECT_TRUE(Find<QCheckBox>(rights, "managerDiscountCheck")->isHidden());
  EXPECT_TRUE(Find<QCheckBox>(rights, "managerSalesCheck")->isChecked());

  // Managers keep "权限" whatever is unticked, and the page shows it ticked again.
  Find<QCheckBox>(rights, "managerDutyrightsCheck")->setChecked(false);
  Find<QCheckBox>(rights, "managerSettingsCheck")->setChecked(false);
  Click(rights, "managerSaveButton");
  EXPECT_EQ(messages_.Texts(), Texts{"完成"});
  // dutyrights, settings, and discount, whose hidden box keeps what was stored
  EXPECT_EQ(Rights("dutyrights||settings||discount", "经理"), "100");
  EXPECT_TRUE(Find<QCheckBox>(rights, "managerDutyrightsCheck")->isChecked());

  // Selecting a page reads its duty afresh.
  Open().Exec("update dutyrights set settings = 1 where operatorduty = '收银员'");
  Find<QTabWidget>(rights, "dutyTabs")->setCurrentIndex(1);
  EXPECT_TRUE(Find<QCheckBox>(rights, "cashierSettingsCheck")->isChecked());
  Find<QCheckBox>(rights, "cashierMemberCheck")->setChecked(true);
  Click(rights, "cashierSaveButton");
  EXPECT_EQ(Rights("member", "收银员") + Rights("settings", "经理"), "10");

  messages_.Clear();
  std::filesystem::remove(store::DatabasePath());
  Click(rights, "cashierSaveButton");
  EXPECT_EQ(messages_.Texts(), Texts{"数据库有误，权限没有保存"});
}

}  // namespace

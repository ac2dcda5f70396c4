// The member screens offscreen, from the menu's F4.

#include <QCheckBox>
#include <QRadioButton>

#include "core/common/password.h"
#include "ui/app/MainMenuWindow.h"
#include "ui/backoffice/goods/GoodsListDialog.h"
#include "ui/backoffice/members/DepositEntryDialog.h"
#include "ui/backoffice/members/MemberBatchSelectDialog.h"
#include "ui/backoffice/members/MemberEditDialog.h"
#include "ui/backoffice/members/MemberListDialog.h"
#include "ui/backoffice/members/PointsFeedbackDialog.h"
#include "ui/common/SearchDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

class MembersDialogsTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    Open().ExecScript(
        "insert into membermaster (memberid,membername,membersex,memberpid,memberphone,"
        "memberpointsmode,memberpointsvalue,depositmode,depositvalue,dismode,disrate,disondis,"
        "birthday,memberaddress,memberpw) values "
        "('M1','张三','男','110101','13800000001','是',500,'是',100,'会员折扣',0.9,'是',"
        "'1990-01-01','北京','111'),"
        "('M2','李四','女','110102','13800000002','否',0,'是',0,'会员价',1,'否','','上海','222'),"
        "('M3','王五','男','110103','13800000003','否',0,'否',0,'没有优惠',1,'否','','','');"
        "insert into operatormaster values ('7','收银员甲','7','收银员');");
  }
  // An expression over the member's columns (the test's own fixed texts).
  std::string Stored(const char* column, const char* id) const {
    return Open()
        .QueryText("select " + std::string(column) + " from membermaster where memberid = ?", id)
        .value_or("<none>");
  }
  static QString Cell(const QWidget& list, int row, int column) {
    return testing_support::Cell(list, "memberTable", row, column);
  }

  ui::MessageBoxSeam messages_;
};

TEST_F(MembersDialogsTest, F4AddsAMemberByKeysAndTopsItUpByPhone) {
  ui::MainMenuWindow menu("0");
  menu.show();
  bool added = false;
  bool topped_up = false;
  ModalDriver<ui::MemberListDialog> list([&](ui::MemberListDialog* dialog) {
    EXPECT_TRUE(dialog->windowState() & Qt::WindowMaximized);
    ModalDriver<ui::MemberEditDialog> add([&](ui::MemberEditDialog* editor) {
      // Id (new, so on to the name), name, sex, identity card, phone, password, points flag
      // "是", stored-value flag "是", points "0", advantage "没有优惠" (rate and box disabled),
      // address, then "保存?" answered yes.
      messages_.SetNextAnswer(true);
      TypeEach(editor,
               {"M100", "钱多多", "", "110199", "13911112222", "123", "", "", "", "", "上海", ""});
      added = editor->isVisible() && Text(*editor, "idEdit").isEmpty();
      Click(*editor, "cancelButton");
    });
    Click(*dialog, "addButton");
    EXPECT_EQ(Rows(*dialog, "memberTable"), 4);

    ModalDriver<ui::DepositEntryDialog> deposit([&](ui::DepositEntryDialog* entry) {
      auto* member = Find<QLineEdit>(*entry, "memberEdit");  // opens on the list's member
      member->setFocus();
      member->selectAll();
      TypeEnter(entry, "13911112222");
      EXPECT_EQ(TextsOf(*entry, {"memberEdit", "memberNameLabel"}), (Texts{"M100", "钱多多"}));
      TypeEnter(entry, "200");
      messages_.SetNextAnswer(true);
      TypeEnter(entry, "");  // Enter on "确认": "保存?" yes; the entry stays open for the next one
      topped_up = entry->isVisible() && Text(*entry, "memberEdit").isEmpty();
      Click(*entry, "cancelButton");
    });
    Click(*dialog, "depositButton");
    EXPECT_EQ(Cell(*dialog, 3, 6), "200.00");  // the list shows the new balance
    Click(*dialog, "exitButton");
  });
  QTest::keyClick(&menu, Qt::Key_F4);
  EXPECT_TRUE(list.ran());
  EXPECT_TRUE(added);
  EXPECT_TRUE(topped_up);
  EXPECT_EQ(messages_.Texts(), (Texts{"保存?", "会员 钱多多 储值 200.00, 保存?"}));
  EXPECT_EQ(Stored("membername||memberpid||memberphone||memberaddress||depositmode||"
                   "dismode||depositvalue",
                   "M100"),
            "钱多多11019913911112222上海是没有优惠200.0");
  // The password typed is stored as its hash.
  EXPECT_TRUE(kasso::PasswordMatches(Stored("memberpw", "M100"), "123"));
  EXPECT_EQ(Open().QueryInt("select count(*) from depositbak where memberid = 'M100' and "
                            "depositvalue = 200"),
            1);
}

TEST_F(MembersDialogsTest, TheEditorSwitchesRateAndBoxByAdvantageAndLoadsAnExistingId) {
  ui::MemberEditDialog editor(nullptr);
  editor.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
  auto* advantage = Find<QComboBox>(editor, "advantageCombo");
  auto* rate = Find<QLineEdit>(editor, "rateEdit");
  auto* box = Find<QCheckBox>(editor, "disOnDisCheck");
  auto* balance = Find<QLineEdit>(editor, "balanceEdit");
  EXPECT_TRUE(balance->isReadOnly());
  EXPECT_EQ(balance->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(advantage->currentText(), "没有优惠");
  EXPECT_FALSE(rate->isEnabled() || box->isEnabled());

  auto choose = [&](const QString& mode) {
    advantage->setCurrentText(mode);
    emit advantage->activated(advantage->currentIndex());
  };
  choose("会员折扣");
  EXPECT_TRUE(rate->isEnabled() && box->isEnabled());
  EXPECT_EQ(editor.focusWidget(), rate);
  rate->setText("0.8");
  box->setChecked(true);
  choose("会员价");
  EXPECT_EQ(rate->text(), "1");
  EXPECT_FALSE(box->isChecked() || rate->isEnabled() || box->isEnabled());

  // An id already stored, typed in add mode, loads that member; the save updates it.
  Find<QLineEdit>(editor, "idEdit")->setFocus();
  TypeEnter(&editor, "M1");
  EXPECT_EQ(Text(editor, "nameEdit"), "张三");
  EXPECT_EQ(balance->text(), "100.00");
  EXPECT_EQ(advantage->currentText(), "会员折扣");
  EXPECT_EQ(rate->text(), "0.90");
  EXPECT_TRUE(box->isChecked() && rate->isEnabled());
  SetText(editor, "nameEdit", "张三丰");
  Click(editor, "confirmButton");
  EXPECT_EQ(Stored("membername", "M1"), "张三丰");
  EXPECT_EQ(Open().QueryInt("select count(*) from membermaster"), 3);
  EXPECT_TRUE(editor.isVisible());

  // A refused save names the problem and focuses its field.
  SetText(editor, "idEdit", "M9");
  SetText(editor, "nameEdit", "赵六");
  Find<QComboBox>(editor, "depositModeCombo")->setEditText("x");
  Click(editor, "confirmButton");
  EXPECT_EQ(messages_.Texts(), Texts{"是否储值选择有误"});
  EXPECT_EQ(editor.focusWidget(), Find<QComboBox>(editor, "depositModeCombo"));
  EXPECT_EQ(Stored("membername", "M9"), "<none>");
}

TEST_F(MembersDialogsTest, AnIdTypedInAddModeChangesItsStoredMemberOnlyWhenTheUserAgrees) {
  const std::string before = RowsOf("select * from membermaster order by rowid");
  ui::MemberEditDialog editor(nullptr);
  SetText(editor, "idEdit", "M2");  // no Enter, so M2 is not shown
  SetText(editor, "nameEdit", "冒名");
  messages_.SetNextAnswer(false);
  Click(editor, "confirmButton");
  EXPECT_EQ(messages_.Texts(), Texts{"该会员编号已存在,是否修改?"});
  EXPECT_EQ(RowsOf("select * from membermaster order by rowid"), before);
  messages_.SetNextAnswer(true);
  Click(editor, "confirmButton");
  EXPECT_EQ(Stored("membername", "M2"), "冒名");
}

// Each member is loaded by Enter after the one before (M3's sex is empty after M2's "女"), the
// balance is clicked and typed on, and the save leaves every column of every member as it was.
TEST_F(MembersDialogsTest, SavingALoadedMemberUnchangedKeepsItsWholeRow) {
  Open().Exec("update membermaster set membersex = '' where memberid = 'M3'");
  const std::string before = RowsOf("select * from membermaster order by rowid");
  ui::MemberEditDialog editor(nullptr);
  editor.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
  for (const char* id : {"M1", "M2", "M3"}) {
    SetText(editor, "idEdit", id);
    Find<QLineEdit>(editor, "idEdit")->setFocus();
    TypeEnter(&editor, "");
    QTest::mouseClick(Find<QLineEdit>(editor, "balanceEdit"), Qt::LeftButton);
    QTest::keyClicks(nullptr, "999");  // to whatever holds the focus, as typing goes
    Click(editor, "confirmButton");
    EXPECT_EQ(RowsOf("select * from membermaster order by rowid"), before) << id;
  }
  EXPECT_TRUE(messages_.Texts().empty());
}

TEST_F(MembersDialogsTest, TheListShowsFourteenColumnsSearchesDeletesAndGuardsPoints) {
  ui::MemberListDialog list(nullptr, "0");
  auto* table = Find<QTableView>(list, "memberTable");
  auto tester = CheckModel(list, "memberTable");
  ASSERT_EQ(table->model()->columnCount(), 14);
  EXPECT_EQ(table->model()->headerData(6, Qt::Horizontal).toString(), "储值额");
  EXPECT_TRUE(table->isColumnHidden(11));  // 生日
  Texts row;
  for (int column = 0; column < 14; ++column) row.push_back(Cell(list, 0, column));
  EXPECT_EQ(row, (Texts{"M1", "张三", "男", "110101", "13800000001", "是", "100.00", "是", "500.00",
                        "会员折扣", "0.90", "1990-01-01", "北京", "是"}));

  Click(list, "searchButton");
  auto* prompt = list.findChild<ui::SearchDialog*>();
  ASSERT_NE(prompt, nullptr);
  Find<QComboBox>(*prompt, "kindCombo")->setCurrentText("会员名称");
  SetText(*prompt, "targetEdit", "王");
  Click(*prompt, "searchButton");
  EXPECT_EQ(table->selectionModel()->selectedRows().front().row(), 2);

  messages_.SetNextAnswer(true);
  Click(list, "deleteButton");
  EXPECT_EQ(messages_.Texts(), Texts{"真的要删除此会员吗?"});
  EXPECT_EQ(table->model()->rowCount(), 2);

  ui::MemberListDialog cashier(nullptr, "7");
  messages_.Clear();
  Click(cashier, "pointsButton");
  EXPECT_EQ(messages_.Texts(), Texts{"您没有这个权限"});
}

TEST_F(MembersDialogsTest, TheBatchChoiceBecomesStarAndTopsUpEveryChosenMember) {
  Open().Exec("insert into memberbatchselect values ('M3')");
  ui::DepositEntryDialog entry(nullptr, "0");
  EXPECT_TRUE(ClickInto<ui::MemberBatchSelectDialog>(entry, "batchButton", [&](auto* dialog) {
    auto* table = Find<QTableView>(*dialog, "memberTable");
    ASSERT_EQ(table->model()->rowCount(), 2);  // the stored-value members
    EXPECT_EQ(table->model()->headerData(4, Qt::Horizontal).toString(), "电话");
    table->selectRow(0);
    table->selectRow(1);  // several rows at once
    Click(*dialog, "confirmButton");
  }));
  EXPECT_EQ(Open().QueryText("select group_concat(memberid) from memberbatchselect"), "M1,M2");
  EXPECT_EQ(TextsOf(entry, {"memberEdit", "memberNameLabel"}), (Texts{"*", "批量储值"}));

  entry.show();
  SetText(entry, "amountEdit", "50");
  Click(entry, "confirmButton");
  EXPECT_FALSE(entry.isVisible());
  EXPECT_EQ(Open().QueryText("select group_concat(depositvalue) from membermaster"),
            "150.0,50.0,0.0");
}

TEST_F(MembersDialogsTest, TopUpStartsOnTheListsMemberWithItsBalanceAndNamesBothInTheQuestion) {
  ui::MemberListDialog list(nullptr, "0");
  Find<QTableView>(list, "memberTable")->selectRow(1);
  EXPECT_TRUE(ClickInto<ui::DepositEntryDialog>(list, "depositButton", [&](auto* entry) {
    EXPECT_EQ(TextsOf(*entry, {"memberEdit", "memberNameLabel", "balanceLabel"}),
              (Texts{"M2", "李四", "0.00"}));
    EXPECT_EQ(entry->focusWidget(), Find<QLineEdit>(*entry, "amountEdit"));
    TypeEach(entry, {"100", ""});  // the amount, then Enter on "确认": answered No
    EXPECT_EQ(messages_.Texts(), Texts{"会员 李四 储值 100.00, 保存?"});
    Click(*entry, "cancelButton");
  }));
  EXPECT_EQ(Stored("depositvalue", "M2"), "0.0");
}

TEST_F(MembersDialogsTest, PointsFeedbackBooksARebateByKeysAndAGiftPickedFromTheGoods) {
  AddGoods("6901", "毛巾", 10);
  Open().Exec("insert into inventory (barcode,quantity) values ('6901',5)");
  {
    ui::PointsFeedbackDialog feedback(nullptr, "0", "M1");
    feedback.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&feedback));
    EXPECT_EQ(TextsOf(feedback, {"memberNameLabel", "pointsHeldLabel"}),
              (Texts{"会员名称: 张三", "当前积分: 500"}));
    EXPECT_FALSE(Find<QLineEdit>(feedback, "rateEdit")->isEnabled());
    Find<QRadioButton>(feedback, "rebateRadio")->setChecked(true);
    EXPECT_FALSE(Find<QLineEdit>(feedback, "giftBarcodeEdit")->isEnabled());
    TypeEach(&feedback, {"", "0.05", "200"});  // member, rate, points: books at the last Enter
    EXPECT_EQ(messages_.Texts(), Texts{"回馈完成"});
    EXPECT_FALSE(feedback.isVisible());
  }
  EXPECT_EQ(Stored("depositvalue||memberpointsvalue", "M1"), "110.0300.0");

  messages_.Clear();
  ui::PointsFeedbackDialog gift(nullptr, "0", "M1");
  ModalDriver<ui::GoodsListDialog> picker(Press("chooseButton"));  // the first goods
  Click(gift, "pickGiftButton");
  EXPECT_EQ(TextsOf(gift, {"giftBarcodeEdit", "giftNameLabel"}), (Texts{"6901", "赠品名称: 毛巾"}));
  SetText(gift, "pointsEdit", "100");
  SetText(gift, "giftQuantityEdit", "2");
  Click(gift, "confirmButton");
  EXPECT_EQ(messages_.Texts(), Texts{"回馈完成"});
  EXPECT_EQ(Open().QueryDouble("select quantity from inventory where barcode = '6901'"), 3);
  EXPECT_EQ(Stored("memberpointsvalue", "M1"), "200.0");
}

// The list's pages share the goods list's page cache, whose later pages that test reads.
TEST_F(MembersDialogsTest, SixHundredMembersRoundTripThroughTheListsFiles) {
  Open().ExecScript(
      "with recursive n(i) as (select 1 union all select i + 1 from n where i < 600) "
      "insert into membermaster (memberid,membername,depositmode,depositvalue) "
      "select 'X' || i, '批量' || i, '是', i from n;");
  ui::MemberListDialog list(nullptr, "0");
  EXPECT_EQ(Cell(list, 602, 6), "600.00");  // a row of the last page

  FileSeams files;
  files.Next(ui::ExportFormat::kSpreadsheet, dir() / "会员.xlsx");
  Click(list, "exportButton");
  EXPECT_EQ(files.chooser.requests().back().proposal.left(2), "会员");
  EXPECT_EQ(messages_.Texts(), Texts{"导出完成"});

  Open().Exec("delete from membermaster where memberid like 'X%'");
  messages_.Clear();
  files.Next(ui::ExportFormat::kSpreadsheet, dir() / "会员.xlsx");
  Click(list, "importButton");
  ASSERT_EQ(messages_.Texts().size(), 2u);
  EXPECT_TRUE(messages_.Texts()[0].startsWith("导入Excel文件必须包含以下字段:"));
  EXPECT_EQ(messages_.Texts()[1], "导入成功\n新增 600 个会员, 相同编号跳过 3 个");
  EXPECT_EQ(Rows(list, "memberTable"), 603);
}

}  // namespace

// The member screens offscreen: F4 to a new member and its top-up by phone, the editor's
// advantage rules and keys, the list's model and buttons, the batch choice and points feedback.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QComboBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include "support/test_database.h"
#include "ui/app/FolderDialog.h"
#include "ui/app/MainMenuWindow.h"
#include "ui/backoffice/goods/GoodsListDialog.h"
#include "ui/backoffice/members/DepositEntryDialog.h"
#include "ui/backoffice/members/MemberBatchSelectDialog.h"
#include "ui/backoffice/members/MemberEditDialog.h"
#include "ui/backoffice/members/MemberListDialog.h"
#include "ui/backoffice/members/PointsFeedbackDialog.h"
#include "ui/common/ExportFormatDialog.h"
#include "ui/common/MessageBox.h"
#include "ui/common/SearchDialog.h"
#include "ui/ui_test_support.h"

namespace {

using testing_support::Click;
using testing_support::Find;
using testing_support::ModalDriver;
using Texts = std::vector<QString>;

class MembersDialogsTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    Open().ExecScript(
        "insert into membermaster (memberid,membername,membersex,memberpid,memberphone,"
        "memberpointsmode,memberpointsvalue,depositmode,depositvalue,dismode,disrate,disondis,"
        "birthday,memberaddress) values "
        "('M1','张三','男','110101','13800000001','是',500,'是',100,'会员折扣',0.9,'是',"
        "'1990-01-01','北京'),"
        "('M2','李四','女','110102','13800000002','否',0,'是',0,'会员价',1,'否','','上海'),"
        "('M3','王五','男','110103','13800000003','否',0,'否',0,'没有优惠',1,'否','','');"
        "insert into operatormaster values ('7','收银员甲','7','收银员');");
  }
  std::string Stored(const char* column, const char* id) const {
    return Open()
        .QueryText("select " + std::string(column) + " from membermaster where memberid = ?", id)
        .value_or("<none>");
  }
  static QString Cell(const QWidget& list, int row, int column) {
    return Find<QTableView>(list, "memberTable")->model()->index(row, column).data().toString();
  }
  // Types text into the focused widget and presses Enter, as a person would: Latin keys one
  // by one, Chinese as the input method commits it.
  static void Type(QWidget* dialog, const QString& text) {
    QWidget* focused = dialog->focusWidget();
    ASSERT_NE(focused, nullptr);
    bool latin = true;
    for (QChar c : text) latin = latin && c.unicode() < 128;
    if (latin) {
      QTest::keyClicks(focused, text);
    } else {
      QInputMethodEvent commit;
      commit.setCommitString(text);
      QApplication::sendEvent(focused, &commit);
    }
    QTest::keyClick(focused, Qt::Key_Return);
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
      Type(editor, "M100");         // id: new, on to the name
      Type(editor, "钱多多");       // name -> sex
      Type(editor, "");             // sex -> identity card
      Type(editor, "110199");       // identity card -> phone
      Type(editor, "13911112222");  // phone -> password
      Type(editor, "123");          // password -> points flag
      Type(editor, "");             // points flag "是" -> stored-value flag
      Type(editor, "");             // stored-value flag "是" -> points
      Type(editor, "");             // points "0" -> advantage
      Type(editor, "");             // advantage "没有优惠": rate and box disabled -> address
      Type(editor, "上海");         // address -> confirm
      messages_.SetNextAnswer(true);
      Type(editor, "");  // "保存?" yes
      added = editor->isVisible() && Find<QLineEdit>(*editor, "idEdit")->text().isEmpty();
      Click(*editor, "cancelButton");
    });
    Click(*dialog, "addButton");
    EXPECT_EQ(dialog->findChild<QTableView*>("memberTable")->model()->rowCount(), 4);

    ModalDriver<ui::DepositEntryDialog> deposit([&](ui::DepositEntryDialog* entry) {
      Type(entry, "13911112222");
      EXPECT_EQ(Find<QLineEdit>(*entry, "memberEdit")->text(), "M100");
      EXPECT_EQ(Find<QLabel>(*entry, "memberNameLabel")->text(), "钱多多");
      Type(entry, "200");
      messages_.SetNextAnswer(true);
      Type(entry, "");  // Enter on "确认": "保存?" yes; the entry stays open for the next one
      topped_up = entry->isVisible() && Find<QLineEdit>(*entry, "memberEdit")->text().isEmpty();
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
  EXPECT_EQ(messages_.Texts(), (Texts{"保存?", "保存?"}));
  EXPECT_EQ(Stored("membername", "M100") + Stored("memberpid", "M100") +
                Stored("memberphone", "M100") + Stored("memberpw", "M100") +
                Stored("memberaddress", "M100") + Stored("depositmode", "M100") +
                Stored("dismode", "M100"),
            "钱多多11019913911112222123上海是没有优惠");
  EXPECT_EQ(Stored("depositvalue", "M100"), "200.0");
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
  Type(&editor, "M1");
  EXPECT_EQ(Find<QLineEdit>(editor, "nameEdit")->text(), "张三");
  EXPECT_EQ(balance->text(), "100.00");
  EXPECT_EQ(advantage->currentText(), "会员折扣");
  EXPECT_EQ(rate->text(), "0.90");
  EXPECT_TRUE(box->isChecked() && rate->isEnabled());
  Open().Exec("update membermaster set depositvalue = 130 where memberid = 'M1'");  // a sale
  Find<QLineEdit>(editor, "nameEdit")->setText("张三丰");
  Click(editor, "confirmButton");
  EXPECT_EQ(Stored("membername", "M1") + Stored("depositvalue", "M1"), "张三丰130.0");
  EXPECT_EQ(Open().QueryInt("select count(*) from membermaster"), 3);
  EXPECT_TRUE(editor.isVisible());

  // A refused save names the problem and focuses its field.
  Find<QLineEdit>(editor, "idEdit")->setText("M9");
  Find<QLineEdit>(editor, "nameEdit")->setText("赵六");
  Find<QComboBox>(editor, "depositModeCombo")->setEditText("x");
  Click(editor, "confirmButton");
  EXPECT_EQ(messages_.Texts(), Texts{"是否储值选择有误"});
  EXPECT_EQ(editor.focusWidget(), Find<QComboBox>(editor, "depositModeCombo"));
  EXPECT_EQ(Stored("membername", "M9"), "<none>");
}

TEST_F(MembersDialogsTest, TheListShowsFourteenColumnsSearchesDeletesAndGuardsPoints) {
  ui::MemberListDialog list(nullptr, "0");
  auto* table = Find<QTableView>(list, "memberTable");
  QAbstractItemModelTester tester(table->model(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);
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
  auto* kinds = Find<QComboBox>(*prompt, "kindCombo");
  EXPECT_EQ(kinds->findText("会员编号") >= 0 && kinds->findText("会员名称") >= 0, true);
  kinds->setCurrentText("会员名称");
  Find<QLineEdit>(*prompt, "targetEdit")->setText("王");
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

TEST_F(MembersDialogsTest, TheBatchChoiceBecomesStarAndTheButtonHoldsTheCeiling) {
  Open().Exec("insert into memberbatchselect values ('M3')");
  ui::DepositEntryDialog entry(nullptr, "0");
  ModalDriver<ui::MemberBatchSelectDialog> batch([&](ui::MemberBatchSelectDialog* dialog) {
    auto* table = Find<QTableView>(*dialog, "memberTable");
    ASSERT_EQ(table->model()->rowCount(), 2);  // the stored-value members
    EXPECT_EQ(table->model()->headerData(4, Qt::Horizontal).toString(), "电话");
    table->selectRow(0);
    table->selectRow(1);  // several rows at once
    Click(*dialog, "confirmButton");
  });
  Click(entry, "batchButton");
  EXPECT_TRUE(batch.ran());
  EXPECT_EQ(Open().QueryText("select group_concat(memberid) from memberbatchselect"), "M1,M2");
  EXPECT_EQ(Find<QLineEdit>(entry, "memberEdit")->text(), "*");
  EXPECT_EQ(Find<QLabel>(entry, "memberNameLabel")->text(), "批量储值");

  entry.show();
  Find<QLineEdit>(entry, "amountEdit")->setText("9900000000.01");
  Click(entry, "confirmButton");
  EXPECT_EQ(messages_.Texts(), Texts{"储值金额过大"});
  EXPECT_TRUE(entry.isVisible());
  Find<QLineEdit>(entry, "amountEdit")->setText("50");
  Click(entry, "confirmButton");
  EXPECT_FALSE(entry.isVisible());
  EXPECT_EQ(Stored("depositvalue", "M1") + Stored("depositvalue", "M2"), "150.050.0");
}

TEST_F(MembersDialogsTest, PointsFeedbackBooksARebateByKeysAndAGiftPickedFromTheGoods) {
  testing_support::AddGoods("6901", "毛巾", 10);
  Open().Exec("insert into inventory (barcode,quantity) values ('6901',5)");
  {
    ui::PointsFeedbackDialog feedback(nullptr, "0", "M1");
    feedback.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&feedback));
    EXPECT_EQ(Find<QLabel>(feedback, "memberNameLabel")->text(), "会员名称: 张三");
    EXPECT_EQ(Find<QLabel>(feedback, "pointsHeldLabel")->text(), "当前积分: 500");
    EXPECT_FALSE(Find<QLineEdit>(feedback, "rateEdit")->isEnabled());
    Find<QRadioButton>(feedback, "rebateRadio")->setChecked(true);
    EXPECT_FALSE(Find<QLineEdit>(feedback, "giftBarcodeEdit")->isEnabled());
    Type(&feedback, "");      // member -> rate
    Type(&feedback, "0.05");  // rate -> points
    Type(&feedback, "200");   // books
    EXPECT_EQ(messages_.Texts(), Texts{"回馈完成"});
    EXPECT_FALSE(feedback.isVisible());
  }
  EXPECT_EQ(Stored("depositvalue", "M1") + Stored("memberpointsvalue", "M1"), "110.0300.0");

  messages_.Clear();
  ui::PointsFeedbackDialog gift(nullptr, "0", "M1");
  ModalDriver<ui::GoodsListDialog> picker([](ui::GoodsListDialog* goods) {
    Click(*goods, "chooseButton");  // the first goods is selected
  });
  Click(gift, "pickGiftButton");
  EXPECT_EQ(Find<QLineEdit>(gift, "giftBarcodeEdit")->text(), "6901");
  EXPECT_EQ(Find<QLabel>(gift, "giftNameLabel")->text(), "赠品名称: 毛巾");
  Find<QLineEdit>(gift, "giftQuantityEdit")->setText("-1");
  Find<QLineEdit>(gift, "pointsEdit")->setText("100");
  Click(gift, "confirmButton");
  Find<QLineEdit>(gift, "giftQuantityEdit")->setText("2");
  Click(gift, "confirmButton");
  EXPECT_EQ(messages_.Texts(), (Texts{"赠品数量有误", "回馈完成"}));
  EXPECT_EQ(Open().QueryDouble("select quantity from inventory where barcode = '6901'"), 3);
  EXPECT_EQ(Stored("memberpointsvalue", "M1"), "200.0");
}

TEST_F(MembersDialogsTest, PagesBeyondTheFirstShowTheirOwnRowsAndTheFilesRoundTripThroughTheList) {
  Open().ExecScript(
      "with recursive n(i) as (select 1 union all select i + 1 from n where i < 600) "
      "insert into membermaster (memberid,membername,depositmode,depositvalue) "
      "select 'X' || i, '批量' || i, '是', i from n;");
  ui::MemberListDialog list(nullptr, "0");
  auto* model = Find<QTableView>(list, "memberTable")->model();
  ASSERT_EQ(model->rowCount(), 603);
  for (int row : {602, 300, 3}) {
    const QString n = QString::number(row - 2);
    EXPECT_EQ((Texts{Cell(list, row, 0), Cell(list, row, 1), Cell(list, row, 6)}),
              (Texts{"X" + n, "批量" + n, n + ".00"}));
  }

  ui::ExportFormatSeam formats;
  ui::FileChooserSeam chooser;
  const QString file = QString::fromStdString((dir() / "会员.xlsx").string());
  formats.SetNextAnswer(ui::ExportFormat::kSpreadsheet);
  chooser.SetNextAnswer(file);
  Click(list, "exportButton");
  EXPECT_EQ(chooser.requests().back().proposal.left(2), "会员");
  EXPECT_EQ(messages_.Texts(), Texts{"导出完成"});

  Open().Exec("delete from membermaster where memberid like 'X%'");
  messages_.Clear();
  formats.SetNextAnswer(ui::ExportFormat::kSpreadsheet);
  chooser.SetNextAnswer(file);
  Click(list, "importButton");
  ASSERT_EQ(messages_.Texts().size(), 2u);
  EXPECT_TRUE(messages_.Texts()[0].startsWith("导入Excel文件必须包含以下字段:"));
  EXPECT_EQ(messages_.Texts()[1], "导入成功\n新增 600 个会员, 相同编号跳过 3 个");
  EXPECT_EQ(model->rowCount(), 603);
}

}  // namespace

// The goods screens offscreen, from the menu's F2.

#include <QTableWidget>
#include <QTreeWidget>

#include "ui/app/MainMenuWindow.h"
#include "ui/backoffice/goods/CombinedGoodsDialog.h"
#include "ui/backoffice/goods/GoodsEditDialog.h"
#include "ui/backoffice/goods/GoodsListDialog.h"
#include "ui/backoffice/goods/GoodsQuantityDialog.h"
#include "ui/common/SearchDialog.h"
#include "ui/labels/LabelPrintDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

class GoodsDialogsTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    AddGoods("6901", "可乐", 3);
    AddGoods("6902", "面包", 5);
    AddGoods("6903", "百事可乐", 3);
    Open().ExecScript(
        "update goodsmaster set class = '食品' where barcode = '6902';"
        "insert into inventory (barcode,quantity) values ('6901',7);"
        "insert into operatormaster values ('7','张三','7','收银员');");
  }
  // An expression over the goods' columns (the test's own fixed texts).
  std::string Stored(const char* column, const char* barcode) const {
    return Open()
        .QueryText("select " + std::string(column) + " from goodsmaster where barcode = ?", barcode)
        .value_or("<none>");
  }
  static QString Cell(const QWidget& list, int row, int column) {
    return testing_support::Cell(list, "goodsTable", row, column);
  }
  static int Rows(const QWidget& list) { return testing_support::Rows(list, "goodsTable"); }
  static int SelectedRow(const QWidget& list) {
    auto rows = Find<QTableView>(list, "goodsTable")->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.front().row();
  }

  ui::MessageBoxSeam messages_;
};

TEST_F(GoodsDialogsTest, F2FromTheMenuOpensTheListOfEveryGoods) {
  ui::MainMenuWindow menu("0");
  menu.show();
  bool labels_opened = false;
  ModalDriver<ui::GoodsListDialog> list([&](ui::GoodsListDialog* dialog) {
    EXPECT_TRUE(dialog->windowState() & Qt::WindowMaximized);
    EXPECT_FALSE(Find<QWidget>(*dialog, "chooseButton")->isVisible());
    // "条码打印" opens the label designer over the list.
    ModalDriver<ui::LabelPrintDialog> designer([&](ui::LabelPrintDialog* labels) {
      labels_opened = true;
      labels->reject();
    });
    Click(*dialog, "labelButton");
    Click(*dialog, "exitButton");
  });
  QTest::keyClick(&menu, Qt::Key_F2);
  EXPECT_TRUE(list.ran());
  EXPECT_TRUE(labels_opened);
  EXPECT_TRUE(messages_.shown().empty());
}

TEST_F(GoodsDialogsTest, TheClassTreeFiltersAndTheModelHoldsTheFifteenColumns) {
  ui::GoodsListDialog list(nullptr, "0");
  auto tester = CheckModel(list, "goodsTable");
  auto* tree = Find<QTreeWidget>(list, "classTree");
  QTreeWidgetItem* root = tree->topLevelItem(0);
  ASSERT_EQ(root->text(0), "全部");
  ASSERT_EQ(root->childCount(), 2);
  EXPECT_TRUE(root->isSelected());
  EXPECT_EQ(Rows(list), 3);
  EXPECT_EQ(SelectedRow(list), 0);
  auto* model = Find<QTableView>(list, "goodsTable")->model();
  ASSERT_EQ(model->columnCount(), 15);
  EXPECT_EQ(model->headerData(9, Qt::Horizontal).toString(), "当前库存");
  EXPECT_EQ((Texts{Cell(list, 0, 0), Cell(list, 0, 1), Cell(list, 0, 5), Cell(list, 0, 9),
                   Cell(list, 1, 9), Cell(list, 0, 14)}),
            (Texts{"1", "6901", "3.00", "7.00", "0.00", "是"}));

  QTreeWidgetItem* food = root->child(0)->text(0) == "食品" ? root->child(0) : root->child(1);
  tree->setCurrentItem(food);
  ASSERT_EQ(Rows(list), 1);
  EXPECT_EQ(Cell(list, 0, 2), "面包");
  // Deleting reloads the tree; the chosen class goes with its last goods.
  messages_.SetNextAnswer(true);
  Click(list, "deleteButton");
  EXPECT_EQ(messages_.Texts(), Texts{"真的要删除此商品吗?"});
  EXPECT_EQ(tree->topLevelItem(0)->childCount(), 1);
  EXPECT_TRUE(tree->topLevelItem(0)->isSelected());
  EXPECT_EQ(Rows(list), 2);
}

TEST_F(GoodsDialogsTest, RowsBeyondTheFirstPageShowTheirOwnColumns) {
  Open().ExecScript(
      "with recursive n(i) as (select 1 union all select i + 1 from n where i < 600) "
      "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,givepoints) "
      "select 'X' || i, '批量' || i, '件', '批量', i, 0 from n;"
      "insert into inventory (barcode,quantity) select barcode, 2 from goodsmaster "
      "where class = '批量';");
  ui::GoodsListDialog list(nullptr, "0");
  auto tester = CheckModel(list, "goodsTable");
  ASSERT_EQ(Rows(list), 603);
  for (int row : {602, 300, 3}) {
    const QString n = QString::number(row - 2);
    EXPECT_EQ((Texts{Cell(list, row, 1), Cell(list, row, 2), Cell(list, row, 5), Cell(list, row, 9),
                     Cell(list, row, 14)}),
              (Texts{"X" + n, "批量" + n, n + ".00", "2.00", "否"}));
  }
}

TEST_F(GoodsDialogsTest, TheEditorAddsGoodsByKeystrokesAndStaysOpen) {
  ui::GoodsEditDialog editor(nullptr, "0");
  editor.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
  // Barcode (new, so on to the name), name, unit, class, scale, PLU, sales price, member price
  // (which took the sales price), import price, opening stock, then "保存?" answered yes.
  messages_.SetNextAnswer(true);
  TypeEach(&editor, {"6905", "雪碧", "听", "饮料", "", "", "2.5", "", "1.8", "24", ""});
  EXPECT_EQ(messages_.Texts(), Texts{"保存?"});
  EXPECT_EQ(Stored("goodsname||unit||class||memberprice||averageimportprice", "6905"),
            "雪碧听饮料2.51.8");
  EXPECT_EQ(Open().QueryDouble("select quantity from inventory where barcode = '6905'"), 24);
  EXPECT_TRUE(editor.isVisible());
  EXPECT_EQ(Text(editor, "barcodeEdit"), "");
  EXPECT_EQ(Find<QLineEdit>(editor, "barcodeEdit"), editor.focusWidget());
  EXPECT_EQ(Find<QComboBox>(editor, "classCombo")->findText("饮料") >= 0, true);

  // A stored barcode is loaded to be changed.
  messages_.Clear();
  TypeEnter(&editor, "6901");
  EXPECT_EQ(messages_.Texts(), Texts{"有相同条码,请修改相同条码商品"});
  EXPECT_EQ(Text(editor, "nameEdit"), "可乐");
}

TEST_F(GoodsDialogsTest, AddModeAsksBeforeChangingAStoredGoodsWhoseBarcodeWasNotEntered) {
  ui::GoodsEditDialog editor(nullptr, "0");
  SetText(editor, "barcodeEdit", "6901");
  SetText(editor, "nameEdit", "雪碧");
  SetText(editor, "salesPriceEdit", "9");
  Click(editor, "confirmButton");  // "否"
  EXPECT_EQ(messages_.Texts(), Texts{"该条码已存在,是否修改?"});
  EXPECT_EQ(Stored("goodsname || salesprice", "6901"), "可乐3.0");
  EXPECT_EQ(Text(editor, "nameEdit"), "雪碧");
  messages_.SetNextAnswer(true);
  Click(editor, "confirmButton");
  EXPECT_EQ(Stored("goodsname || salesprice", "6901"), "雪碧9.0");
}

TEST_F(GoodsDialogsTest, TheEditorFocusesTheRefusedFieldAndSuggestsPlu) {
  Open().Exec("update goodsmaster set isscalegoods = '是', pluno = 8 where barcode = '6902'");
  ui::GoodsEditDialog editor(nullptr, "0");
  editor.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
  auto* scale = Find<QComboBox>(editor, "scaleCombo");
  scale->setFocus();
  scale->lineEdit()->selectAll();
  TypeEnter(&editor, "是");
  EXPECT_EQ(Text(editor, "pluEdit"), "9");
  SetText(editor, "barcodeEdit", "6910");
  SetText(editor, "nameEdit", "散称糖");
  SetText(editor, "salesPriceEdit", "abc");
  Click(editor, "confirmButton");
  EXPECT_EQ(messages_.Texts(), Texts{"售价录入有误"});
  EXPECT_EQ(editor.focusWidget(), Find<QLineEdit>(editor, "salesPriceEdit"));
  EXPECT_EQ(Stored("goodsname", "6910"), "<none>");

  // A combined goods without components opens the component editor at once.
  SetText(editor, "salesPriceEdit", "9");
  scale->setEditText("否");
  Find<QComboBox>(editor, "combinedCombo")->setCurrentText("是");
  EXPECT_TRUE(ClickInto<ui::CombinedGoodsDialog>(editor, "confirmButton", Press("exitButton")));
}

TEST_F(GoodsDialogsTest, ModifyReloadsAndThePickerReturnsTheChosenBarcode) {
  ui::GoodsListDialog list(nullptr, "0");
  Find<QTableView>(list, "goodsTable")->clearSelection();
  Click(list, "modifyButton");
  Click(list, "deleteButton");
  EXPECT_EQ(messages_.Texts(), (Texts{"请选择要修改的商品", "请选择要删除的商品"}));
  Find<QTableView>(list, "goodsTable")->selectRow(1);
  ASSERT_TRUE(ClickInto<ui::GoodsEditDialog>(list, "modifyButton", [](auto* editor) {
    EXPECT_FALSE(Find<QLineEdit>(*editor, "barcodeEdit")->isEnabled());
    EXPECT_FALSE(Find<QLineEdit>(*editor, "openingStockEdit")->isEnabled());
    Find<QComboBox>(*editor, "classCombo")->setEditText("早点");
    Click(*editor, "confirmButton");
  }));
  EXPECT_EQ(Find<QTreeWidget>(list, "classTree")->topLevelItem(0)->childCount(), 2);
  EXPECT_EQ(Cell(list, 1, 4), "早点");

  EXPECT_EQ(ui::GoodsListDialog::PickGoods(nullptr, "7"), std::nullopt);
  EXPECT_EQ(messages_.Texts().back(), "您没有这个权限");
  ModalDriver<ui::GoodsListDialog> pick([](ui::GoodsListDialog* picker) {
    EXPECT_TRUE(Find<QWidget>(*picker, "chooseButton")->isVisible());
    Find<QTableView>(*picker, "goodsTable")->selectRow(2);
    Click(*picker, "chooseButton");
  });
  EXPECT_EQ(ui::GoodsListDialog::PickGoods(nullptr, "0"), "6903");
}

TEST_F(GoodsDialogsTest, SearchFindsNextAndKeepsTheSelectionPastTheLastMatch) {
  ui::GoodsListDialog list(nullptr, "0");
  list.show();
  Click(list, "searchButton");
  auto* prompt = list.findChild<ui::SearchDialog*>();
  ASSERT_NE(prompt, nullptr);
  EXPECT_TRUE(prompt->isVisible());
  SetText(*prompt, "targetEdit", "可乐");
  Find<QComboBox>(*prompt, "kindCombo")->setCurrentText("名称");
  Click(*prompt, "nextButton");  // after the selected first row
  EXPECT_EQ(SelectedRow(list), 2);
  Click(*prompt, "nextButton");
  EXPECT_EQ(messages_.Texts(), Texts{"没有符合条件的记录"});
  EXPECT_EQ(SelectedRow(list), 2);
  Click(*prompt, "searchButton");
  EXPECT_EQ(SelectedRow(list), 0);
  // The same prompt comes back.
  Click(list, "searchButton");
  EXPECT_EQ(list.findChildren<ui::SearchDialog*>().size(), 1);
}

TEST_F(GoodsDialogsTest, ComponentsAreEnteredByKeysModifiedAndDeleted) {
  ui::CombinedGoodsDialog components(nullptr, "0", "8000");
  auto* table = Find<QTableWidget>(components, "componentTable");
  ASSERT_TRUE(ClickInto<ui::GoodsQuantityDialog>(components, "addButton", [&](auto* entry) {
    TypeEnter(entry, "6901");
    EXPECT_EQ(Text(*entry, "nameLabel"), "可乐");
    TypeEnter(entry, "3");
    messages_.SetNextAnswer(true);
    TypeEnter(entry, "");             // "保存?" yes
    EXPECT_EQ(table->rowCount(), 1);  // the grid follows while the entry stays open
    EXPECT_EQ(Text(*entry, "barcodeEdit"), "");
    Click(*entry, "cancelButton");
  }));
  EXPECT_EQ(std::pair(table->item(0, 1)->text(), table->item(0, 2)->text()),
            std::pair(QString("可乐"), QString("3")));

  table->selectRow(0);
  ASSERT_TRUE(ClickInto<ui::GoodsQuantityDialog>(components, "modifyButton", [](auto* entry) {
    EXPECT_FALSE(Find<QLineEdit>(*entry, "barcodeEdit")->isEnabled());
    EXPECT_EQ(Text(*entry, "quantityEdit"), "3");
    SetText(*entry, "quantityEdit", "0");
    Click(*entry, "confirmButton");
    EXPECT_TRUE(entry->isVisible());
    SetText(*entry, "quantityEdit", "0.5");
    Click(*entry, "confirmButton");
  }));
  EXPECT_EQ(messages_.Texts().back(), "数量必须大于0");
  EXPECT_EQ(table->item(0, 2)->text(), "0.5");

  table->selectRow(0);
  Click(components, "deleteButton");
  EXPECT_EQ(table->rowCount(), 0);
  Click(components, "deleteButton");
  EXPECT_EQ(messages_.Texts().back(), "请选择要删除的记录");
}

TEST_F(GoodsDialogsTest, ExportAndImportGoThroughTheListAndReloadIt) {
  FileSeams files;
  ui::GoodsListDialog list(nullptr, "0");
  files.Next(ui::ExportFormat::kText, dir() / "商品.txt");
  Click(list, "exportButton");
  EXPECT_EQ(files.chooser.requests().back().proposal.left(2), "商品");
  EXPECT_EQ(messages_.Texts(), Texts{"导出完成"});

  Open().ExecScript("delete from goodsmaster where barcode <> '6901'");
  list.Reload();
  ASSERT_EQ(Rows(list), 1);
  messages_.Clear();
  files.Next(ui::ExportFormat::kText, dir() / "商品.txt");
  Click(list, "importButton");
  EXPECT_EQ(messages_.Texts(),
            (Texts{"相同条码商品不被导入", "导入成功\n新增 2 个商品, 相同条码跳过 1 个"}));
  EXPECT_EQ(Rows(list), 3);
}

}  // namespace

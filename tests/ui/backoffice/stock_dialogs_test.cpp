// The stock screens offscreen, from the menu's F3: bills, the stock list and the stocktake.

#include <QTreeWidget>

#include "core/backoffice/goods/stocktake.h"
#include "ui/app/MainMenuWindow.h"
#include "ui/backoffice/goods/BillLineDialog.h"
#include "ui/backoffice/goods/BillListDialog.h"
#include "ui/backoffice/goods/GoodsQuantityDialog.h"
#include "ui/backoffice/goods/StockDialog.h"
#include "ui/backoffice/goods/StocktakeDialog.h"
#include "ui/sale/QuickGoodsDialog.h"
#include "ui/ui_test_support.h"

namespace {

using backoffice::BillKind;
using namespace testing_support;

class StockDialogsTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    AddGoods("6901", "可乐", 3);
    AddGoods("6902", "面包", 5);
    AddGoods("6909", "套餐", 7);
    Open().ExecScript(
        "update goodsmaster set class = '食品' where barcode = '6902';"
        "update goodsmaster set averageimportprice = 5, importprice = 5 where barcode = '6901';"
        "update goodsmaster set iscombined = '是' where barcode = '6909';"
        "insert into combinedgoods values ('6909','6901',2);"
        "insert into inventory (barcode,quantity) values ('6901',10), ('6902',0), ('6909',0);"
        "insert into operatormaster values ('7','张三','7','收银员');");
  }
  std::string Stock(const char* barcode) const {
    return Open()
        .QueryText("select printf('%g', quantity) from inventory where barcode = ?", barcode)
        .value_or("<none>");
  }
  static QString Focused(const QWidget& dialog) { return dialog.focusWidget()->objectName(); }

  ui::MessageBoxSeam messages_;
};

TEST_F(StockDialogsTest, F3PurchaseTypedWithPriceAndWithAmountIsVerifiedIntoStockAndCost) {
  ui::MainMenuWindow menu("0");
  menu.show();
  QString total_after;
  ModalDriver<ui::StockDialog> stock([&](ui::StockDialog* screen) {
    EXPECT_TRUE(screen->windowState() & Qt::WindowMaximized);
    ModalDriver<ui::BillListDialog> bill([&](ui::BillListDialog* list) {
      EXPECT_EQ(list->windowTitle(), "进货");
      ModalDriver<ui::BillLineDialog> entry([&](ui::BillLineDialog* line) {
        EXPECT_EQ(line->windowTitle(), "进货录入");
        TypeEnter(line, "6901");
        EXPECT_EQ(Text(*line, "nameLabel"), "可乐");
        EXPECT_EQ(Text(*line, "priceEdit"), "5.00");  // the last import price, to type over
        EXPECT_EQ(Focused(*line), "quantityEdit");
        TypeEach(line, {"10", "6"});
        EXPECT_EQ(Text(*line, "amountEdit"), "60.00");
        EXPECT_EQ(Focused(*line), "confirmButton");
        messages_.SetNextAnswer(true);
        TypeEnter(line, "");  // "保存?" yes
        EXPECT_EQ(Text(*line, "barcodeEdit"), "");
        EXPECT_EQ(Rows(*list, "billTable"), 1);  // the bill follows while the entry stays open

        TypeEach(line, {"6902", "4", ""});  // price 0.00: on to the amount
        EXPECT_EQ(Focused(*line), "amountEdit");
        TypeEnter(line, "10");
        messages_.SetNextAnswer(true);
        TypeEnter(line, "");
        Click(*line, "cancelButton");
      });
      Click(*list, "addButton");
      EXPECT_TRUE(entry.ran());
      EXPECT_EQ(Cell(*list, "billTable", 1, 4), "2.50");
      messages_.SetNextAnswer(true);
      Click(*list, "verifyButton");
    });
    Click(*screen, "purchaseButton");
    EXPECT_TRUE(bill.ran());
    total_after = Cell(*screen, "stockTable", 3, 4);
    Click(*screen, "exitButton");
  });
  QTest::keyClick(&menu, Qt::Key_F3);
  ASSERT_TRUE(stock.ran());
  EXPECT_EQ(messages_.Texts(), (Texts{"保存?", "保存?", "共 2 行, 合计 70.00, 是否验收?"}));
  EXPECT_EQ(total_after, "24.00");
  EXPECT_EQ(Stock("6901") + " " + Stock("6902"), "20 4");
  EXPECT_EQ(Open().QueryInt("select count(*) from import"), 0);
}

TEST_F(StockDialogsTest, TheStockListFiltersByClassTotalsAndRefusesAStocktakeOverOpenBills) {
  ui::StockDialog screen(nullptr, "0");
  auto tester = CheckModel(screen, "stockTable");
  ASSERT_EQ(Rows(screen, "stockTable"), 4);
  EXPECT_EQ((Texts{Cell(screen, "stockTable", 0, 5), Cell(screen, "stockTable", 3, 0),
                   Cell(screen, "stockTable", 3, 4), Cell(screen, "stockTable", 3, 5)}),
            (Texts{"50.00", "总计", "10.00", "50.00"}));
  auto* tree = Find<QTreeWidget>(screen, "classTree");
  QTreeWidgetItem* root = tree->topLevelItem(0);
  QTreeWidgetItem* food = root->child(0)->text(0) == "食品" ? root->child(0) : root->child(1);
  tree->setCurrentItem(food);
  ASSERT_EQ(Rows(screen, "stockTable"), 2);
  EXPECT_EQ(Cell(screen, "stockTable", 0, 1), "面包");

  Open().Exec("insert into return (barcode,quantity,returnprice) values ('6902', 1, 1)");
  Click(screen, "stocktakeButton");
  EXPECT_EQ(messages_.Texts(), Texts{"有未验收的返厂单,请处理后盘点"});
}

TEST_F(StockDialogsTest, TheBillListModifiesDeletesImportsAndAsksBeforeClosingOverLines) {
  FileSeams files;
  ui::BillListDialog returns(nullptr, BillKind::kReturn, "0");
  EXPECT_FALSE(Find<QWidget>(returns, "importButton")->isVisibleTo(&returns));
  ui::BillListDialog bill(nullptr, BillKind::kPurchase, "0");
  auto tester = CheckModel(bill, "billTable");
  Click(bill, "modifyButton");
  Click(bill, "deleteButton");
  std::ofstream(dir() / "bill.txt") << "6901,2,5\r\n6902,3,9\r\n";
  files.Next(ui::ExportFormat::kText, dir() / "bill.txt");
  Click(bill, "importButton");
  ASSERT_EQ(Rows(bill, "billTable"), 2);
  EXPECT_EQ(Cell(bill, "billTable", 1, 4), "3.00");

  ASSERT_TRUE(ClickInto<ui::BillLineDialog>(bill, "modifyButton", [](auto* line) {
    EXPECT_FALSE(Find<QLineEdit>(*line, "barcodeEdit")->isEnabled());
    EXPECT_EQ(Text(*line, "quantityEdit"), "2.00");
    SetText(*line, "amountEdit", "7");
    Click(*line, "confirmButton");
  }));  // the first row is selected
  EXPECT_EQ(Cell(bill, "billTable", 0, 4), "3.50");
  // A new quantity typed alone keeps the price: 4 at 3.50, not 7.00 spread over 4.
  ASSERT_TRUE(ClickInto<ui::BillLineDialog>(bill, "modifyButton", [](auto* line) {
    auto* quantity = Find<QLineEdit>(*line, "quantityEdit");
    quantity->selectAll();
    QTest::keyClicks(quantity, "4");
    Click(*line, "confirmButton");
  }));
  EXPECT_EQ(Cell(bill, "billTable", 0, 4) + " " + Cell(bill, "billTable", 0, 5), "3.50 14.00");

  Find<QTableView>(bill, "billTable")->selectRow(1);
  messages_.SetNextAnswer(true);
  Click(bill, "deleteButton");
  EXPECT_EQ(Rows(bill, "billTable"), 1);

  bill.show();
  Click(bill, "verifyButton");  // "否": nothing is booked and the bill stays on screen
  EXPECT_TRUE(bill.isVisible());
  EXPECT_EQ(Stock("6901"), "10");
  Click(bill, "exitButton");  // "No": the bill stays open for later
  EXPECT_FALSE(bill.isVisible());
  EXPECT_EQ(messages_.Texts(),
            (Texts{"请选择要修改的数据", "请选择要删除的商品",
                   "导入文本文件必须包含以下字段:\n\n条码，数量，金额(以逗号隔开)",
                   "导入成功\n新增 2 行, 累加 0 行, 不是商品的条码跳过 0 行", "真的要删除此商品吗?",
                   "共 1 行, 合计 14.00, 是否验收?", "有未验收的数据,是否验收?"}));
  EXPECT_EQ(Open().QueryText("select quantity || '@' || importprice from import"), "4.0@3.5");
}

TEST_F(StockDialogsTest, AFailingVerificationKeepsTheBillOpenAndSaysSo) {
  Open().ExecScript(
      "insert into return (barcode,quantity,returnprice) values ('6901', 15, 4);"
      "create trigger refuse after update on inventory begin select raise(abort, 'x'); end;");
  ui::BillListDialog bill(nullptr, BillKind::kReturn, "0");
  bill.show();
  messages_.SetNextAnswer(true);
  Click(bill, "verifyButton");
  EXPECT_TRUE(bill.isVisible());
  messages_.SetNextAnswer(true);  // close: verify first, which fails again
  Click(bill, "exitButton");
  EXPECT_TRUE(bill.isVisible());
  EXPECT_EQ(messages_.Texts(), (Texts{"共 1 行, 合计 60.00, 是否验收?", "删除有误",
                                      "有未验收的数据,是否验收?", "删除有误"}));
  Open().ExecScript("drop trigger refuse");
  messages_.SetNextAnswer(true);
  Click(bill, "verifyButton");
  EXPECT_FALSE(bill.isVisible());
  EXPECT_EQ(Stock("6901"), "-5");
}

TEST_F(StockDialogsTest, TheLineEntryRefusesFocusesPicksAndCreatesUnknownGoods) {
  ui::BillLineDialog line(nullptr, BillKind::kReturn, "7");
  line.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&line));
  EXPECT_EQ(line.windowTitle(), "返厂录入");
  EXPECT_EQ(Text(line, "priceEdit"), "");
  TypeEach(&line, {"6901", "3"});
  SetText(line, "quantityEdit", "0");
  Find<QLineEdit>(line, "priceEdit")->clear();
  Find<QLineEdit>(line, "amountEdit")->setFocus();
  TypeEnter(&line, "5");
  EXPECT_EQ(Focused(line), "quantityEdit");
  EXPECT_EQ(messages_.Texts(), Texts{"数量为0时不能由金额计算单价"});

  // An unknown barcode is created through the quick goods entry and then loaded.
  messages_.Clear();
  ModalDriver<ui::QuickGoodsDialog> quick(
      Fill({{"nameEdit", "新品"}, {"priceEdit", "1"}}, "okButton"));
  Find<QLineEdit>(line, "barcodeEdit")->setFocus();
  SetText(line, "barcodeEdit", "7001");
  TypeEnter(&line, "");
  ASSERT_TRUE(quick.ran());
  EXPECT_EQ(Text(line, "nameLabel"), "新品");
  EXPECT_EQ(Focused(line), "quantityEdit");
  EXPECT_EQ(Open().QueryText("select goodsname from goodsmaster where barcode = '7001'"), "新品");
}

TEST_F(StockDialogsTest, TheStocktakeCountsImportsExportsAndVerifies) {
  FileSeams files;
  backoffice::GenerateStocktake();  // as the stock screen does before opening it
  ui::StocktakeDialog stocktake(nullptr, "0");
  auto tester = CheckModel(stocktake, "stocktakeTable");
  ASSERT_EQ(Rows(stocktake, "stocktakeTable"), 2);  // the combined goods is not counted
  EXPECT_EQ(Cell(stocktake, "stocktakeTable", 0, 3), "10.00");

  ASSERT_TRUE(ClickInto<ui::GoodsQuantityDialog>(stocktake, "countButton", [&](auto* entry) {
    TypeEnter(entry, "6901");
    EXPECT_EQ(Text(*entry, "quantityEdit"), "10");
    TypeEnter(entry, "8");
    messages_.SetNextAnswer(true);
    TypeEnter(entry, "");
    EXPECT_EQ(Cell(stocktake, "stocktakeTable", 0, 5), "-2.00");
    Click(*entry, "cancelButton");
  }));

  files.Next(ui::ExportFormat::kText, dir() / "盘点.txt");
  Click(stocktake, "exportButton");
  EXPECT_EQ(files.chooser.requests().back().proposal.left(2), "盘点");
  std::ofstream(dir() / "counts.txt") << "6902,3\r\n";
  files.Next(ui::ExportFormat::kText, dir() / "counts.txt");
  Click(stocktake, "importButton");
  EXPECT_EQ(Cell(stocktake, "stocktakeTable", 1, 4), "3.00");

  EXPECT_EQ(messages_.Texts(), (Texts{"保存?", "导出完成", "盘点导入文件的格式必须是: 条码,数量",
                                      "完成\n盘点 1 行, 不在盘点单中跳过 0 行"}));
  EXPECT_NE(FileBytes(dir() / "盘点.txt").find("6901,"), std::string::npos);

  // Leaving asks with 否 as the default, so an Enter keeps the count open for later.
  stocktake.show();
  Click(stocktake, "exitButton");
  EXPECT_FALSE(stocktake.isVisible());
  EXPECT_TRUE(messages_.shown().back().question && messages_.shown().back().default_no);

  stocktake.show();
  Click(stocktake, "verifyButton");
  EXPECT_FALSE(stocktake.isVisible());
  EXPECT_EQ(Stock("6901") + " " + Stock("6902"), "0 3");
}

}  // namespace

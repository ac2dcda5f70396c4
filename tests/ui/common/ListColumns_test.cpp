// Column widths of the list screens: room for what they show, and the user's own widths kept.

#include "ui/common/ListColumns.h"

#include <QHeaderView>
#include <QSettings>

#include "core/common/clock.h"
#include "ui/backoffice/goods/GoodsListDialog.h"
#include "ui/reports/DateRangeDialog.h"
#include "ui/reports/QueryDialog.h"
#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

class ListColumnsTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    QSettings("Tillwise", "Tillwise").clear();
    AddGoods("6920131234567", "酸梅汤", 3.50);
    Open().Exec(
        "insert into transactiondetails (transactionnumber,transactiontype,barcode,quantity,"
        "price,actualvalue,transactiondatetime) values (1,'销售','6920131234567',1,3.5,3.5,"
        "'2024-05-01 09:00:00')");
  }

  // Shows the dialog as a window 1024 pixels wide.
  static void ShowAt1024(QWidget& dialog) {
    dialog.setWindowState(Qt::WindowNoState);
    dialog.resize(1024, 768);
    dialog.show();
  }

  // True when the cell's text is shown whole: its column gives it the room it asks for.
  static bool Whole(const QTableView* table, int row, int column) {
    const QModelIndex cell = table->model()->index(row, column);
    const int grid = table->showGrid() ? 1 : 0;
    return table->columnWidth(column) - grid >= table->sizeHintForIndex(cell).width();
  }

  // Drags the right edge of the column's heading by the given pixels, as a person does.
  static void DragEdge(QTableView* table, int column, int by) {
    QHeaderView* header = table->horizontalHeader();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) - 1;
    const int y = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(x, y));
    QTest::mouseMove(header->viewport(), QPoint(x + by, y));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(x + by, y));
  }

  ui::MessageBoxSeam messages_;
};

TEST_F(ListColumnsTest, BarcodesAndDateTimesAreShownWholeInTheGoodsAndQueryListsAt1024) {
  ui::GoodsListDialog goods(nullptr, "0");
  ShowAt1024(goods);
  auto* goods_table = Find<QTableView>(goods, "goodsTable");
  EXPECT_EQ(Cell(goods, "goodsTable", 0, 1), "6920131234567");
  EXPECT_TRUE(Whole(goods_table, 0, 1));   // 条码
  EXPECT_TRUE(Whole(goods_table, 0, 13));  // 录入时间

  common::ScopedClock today(common::MakeTime(2024, 5, 1, 12, 0, 0));
  ui::QueryDialog queries(nullptr, "0");
  ShowAt1024(queries);
  ModalDriver<ui::DateRangeDialog> range(Press("confirmButton"));
  Click(queries, "journalButton");
  auto* query_table = Find<QTableView>(queries, "resultTable");
  EXPECT_EQ(Cell(queries, "resultTable", 0, 2), "6920131234567");
  EXPECT_EQ(Cell(queries, "resultTable", 0, 12), "2024-05-01 09:00:00");
  EXPECT_TRUE(Whole(query_table, 0, 2));   // 条码
  EXPECT_TRUE(Whole(query_table, 0, 12));  // 交易时间
}

TEST_F(ListColumnsTest, AWidthTheUserSetsIsRestoredWhenTheListOpensAgain) {
  int widened = 0;
  {
    ui::GoodsListDialog goods(nullptr, "0");
    ShowAt1024(goods);
    auto* table = Find<QTableView>(goods, "goodsTable");
    const int fitted = table->columnWidth(2);
    DragEdge(table, 2, 90);  // 名称
    widened = table->columnWidth(2);
    EXPECT_EQ(widened, fitted + 90);
  }
  AddGoods("6920131234568", "冰糖雪梨", 4.00);  // rows read again: the user's width stays
  ui::GoodsListDialog again(nullptr, "0");
  ShowAt1024(again);
  auto* table = Find<QTableView>(again, "goodsTable");
  EXPECT_EQ(table->columnWidth(2), widened);
  EXPECT_TRUE(Whole(table, 0, 1));
}

}  // namespace

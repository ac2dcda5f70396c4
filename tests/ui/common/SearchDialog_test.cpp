#include "ui/common/SearchDialog.h"

#include <QStandardItemModel>
#include <QTableView>

#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

// Barcodes and names, the second row's barcode also inside the first row's name.
constexpr std::string_view kRows[3][2] = {{"6901", "可乐6902"}, {"6902", "雪碧"}, {"6903", "芬达"}};

struct Rows : ui::SearchableList {
  int SearchRowCount() const override { return 3; }
  std::string_view SearchText(int row, int column) const override { return kRows[row][column]; }
};

TEST(SearchDialogTest, StartsOnTheFirstColumnSoTypingABarcodeAndEnterFindsIt) {
  ui::MessageBoxSeam messages;
  QStandardItemModel model(3, 2);
  QTableView view;
  view.setModel(&model);
  view.show();
  Rows rows;
  ui::SearchDialog* prompt = ui::SearchDialog::Open(&view, rows, {{"条码", 0}, {"名称", 1}});
  EXPECT_EQ(Find<QComboBox>(*prompt, "kindCombo")->currentText(), "条码");
  QTest::keyClicks(prompt->focusWidget(), "6902");
  QTest::keyClick(prompt->focusWidget(), Qt::Key_Return);
  EXPECT_TRUE(messages.shown().empty());
  const QModelIndexList selected = view.selectionModel()->selectedRows();
  ASSERT_EQ(selected.size(), 1);
  EXPECT_EQ(selected.front().row(), 1);  // the barcode, not the first row's name
}

}  // namespace

#include "ui/common/SearchDialog.h"

#include <QComboBox>
#include <QStandardItemModel>
#include <QTableView>
#include <string>
#include <vector>

#include "ui/ui_test_support.h"

namespace {

using namespace testing_support;

// Two columns, barcode and name, held as the list models hold them.
class Goods : public ui::SearchableList {
 public:
  Goods() {
    for (const auto& [barcode, name] : rows_) {
      model_.appendRow({new QStandardItem(QString::fromStdString(barcode)),
                        new QStandardItem(QString::fromStdString(name))});
    }
    view.setModel(&model_);
  }
  int SearchRowCount() const override { return static_cast<int>(rows_.size()); }
  std::string_view SearchText(int row, int column) const override {
    return column == 0 ? rows_[row].first : rows_[row].second;
  }

 private:
  std::vector<std::pair<std::string, std::string>> rows_ = {
      {"6901", "可乐6902"}, {"6902", "雪碧"}, {"6903", "芬达"}};
  QStandardItemModel model_;

 public:
  QTableView view;
};

TEST(SearchDialogTest, StartsOnTheFirstColumnSoTypingABarcodeAndEnterFindsIt) {
  ui::MessageBoxSeam messages;
  Goods goods;
  goods.view.show();
  ui::SearchDialog* prompt = ui::SearchDialog::Open(&goods.view, goods, {{"条码", 0}, {"名称", 1}});
  EXPECT_EQ(Find<QComboBox>(*prompt, "kindCombo")->currentText(), "条码");
  QTest::keyClicks(prompt->focusWidget(), "6902");
  QTest::keyClick(prompt->focusWidget(), Qt::Key_Return);
  EXPECT_TRUE(messages.shown().empty());
  const QModelIndexList selected = goods.view.selectionModel()->selectedRows();
  ASSERT_EQ(selected.size(), 1);
  EXPECT_EQ(selected.front().row(), 1);  // the barcode, not the name of the first row
}

}  // namespace

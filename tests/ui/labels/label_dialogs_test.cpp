#include <QRadioButton>
#include <QTreeWidget>

#include "core/labels/batch_select.h"
#include "ui/labels/BarcodePrintDialog.h"
#include "ui/labels/LabelCountDialog.h"
#include "ui/labels/RangeSelectDialog.h"
#include "ui/labels/label_test_support.h"
#include "ui/ui_test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

class LabelDialogsTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    AddGoods("6901234567892", "康师傅红烧牛肉面桶装", 4.5);
    AddGoods("6902", "雪碧", 3);
    AddGoods("6903", "薯片", 5);
    Open().ExecScript(
        "update goodsmaster set class = '饮料' where barcode in ('6901234567892','6902');"
        "insert into import (barcode,quantity) values ('6901234567892',2),('6902',0),"
        "('6903',2.5);");
  }
  std::vector<std::string> Selection() {
    store::Database db = Open();
    std::vector<std::string> lines;
    for (const auto& line : labels::ListBatch(db)) {
      lines.push_back(line.barcode + "x" + std::to_string(line.quantity));
    }
    return lines;
  }
  ui::MessageBoxSeam messages_;
};

TEST_F(LabelDialogsTest, SimplePrintLaysGoodsThreeToAPageAndShelvesOneEach) {
  ui::BarcodePrintDialog dialog;
  const fs::path pdf = dir() / "simple.pdf";
  Find<QComboBox>(dialog, "printerCombo")->setCurrentText("");
  Click(dialog, "printButton");
  Find<QComboBox>(dialog, "printerCombo")->setCurrentText(QString::fromStdString(pdf.string()));
  Click(dialog, "printButton");  // by barcode, none typed
  Find<QRadioButton>(dialog, "byClassRadio")->setChecked(true);
  Find<QComboBox>(dialog, "classCombo")->setCurrentIndex(-1);
  Click(dialog, "printButton");
  EXPECT_EQ(messages_.Texts(), (Texts{"请选择打印机", "请录入条码", "请选择类别"}));
  EXPECT_FALSE(fs::exists(pdf));

  struct Case {
    const char* kind_radio;
    const char* source_radio;
    int pages;
  };
  const Case cases[] = {
      {"goodsLabelRadio", "byImportRadio", 2},  // 2 + 0 + 3 labels, three to a page
      {"shelfLabelRadio", "byClassRadio", 2},
      {"goodsLabelRadio", "byBarcodeRadio", 1},
  };
  Find<QComboBox>(dialog, "classCombo")->setCurrentText("饮料");
  SetText(dialog, "barcodeEdit", "6902");
  messages_.Clear();
  for (const Case& c : cases) {
    Find<QRadioButton>(dialog, c.kind_radio)->setChecked(true);
    Find<QRadioButton>(dialog, c.source_radio)->setChecked(true);
    Click(dialog, "printButton");
    EXPECT_EQ(PdfPageCount(pdf), c.pages) << c.kind_radio << " " << c.source_radio;
  }
  // Each run says where its labels went, and nothing else.
  EXPECT_EQ(messages_.Texts(),
            std::vector<QString>(std::size(cases),
                                 "已打印到 PDF: " + QString::fromStdString(pdf.string())));
}

TEST_F(LabelDialogsTest, RangeSelectionBuildsTheListOfLabels) {
  ui::RangeSelectDialog dialog;
  auto* goods = Find<QTableView>(dialog, "goodsTable");
  auto* batch = Find<QTableView>(dialog, "batchTable");
  auto goods_check = CheckModel(dialog, "goodsTable");
  auto batch_check = CheckModel(dialog, "batchTable");
  EXPECT_EQ(goods->model()->rowCount(), 3);  // "全部"
  auto* tree = Find<QTreeWidget>(dialog, "classTree");
  tree->setCurrentItem(tree->findItems("饮料", Qt::MatchExactly | Qt::MatchRecursive).front());
  EXPECT_EQ(goods->model()->rowCount(), 2);

  Click(dialog, "selectButton");
  Click(dialog, "editButton");
  Click(dialog, "deleteButton");
  EXPECT_EQ(messages_.Texts(),
            (Texts{"请选择要打印的商品", "请选择要编辑的商品", "请选择要删除的商品"}));
  goods->selectAll();
  Click(dialog, "selectButton");
  EXPECT_EQ(Selection(), (std::vector<std::string>{"6901234567892x1", "6902x1"}));
  EXPECT_EQ(batch->model()->index(0, 1).data().toString(), "康师傅红烧牛肉面桶装");
  EXPECT_EQ(batch->model()->index(0, 5).data().toString(), "4.50");

  batch->selectRow(1);
  messages_.Clear();
  ModalDriver<ui::LabelCountDialog> count([](ui::LabelCountDialog* d) {
    SetText(*d, "quantityEdit", "");
    Click(*d, "okButton");
    SetText(*d, "quantityEdit", "4");
    Click(*d, "okButton");
  });
  Click(dialog, "editButton");
  EXPECT_EQ(messages_.Texts(), Texts{"请录入数量"});
  EXPECT_EQ(Selection(), (std::vector<std::string>{"6901234567892x1", "6902x4"}));
  batch->selectRow(0);
  Click(dialog, "deleteButton");
  EXPECT_EQ(Selection(), (std::vector<std::string>{"6902x4"}));
  EXPECT_EQ(batch->model()->rowCount(), 1);
}

}  // namespace

#include "ui/labels/LabelPrintDialog.h"

#include <QCheckBox>
#include <QListWidget>
#include <QMouseEvent>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>

#include "core/labels/print_queue.h"
#include "ui/labels/LabelCanvas.h"
#include "ui/labels/LabelPrintJob.h"
#include "ui/labels/LabelSizeDialog.h"
#include "ui/labels/label_test_support.h"
#include "ui/ui_test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

class LabelPrintDialogTest : public TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    AddGoods("6901234567892", "可口可乐", 3.5);
    AddGoods("10001", "苹果", 6.8);
  }
  std::unique_ptr<ui::LabelPrintDialog> OpenDialog() {
    auto dialog = std::make_unique<ui::LabelPrintDialog>(nullptr, "0");
    dialog->show();
    return dialog;
  }
  // A run by barcode of `copies` labels on the paper, to a PDF in the test's folder.
  fs::path SetUpRun(const QWidget& dialog, const QString& paper, int copies, int columns) {
    const fs::path pdf = dir() / "labels.pdf";
    Find<QComboBox>(dialog, "printerCombo")->setCurrentText(QString::fromStdString(pdf.string()));
    Find<QComboBox>(dialog, "paperCombo")->setCurrentText(paper);
    Find<QRadioButton>(dialog, "byBarcodeRadio")->setChecked(true);
    SetText(dialog, "barcodeEdit", "6901234567892");
    SetText(dialog, "repeatEdit", QString::number(copies));
    SetText(dialog, "columnsEdit", QString::number(columns));
    return pdf;
  }
  static void Drag(QWidget* canvas, QPointF from, QPointF to) {
    QMouseEvent press(QEvent::MouseButtonPress, from, canvas->mapToGlobal(from), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &press);
    QMouseEvent move(QEvent::MouseMove, to, canvas->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, canvas->mapToGlobal(to), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &release);
  }

  ui::MessageBoxSeam messages_;
};

TEST_F(LabelPrintDialogTest, DesignerSavesAndReloadsAMovedField) {
  auto dialog = OpenDialog();
  ui::LabelCanvas* canvas = dialog->canvas();
  Find<QComboBox>(*dialog, "labelKindCombo")->setCurrentText("商品签");
  const auto& name = canvas->label().fields[labels::kGoodsName];
  ASSERT_EQ(name.cx * 1000 + name.cy, 5000);  // the shipped goods label
  const QRectF box = canvas->FieldBox(labels::kGoodsName);
  // 23 px right and 11 px down, in whole millimetres: cx 5 -> 30, cy 0 -> 10.
  Drag(canvas, box.center(), box.center() + QPointF(23, 11));
  EXPECT_EQ(Text(*dialog, "fieldNameLabel"), "商品名称");
  Find<QComboBox>(*dialog, "fontSizeCombo")->setCurrentText("小");
  Find<QComboBox>(*dialog, "fieldLengthCombo")->setCurrentText("40");
  Find<QListWidget>(*dialog, "itemList")->item(labels::kPlu)->setCheckState(Qt::Unchecked);
  Click(*dialog, "saveButton");
  EXPECT_EQ(messages_.Texts().back(), "模板保存完成");
  dialog.reset();

  auto again = OpenDialog();
  Find<QComboBox>(*again, "labelKindCombo")->setCurrentText("商品签");
  const labels::LabelTemplate& saved = again->canvas()->label();
  const auto& moved = saved.fields[labels::kGoodsName];
  EXPECT_EQ(std::tuple(moved.cx, moved.cy, moved.fontsize, moved.itemwidth),
            std::tuple(30, 10, std::string("小"), 40));
  EXPECT_EQ(Find<QListWidget>(*again, "itemList")->item(labels::kPlu)->checkState(), Qt::Unchecked);
  EXPECT_TRUE(saved.fields[labels::kUnit].visible);
  // The shelf label was not touched.
  Find<QComboBox>(*again, "labelKindCombo")->setCurrentText("货架签");
  EXPECT_EQ(again->canvas()->label().fields[labels::kGoodsName].cx, 10);
}

TEST_F(LabelPrintDialogTest, SizeDialogRefusesInPlaceAndTheCanvasSizesABarcodeBox) {
  auto dialog = OpenDialog();
  QString focus_after_refusal;
  EXPECT_TRUE(ClickInto<ui::LabelSizeDialog>(*dialog, "sizeButton", [&](auto* size) {
    auto* width = Find<QLineEdit>(*size, "widthEdit");
    width->setText("211");
    Click(*size, "okButton");
    focus_after_refusal = size->focusWidget()->objectName();
    width->setText("50");
    Find<QLineEdit>(*size, "heightEdit")->setText("30");
    Click(*size, "okButton");
  }));
  EXPECT_EQ(focus_after_refusal, "widthEdit");
  EXPECT_EQ(messages_.Texts(), Texts{"宽度不能大于210"});
  EXPECT_EQ(Find<QPushButton>(*dialog, "sizeButton")->text(), "50×30mm");
  EXPECT_EQ(dialog->canvas()->label().labelwidth, 50);

  ui::LabelCanvas* canvas = dialog->canvas();
  canvas->Select(labels::kBarcode);
  Find<QComboBox>(*dialog, "fieldLengthCombo")->setCurrentText("10");
  // 123 modules of 2 dots at 203 dpi (0.25 mm), at 5 px per mm: not the 50 px of a 10 mm field.
  EXPECT_NEAR(canvas->FieldBox(labels::kBarcode).width(), 123 * 2 * 25.4 / 203 * 5, 0.01);
  Find<QListWidget>(*dialog, "itemList")->item(labels::kBarcode)->setCheckState(Qt::Unchecked);
  EXPECT_TRUE(canvas->FieldBox(labels::kBarcode).isEmpty());
  EXPECT_EQ(canvas->selected(), -1);
}

TEST_F(LabelPrintDialogTest, PrintsTheRunToAPdfOfTheExpectedPages) {
  auto dialog = OpenDialog();
  // A4: 25 labels, 3 across, 35 mm high below 10 mm with 5 mm gaps: 7 rows, 2 pages.
  fs::path pdf = SetUpRun(*dialog, "A4纸", 25, 3);
  SetText(*dialog, "topSpaceEdit", "10");
  SetText(*dialog, "lineSpaceEdit", "5");
  Click(*dialog, "printButton");
  // The run says where the labels went.
  EXPECT_EQ(messages_.Texts(),
            std::vector<QString>{"已打印到 PDF: " + QString::fromStdString(pdf.string())});
  EXPECT_EQ(PdfPageCount(pdf), 2);
  EXPECT_TRUE(Text(*dialog, "statusLabel").isEmpty());
  // The settings were saved with the run.
  store::Database db = Open();
  EXPECT_EQ(labels::LoadTemplate(db, "货架签").settings.repeat, 25);
  EXPECT_NEAR(PdfPageSizeMm(pdf).first, 210, 0.5);
  EXPECT_NEAR(PdfPageSizeMm(pdf).second, 297, 0.5);

  // A roll of 3 columns: 7 labels on 3 pages, each as wide as the row and as high as a label.
  SetUpRun(*dialog, "标签纸", 7, 3);
  SetText(*dialog, "leftSpaceEdit", "2");
  SetText(*dialog, "betweenSpaceEdit", "3");
  Click(*dialog, "printButton");
  EXPECT_EQ(PdfPageCount(pdf), 3);
  EXPECT_NEAR(PdfPageSizeMm(pdf).first, 63 * 3 + 2 * 2 - 3, 0.5);
  EXPECT_NEAR(PdfPageSizeMm(pdf).second, 35, 0.5);
}

// Which sheets the layout refuses, and that a code of other than digits is refused, is proven
// in core; one layout refusal and one empty field show both are asked before anything prints.
TEST_F(LabelPrintDialogTest, RefusedRunsPrintNothing) {
  auto dialog = OpenDialog();
  for (const auto& [columns, barcode, message] :
       {std::tuple{"0", "6901234567892", "每行列数必须大于0"}, std::tuple{"2", "", "请录入条码"}}) {
    messages_.Clear();
    const fs::path pdf = SetUpRun(*dialog, "标签纸", 2, 1);
    SetText(*dialog, "columnsEdit", columns);
    SetText(*dialog, "barcodeEdit", barcode);
    Click(*dialog, "printButton");
    EXPECT_EQ(messages_.Texts(), Texts{message});
    EXPECT_FALSE(fs::exists(pdf)) << message;
  }
}

TEST_F(LabelPrintDialogTest, CancelledJobLeavesTheEarlierFileAndNoScratch) {
  store::Database db = Open();
  labels::FillPrintQueue(db, {"barcode", "6901234567892", "", 9});
  const auto goods = labels::LoadPrintQueue(db);
  labels::LabelTemplate label = labels::LoadTemplate(db, "商品签");
  const fs::path pdf = dir() / "run.pdf";
  const QString name = QString::fromStdString(pdf.string());
  int told = 0;
  const ui::JobOutcome whole =
      ui::PrintTemplateLabels(label, goods, name, [&](int done, int pages) {
        told = done * 100 + pages;
        return true;
      });
  EXPECT_EQ(whole.pages, 9);
  EXPECT_EQ(told, 909);
  const std::string earlier = FileBytes(pdf);
  EXPECT_EQ(PdfPageCount(pdf), 9);

  const ui::JobOutcome cancelled =
      ui::PrintTemplateLabels(label, goods, name, [](int done, int) { return done < 2; });
  EXPECT_TRUE(cancelled.cancelled);
  EXPECT_EQ(cancelled.pages, 2);
  EXPECT_EQ(FileBytes(pdf), earlier);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir()), fs::directory_iterator()), 2);  // db, pdf
}

TEST_F(LabelPrintDialogTest, LongRunCancelsAndTemplatesRoundTripThroughTheExchangeFile) {
  auto dialog = OpenDialog();
  const fs::path pdf = SetUpRun(*dialog, "标签纸", 200, 1);
  EXPECT_TRUE(ClickInto<QProgressDialog>(*dialog, "printButton", [](auto* progress) {
    EXPECT_EQ(progress->maximum(), 200);
    progress->cancel();
  }));
  EXPECT_EQ(messages_.Texts(), Texts{"打印已取消"});
  EXPECT_FALSE(fs::exists(pdf));

  SetText(*dialog, "columnsEdit", "4");
  Click(*dialog, "exportButton");
  EXPECT_EQ(messages_.Texts().back(), "模板导出完成");
  SetText(*dialog, "columnsEdit", "2");
  Click(*dialog, "saveButton");
  Click(*dialog, "importButton");
  EXPECT_EQ(messages_.Texts().back(), "模板导入完成");
  EXPECT_EQ(Text(*dialog, "columnsEdit"), "4");
}

TEST_F(LabelPrintDialogTest, ATemplateThatCouldNotBeReadIsNeverSavedOverTheStoredOne) {
  {
    store::Database db = Open();
    labels::LabelTemplate label = labels::LoadTemplate(db, "货架签");
    label.fields[labels::kGoodsName].cx = 100;
    label.settings.columns = 2;
    labels::SaveTemplate(db, label);
  }
  const std::string stored = RowsOf("select * from labeltemplate order by rowid");
  std::unique_ptr<ui::LabelPrintDialog> dialog;
  {
    // Another program holds the database while the designer opens: the read fails.
    store::Database other = Open();
    other.ExecScript("begin exclusive");
    dialog = OpenDialog();
    other.ExecScript("rollback");
  }
  EXPECT_EQ(messages_.Texts(), Texts{"模板读取有误"});
  const fs::path pdf = SetUpRun(*dialog, "标签纸", 1, 1);
  Click(*dialog, "printButton");
  Click(*dialog, "saveButton");
  Click(*dialog, "exportButton");
  EXPECT_EQ(RowsOf("select * from labeltemplate order by rowid"), stored);
  EXPECT_FALSE(fs::exists(pdf));
  EXPECT_EQ(messages_.Texts().back(), "模板读取有误,模板没有保存");
  // Choosing the kinds again reads them, settings included.
  Find<QComboBox>(*dialog, "labelKindCombo")->setCurrentText("商品签");
  Find<QComboBox>(*dialog, "labelKindCombo")->setCurrentText("货架签");
  EXPECT_EQ(dialog->canvas()->label().fields[labels::kGoodsName].cx, 100);
  EXPECT_EQ(Text(*dialog, "columnsEdit"), "2");
}

TEST_F(LabelPrintDialogTest, PrintedPdfLabelsScanAndCarryTheirDigitsAsText) {
  auto dialog = OpenDialog();
  const fs::path shelf = SetUpRun(*dialog, "标签纸", 1, 1);
  Click(*dialog, "printButton");
  EXPECT_EQ(messages_.Texts().size(), 1);
  store::Database db = Open();
  const auto goods = labels::LoadLabelGoods(db, {"6901234567892"});
  const fs::path goods_label = dir() / "goods.pdf";
  ui::PrintTemplateLabels(labels::LoadTemplate(db, "商品签"), goods,
                          QString::fromStdString(goods_label.string()));
  const fs::path simple = dir() / "simple.pdf";
  ui::PrintSimpleLabels("商品签", goods, QString::fromStdString(simple.string()));
  for (const fs::path& pdf : {shelf, goods_label, simple}) {
    EXPECT_EQ(DecodeCode128(PdfPageImage(pdf, 300)), std::vector<std::string>{"6901234567892"})
        << pdf.filename();
    EXPECT_NE(PdfText(pdf).find("6901234567892"), std::string::npos) << pdf.filename();
  }
}

}  // namespace

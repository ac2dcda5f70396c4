#include "ui/labels/LabelPrintDialog.h"

#include <QListWidgetItem>
#include <QPrinterInfo>
#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/labels/print_queue.h"
#include "core/labels/template_exchange.h"
#include "core/lookups/numbers.h"
#include "core/store/database.h"
#include "ui/common/MessageBox.h"
#include "ui/devices/PrinterChoice.h"
#include "ui/labels/BarcodePrintDialog.h"
#include "ui/labels/LabelCanvas.h"
#include "ui/labels/LabelJobRunner.h"
#include "ui/labels/LabelSizeDialog.h"
#include "ui/labels/RangeSelectDialog.h"
#include "ui_LabelPrintDialog.h"

namespace ui {
namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

QString Number(double value) { return QString::number(value, 'g', 10); }

// A combo box shows the text, added to its list when missing.
void ShowInCombo(QComboBox* combo, const QString& text) {
  if (combo->findText(text) < 0) combo->addItem(text);
  combo->setCurrentText(text);
}

// A typed whole number of a setting; text that is not a number reads as 0, and a number past
// what an int holds as the nearest one, which the template's limits then refuse.
int TypedInt(const QLineEdit* edit) {
  const double typed = kasso::ParseNumber(kasso::Trim(edit->text().toStdString()));
  return static_cast<int>(std::clamp(std::trunc(typed), double{std::numeric_limits<int>::min()},
                                     double{std::numeric_limits<int>::max()}));
}
double TypedNumber(const QLineEdit* edit) {
  return kasso::ParseNumber(kasso::Trim(edit->text().toStdString()));
}
bool IsTypedNumber(const QLineEdit* edit) {
  return lookups::IsPlainNumber(kasso::Trim(edit->text().toStdString()));
}

}  // namespace

LabelPrintDialog::LabelPrintDialog(QWidget* parent, [[maybe_unused]] const QString& workno)
    : QDialog(parent), ui_(std::make_unique<Ui::LabelPrintDialog>()), canvas_(new LabelCanvas) {
  ui_->setupUi(this);
  ui_->canvasScroll->setWidget(canvas_);
  ui_->canvasScroll->setWidgetResizable(false);
  for (int mm = 10; mm <= 170; mm += 10) ui_->fieldLengthCombo->addItem(QString::number(mm));
  for (const labels::FieldInfo& field : labels::kFields) {
    auto* item = new QListWidgetItem(field.list_caption, ui_->itemList);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Checked);
  }
  OfferPrinters(ui_->printerCombo, "标签");
  try {
    store::Database db;
    for (const std::string& name : labels::ListGoodsClasses(db))
      ui_->classCombo->addItem(Text(name));
  } catch (const store::DbError&) {
    // No classes to offer; printing by class then asks for one.
  }

  connect(ui_->labelKindCombo, &QComboBox::currentTextChanged, this,
          &LabelPrintDialog::OnKindChanged);
  connect(ui_->boxesCheck, &QCheckBox::toggled, canvas_, &LabelCanvas::SetShowBoxes);
  connect(ui_->printTitleCheck, &QCheckBox::toggled, canvas_, &LabelCanvas::SetPrintTitle);
  connect(canvas_, &LabelCanvas::FieldSelected, this, &LabelPrintDialog::ShowSelectedField);
  connect(ui_->fontSizeCombo, &QComboBox::currentTextChanged, this, [this](const QString& size) {
    if (!loading_) canvas_->SetSelectedFontSize(size.toStdString());
  });
  connect(ui_->fieldLengthCombo, &QComboBox::currentTextChanged, this, [this](const QString& mm) {
    if (!loading_) canvas_->SetSelectedLength(mm.toInt());
  });
  connect(ui_->itemList, &QListWidget::itemChanged, this, &LabelPrintDialog::OnItemChanged);
  connect(ui_->paperCombo, &QComboBox::currentTextChanged, this,
          &LabelPrintDialog::UpdatePaperControls);
  connect(ui_->sizeButton, &QPushButton::clicked, this, &LabelPrintDialog::OnSize);
  connect(ui_->rangeButton, &QPushButton::clicked, this, &LabelPrintDialog::OnRange);
  connect(ui_->simplePrintButton, &QPushButton::clicked, this, &LabelPrintDialog::OnSimplePrint);
  connect(ui_->saveButton, &QPushButton::clicked, this, &LabelPrintDialog::OnSave);
  connect(ui_->exportButton, &QPushButton::clicked, this, &LabelPrintDialog::OnExport);
  connect(ui_->importButton, &QPushButton::clicked, this, &LabelPrintDialog::OnImport);
  connect(ui_->printButton, &QPushButton::clicked, this, &LabelPrintDialog::OnPrint);
  connect(ui_->exitButton, &QPushButton::clicked, this, &LabelPrintDialog::reject);

  LoadKind(ui_->labelKindCombo->currentText().toStdString(), true);
}

LabelPrintDialog::~LabelPrintDialog() = default;

void LabelPrintDialog::LoadKind(const std::string& kind, bool with_settings) {
  labels::LabelTemplate label;
  bool read = true;
  try {
    store::Database db;
    label = labels::LoadTemplate(db, kind);
  } catch (const store::DbError&) {
    ui::ShowMessage(this, "模板读取有误");
    label.labelkind = kind;
    read = false;
  }
  // The defaults shown after a failed read are not the shop's template: never save them.
  kind_read_ = read;
  if (with_settings) settings_read_ = read;
  if (with_settings) ShowSettings(label.settings);
  label.settings.printtitle = ui_->printTitleCheck->isChecked();
  canvas_->SetTemplate(label);
  loading_ = true;
  for (int key = 0; key < labels::kFieldCount; ++key) {
    ui_->itemList->item(key)->setCheckState(
        label.fields[static_cast<size_t>(key)].visible ? Qt::Checked : Qt::Unchecked);
  }
  loading_ = false;
  ShowSizeCaption();
}

void LabelPrintDialog::ShowSettings(const labels::PrintSettings& s) {
  ShowInCombo(ui_->printerCombo, Text(s.printername));
  ui_->paperCombo->setCurrentText(Text(s.paperkind));
  ui_->repeatEdit->setText(QString::number(s.repeat));
  ui_->columnsEdit->setText(QString::number(s.columns));
  ui_->betweenSpaceEdit->setText(Number(s.betweenspace));
  ui_->leftSpaceEdit->setText(Number(s.leftspace));
  ui_->topSpaceEdit->setText(Number(s.topspace));
  ui_->lineSpaceEdit->setText(Number(s.linebetweenspace));
  ui_->printTitleCheck->setChecked(s.printtitle);
  if (!s.classname.empty()) ShowInCombo(ui_->classCombo, Text(s.classname));
  ui_->byClassRadio->setChecked(s.printkind == labels::kByClass);
  ui_->byImportRadio->setChecked(s.printkind == labels::kByPurchaseBill);
  ui_->byRangeRadio->setChecked(s.printkind == labels::kBySelection);
  ui_->byBarcodeRadio->setChecked(s.printkind != labels::kByClass &&
                                  s.printkind != labels::kByPurchaseBill &&
                                  s.printkind != labels::kBySelection);
  UpdatePaperControls();
}

labels::LabelTemplate LabelPrintDialog::CurrentTemplate() const {
  labels::LabelTemplate label = canvas_->label();
  labels::PrintSettings& s = label.settings;
  s.paperkind = ui_->paperCombo->currentText().toStdString();
  s.printername = ui_->printerCombo->currentText().trimmed().toStdString();
  s.columns = TypedInt(ui_->columnsEdit);
  s.repeat = TypedInt(ui_->repeatEdit);
  s.betweenspace = TypedNumber(ui_->betweenSpaceEdit);
  s.leftspace = TypedNumber(ui_->leftSpaceEdit);
  s.topspace = TypedNumber(ui_->topSpaceEdit);
  s.linebetweenspace = TypedNumber(ui_->lineSpaceEdit);
  s.printtitle = ui_->printTitleCheck->isChecked();
  s.classname = ui_->classCombo->currentText().toStdString();
  s.printkind = ui_->byClassRadio->isChecked()    ? labels::kByClass
                : ui_->byImportRadio->isChecked() ? labels::kByPurchaseBill
                : ui_->byRangeRadio->isChecked()  ? labels::kBySelection
                                                  : labels::kByBarcode;
  return label;
}

void LabelPrintDialog::ShowSelectedField(int key) {
  loading_ = true;
  const bool any = key >= 0;
  ui_->fieldNameLabel->setText(any ? labels::kFields[static_cast<size_t>(key)].tempname : "");
  if (any) {
    const labels::TemplateField& field = canvas_->label().fields[static_cast<size_t>(key)];
    ui_->fontSizeCombo->setCurrentText(Text(field.fontsize));
    ShowInCombo(ui_->fieldLengthCombo, QString::number(field.itemwidth));
  }
  ui_->fontSizeCombo->setEnabled(any);
  ui_->fieldLengthCombo->setEnabled(any);
  loading_ = false;
}

void LabelPrintDialog::ShowSizeCaption() {
  ui_->sizeButton->setText(
      QString("%1×%2mm").arg(canvas_->label().labelwidth).arg(canvas_->label().labelheight));
}

void LabelPrintDialog::UpdatePaperControls() {
  // Top margin and row gap matter only on A4 sheets; a roll page is one row.
  const bool a4 = ui_->paperCombo->currentText() == labels::kA4Paper;
  ui_->topSpaceEdit->setEnabled(a4);
  ui_->lineSpaceEdit->setEnabled(a4);
}

void LabelPrintDialog::OnKindChanged() {
  // Settings that could not be read are tried again with the kind.
  LoadKind(ui_->labelKindCombo->currentText().toStdString(), !settings_read_);
}

void LabelPrintDialog::OnItemChanged(QListWidgetItem* item) {
  if (loading_) return;
  canvas_->SetFieldVisible(ui_->itemList->row(item), item->checkState() == Qt::Checked);
}

void LabelPrintDialog::OnSize() {
  LabelSizeDialog size(this, canvas_->label().labelwidth, canvas_->label().labelheight);
  if (size.exec() != QDialog::Accepted) return;
  canvas_->SetLabelSize(size.widthMm(), size.heightMm());
  ShowSizeCaption();
}

void LabelPrintDialog::OnRange() {
  ui_->byRangeRadio->setChecked(true);
  RangeSelectDialog range(this);
  range.exec();
}

void LabelPrintDialog::OnSimplePrint() {
  BarcodePrintDialog simple(this);
  simple.exec();
}

bool LabelPrintDialog::SaveShown() {
  if (!kind_read_ || !settings_read_) {
    ui::ShowMessage(this, "模板读取有误,模板没有保存");
    return false;
  }
  try {
    store::Database db;
    labels::SaveTemplate(db, CurrentTemplate());
  } catch (const kasso::UserError& error) {
    ui::ShowMessage(this, Text(error.what()));
    return false;
  } catch (const store::DbError&) {
    ui::ShowMessage(this, "数据库有误,模板没有保存");
    return false;
  }
  return true;
}

void LabelPrintDialog::OnSave() {
  if (SaveShown()) ui::ShowMessage(this, "模板保存完成");
}

void LabelPrintDialog::OnExport() {
  if (!SaveShown()) return;
  try {
    store::Database db;
    labels::ExportTemplates(db);
  } catch (const kasso::UserError& error) {
    ui::ShowMessage(this, Text(error.what()));
    return;
  } catch (const store::DbError&) {
    ui::ShowMessage(this, "数据库有误,模板没有导出");
    return;
  }
  ui::ShowMessage(this, "模板导出完成");
}

void LabelPrintDialog::OnImport() {
  try {
    store::Database db;
    labels::ImportTemplates(db);
  } catch (const kasso::UserError& error) {
    ui::ShowMessage(this, Text(error.what()));
    return;
  } catch (const store::DbError&) {
    ui::ShowMessage(this, "数据库有误,模板没有导入");
    return;
  }
  LoadKind(ui_->labelKindCombo->currentText().toStdString(), true);
  ui::ShowMessage(this, "模板导入完成");
}

void LabelPrintDialog::OnPrint() {
  // Counts that are not numbers are asked for before the template is stored with them.
  if (!IsTypedNumber(ui_->repeatEdit) || !IsTypedNumber(ui_->columnsEdit)) {
    ui::ShowMessage(this, IsTypedNumber(ui_->repeatEdit) ? "请录入一行几列" : "请录入重复打印张数");
    return;
  }
  if (!SaveShown()) return;
  const labels::LabelTemplate label = CurrentTemplate();
  const labels::PrintSettings& s = label.settings;
  const std::string barcode = kasso::Trim(ui_->barcodeEdit->text().toStdString());
  const char* refusal = nullptr;
  if (s.printername.empty()) {
    refusal = "请选择打印机";
  } else if (s.paperkind.empty()) {
    refusal = "请选择用纸";
  } else if (s.printkind == labels::kByBarcode && barcode.empty()) {
    refusal = "请录入条码";
  } else if (s.printkind == labels::kByClass && s.classname.empty()) {
    refusal = "请选择类别";
  }
  if (refusal) {
    ui::ShowMessage(this, refusal);
    return;
  }
  std::vector<labels::LabelGoods> goods;
  int pages = 0;
  try {
    {
      store::Database db;
      labels::FillPrintQueue(db, {s.printkind, barcode, s.classname, s.repeat});
      goods = labels::LoadPrintQueue(db);
    }
    pages = TemplateRunPages(label, static_cast<int>(goods.size()));
  } catch (const kasso::UserError& error) {
    ui::ShowMessage(this, Text(error.what()));
    return;
  } catch (const store::DbError&) {
    ui::ShowMessage(this, "数据库有误,标签没有打印");
    return;
  }
  const QString printer = Text(s.printername);
  const std::optional<JobOutcome> outcome =
      RunLabelJob(this, ui_->statusLabel, pages, [&](const PageProgress& progress) {
        return PrintTemplateLabels(label, goods, printer, progress);
      });
  if (outcome && !outcome->cancelled) ui::ShowMessage(this, PrintedToText(printer));
}

}  // namespace ui

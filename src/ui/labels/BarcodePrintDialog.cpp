#include "ui/labels/BarcodePrintDialog.h"

#include <QPrinterInfo>
#include <string>
#include <vector>

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/labels/label_template.h"
#include "core/labels/print_queue.h"
#include "core/labels/simple_labels.h"
#include "core/store/database.h"
#include "ui/common/MessageBox.h"
#include "ui/devices/PrinterChoice.h"
#include "ui/labels/LabelJobRunner.h"
#include "ui_BarcodePrintDialog.h"

namespace ui {

BarcodePrintDialog::BarcodePrintDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::BarcodePrintDialog>()) {
  ui_->setupUi(this);
  OfferPrinters(ui_->printerCombo, "标签");
  ui_->printerCombo->setCurrentText(QPrinterInfo::defaultPrinterName());
  connect(ui_->printButton, &QPushButton::clicked, this, &BarcodePrintDialog::OnPrint);
  connect(ui_->exitButton, &QPushButton::clicked, this, &BarcodePrintDialog::reject);
  connect(ui_->classCombo, &QComboBox::activated, this,
          [this] { ui_->byClassRadio->setChecked(true); });
  connect(ui_->barcodeEdit, &QLineEdit::textEdited, this,
          [this] { ui_->byBarcodeRadio->setChecked(true); });
  LoadClasses();
}

BarcodePrintDialog::~BarcodePrintDialog() = default;

void BarcodePrintDialog::LoadClasses() {
  std::unique_ptr<store::Database> db;
  try {
    db = std::make_unique<store::Database>();
  } catch (const store::DbError&) {
    ui::ShowMessage(this, "初始化有误");
    return;
  }
  try {
    for (const std::string& name : labels::ListGoodsClasses(*db)) {
      ui_->classCombo->addItem(QString::fromStdString(name));
    }
  } catch (const store::DbError&) {
    ui::ShowMessage(this, "类别有误");
  }
}

void BarcodePrintDialog::OnPrint() {
  const QString printer = ui_->printerCombo->currentText().trimmed();
  const std::string barcode = common::Trim(ui_->barcodeEdit->text().toStdString());
  const std::string classname = ui_->classCombo->currentText().toStdString();
  labels::SimpleSource source = labels::SimpleSource::kBarcode;
  if (ui_->byClassRadio->isChecked()) source = labels::SimpleSource::kClass;
  if (ui_->byImportRadio->isChecked()) source = labels::SimpleSource::kPurchaseBill;
  if (printer.isEmpty()) {
    ui::ShowMessage(this, "请选择打印机");
    return;
  }
  if (source == labels::SimpleSource::kBarcode && barcode.empty()) {
    ui::ShowMessage(this, "请录入条码");
    ui_->barcodeEdit->setFocus();
    return;
  }
  if (source == labels::SimpleSource::kClass && classname.empty()) {
    ui::ShowMessage(this, "请选择类别");
    return;
  }
  const std::string kind =
      ui_->shelfLabelRadio->isChecked() ? labels::kShelfLabel : labels::kGoodsLabel;
  std::vector<labels::LabelGoods> goods;
  try {
    store::Database db;
    goods = labels::CollectSimpleLabels(
        db, kind, source, source == labels::SimpleSource::kClass ? classname : barcode);
  } catch (const common::UserError& error) {
    ui::ShowMessage(this, QString::fromStdString(error.what()));
    return;
  } catch (const store::DbError&) {
    ui::ShowMessage(this, "数据库有误,标签没有打印");
    return;
  }
  const std::optional<JobOutcome> outcome =
      RunLabelJob(this, ui_->statusLabel, SimpleRunPages(kind, static_cast<int>(goods.size())),
                  [&](const PageProgress& progress) {
                    return PrintSimpleLabels(kind, goods, printer, progress);
                  });
  if (outcome && !outcome->cancelled) ui::ShowMessage(this, PrintedToText(printer));
}

}  // namespace ui

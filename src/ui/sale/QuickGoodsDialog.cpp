#include "ui/sale/QuickGoodsDialog.h"

#include <QKeyEvent>

#include "core/common/error.h"
#include "core/sale/quick_goods.h"
#include "ui/common/MessageBox.h"
#include "ui_QuickGoodsDialog.h"

namespace ui {

QuickGoodsDialog::QuickGoodsDialog(QWidget* parent, const sale::QuickGoods& suggested)
    : QDialog(parent), ui_(std::make_unique<Ui::QuickGoodsDialog>()), barcode_(suggested.barcode) {
  ui_->setupUi(this);
  ui_->barcodeLabel->setText(QString("条码: %1").arg(QString::fromStdString(barcode_)));
  ui_->nameEdit->setText(QString::fromStdString(suggested.goodsname));
  ui_->priceEdit->setText(QString::fromStdString(suggested.price));
  ui_->nameEdit->installEventFilter(this);
  connect(ui_->okButton, &QPushButton::clicked, this, &QuickGoodsDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &QuickGoodsDialog::reject);
  ui_->nameEdit->setFocus();
  ui_->nameEdit->selectAll();
}

QuickGoodsDialog::~QuickGoodsDialog() = default;

void QuickGoodsDialog::OnConfirm() {
  try {
    sale::CheckQuickGoods(goods());
  } catch (const common::ValidationError& error) {
    ShowMessage(this, QString::fromStdString(error.what()));
    QLineEdit* field = error.field() == "name" ? ui_->nameEdit : ui_->priceEdit;
    field->setFocus();
    field->selectAll();
    return;
  }
  accept();
}

sale::QuickGoods QuickGoodsDialog::goods() const {
  return sale::QuickGoods{barcode_, ui_->nameEdit->text().toStdString(),
                          ui_->priceEdit->text().toStdString()};
}

bool QuickGoodsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->nameEdit && event->type() == QEvent::KeyPress) {
    int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // Enter after the name goes to the price, ready to be typed over.
      ui_->priceEdit->setFocus();
      ui_->priceEdit->selectAll();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace ui

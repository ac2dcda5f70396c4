#include "ui/sale/PriceEntryDialog.h"

#include <QKeyEvent>

#include "core/common/error.h"
#include "core/sale/quick_goods.h"
#include "ui/common/MessageBox.h"
#include "ui_PriceEntryDialog.h"

namespace ui {

PriceEntryDialog::PriceEntryDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::PriceEntryDialog>()) {
  ui_->setupUi(this);
  ui_->priceEdit->installEventFilter(this);
  connect(ui_->okButton, &QPushButton::clicked, this, &PriceEntryDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &PriceEntryDialog::reject);
  ui_->priceEdit->setFocus();
}

PriceEntryDialog::~PriceEntryDialog() = default;

bool PriceEntryDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->priceEdit && event->type() == QEvent::KeyPress) {
    int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      // Enter moves on to the confirm button; a second Enter there confirms.
      ui_->okButton->setFocus();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void PriceEntryDialog::OnConfirm() {
  try {
    price_ = sale::CheckPriceEntry(ui_->priceEdit->text().toStdString());
  } catch (const common::UserError& error) {
    ui::ShowMessage(this, QString::fromUtf8(error.what()));
    ui_->priceEdit->setFocus();
    ui_->priceEdit->selectAll();
    return;
  }
  accept();
}

}  // namespace ui

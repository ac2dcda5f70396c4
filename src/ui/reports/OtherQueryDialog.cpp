#include "ui/reports/OtherQueryDialog.h"

#include "ui_OtherQueryDialog.h"

namespace ui {

OtherQueryDialog::OtherQueryDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::OtherQueryDialog>()) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  for (QPushButton* button :
       {ui_->purchaseButton, ui_->supplierReturnButton, ui_->stocktakeButton, ui_->depositButton,
        ui_->memberSalesButton, ui_->pointsReturnButton}) {
    connect(button, &QPushButton::clicked, this, [this, button] {
      chosen_ = button->text();
      accept();
    });
  }
  connect(ui_->exitButton, &QPushButton::clicked, this, &OtherQueryDialog::reject);
}

OtherQueryDialog::~OtherQueryDialog() = default;

std::optional<QString> OtherQueryDialog::Choose(QWidget* parent) {
  OtherQueryDialog dialog(parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.chosen();
}

}  // namespace ui

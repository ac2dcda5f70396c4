#include "ui/labels/LabelCountDialog.h"

#include "core/common/error.h"
#include "core/labels/batch_select.h"
#include "ui/common/MessageBox.h"
#include "ui_LabelCountDialog.h"

namespace ui {

LabelCountDialog::LabelCountDialog(QWidget* parent, int count)
    : QDialog(parent), ui_(std::make_unique<Ui::LabelCountDialog>()), count_(count) {
  ui_->setupUi(this);
  ui_->quantityEdit->setText(QString::number(count));
  ui_->quantityEdit->selectAll();
  connect(ui_->okButton, &QPushButton::clicked, this, &LabelCountDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &LabelCountDialog::reject);
  ui_->quantityEdit->setFocus();
}

LabelCountDialog::~LabelCountDialog() = default;

void LabelCountDialog::OnConfirm() {
  try {
    count_ = labels::CheckLabelCount(ui_->quantityEdit->text().toStdString());
  } catch (const common::UserError& error) {
    ui::ShowMessage(this, QString::fromStdString(error.what()));
    ui_->quantityEdit->setFocus();
    ui_->quantityEdit->selectAll();
    return;
  }
  accept();
}

}  // namespace ui

#include "ui/labels/LabelSizeDialog.h"

#include "core/common/error.h"
#include "core/labels/label_template.h"
#include "ui/common/MessageBox.h"
#include "ui_LabelSizeDialog.h"

namespace ui {

LabelSizeDialog::LabelSizeDialog(QWidget* parent, int width_mm, int height_mm)
    : QDialog(parent),
      ui_(std::make_unique<Ui::LabelSizeDialog>()),
      width_(width_mm),
      height_(height_mm) {
  ui_->setupUi(this);
  ui_->widthEdit->setText(QString::number(width_mm));
  ui_->heightEdit->setText(QString::number(height_mm));
  connect(ui_->okButton, &QPushButton::clicked, this, &LabelSizeDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &LabelSizeDialog::reject);
  ui_->widthEdit->setFocus();
}

LabelSizeDialog::~LabelSizeDialog() = default;

void LabelSizeDialog::OnConfirm() {
  try {
    const labels::LabelSize size = labels::CheckLabelSize(ui_->widthEdit->text().toStdString(),
                                                          ui_->heightEdit->text().toStdString());
    width_ = size.width;
    height_ = size.height;
  } catch (const common::ValidationError& error) {
    ui::ShowMessage(this, QString::fromStdString(error.what()));
    QLineEdit* field = error.field() == "height" ? ui_->heightEdit : ui_->widthEdit;
    field->setFocus();
    field->selectAll();
    return;
  }
  accept();
}

}  // namespace ui

#include "ui/app/AboutDialog.h"

#include <QPushButton>

#include "ui_AboutDialog.h"

namespace ui {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::AboutDialog>()) {
  ui_->setupUi(this);
  // Qt's standard button, so its caption comes from Qt's Chinese texts like every other one.
  ui_->buttonBox->button(QDialogButtonBox::Ok)->setObjectName("okButton");
  connect(ui_->buttonBox, &QDialogButtonBox::accepted, this, &AboutDialog::accept);
}

AboutDialog::~AboutDialog() = default;

}  // namespace ui

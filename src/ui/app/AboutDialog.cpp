#include "ui/app/AboutDialog.h"

#include "ui_AboutDialog.h"

namespace ui {

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::AboutDialog>()) {
  ui_->setupUi(this);
  connect(ui_->okButton, &QPushButton::clicked, this, &AboutDialog::accept);
}

AboutDialog::~AboutDialog() = default;

}  // namespace ui

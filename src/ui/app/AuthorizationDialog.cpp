#include "ui/app/AuthorizationDialog.h"

#include "core/app/startup.h"
#include "ui/common/MessageBox.h"
#include "ui_AuthorizationDialog.h"

namespace ui {

AuthorizationDialog::AuthorizationDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::AuthorizationDialog>()) {
  ui_->setupUi(this);
  connect(ui_->confirmButton, &QPushButton::clicked, this, &AuthorizationDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &AuthorizationDialog::reject);
  ui_->passwordEdit->setFocus();
}

AuthorizationDialog::~AuthorizationDialog() = default;

void AuthorizationDialog::OnConfirm() {
  if (app::CheckAuthorization(ui_->passwordEdit->text().toStdString())) {
    accept();
    return;
  }
  ui::ShowMessage(this, "密码有误");
  ui_->passwordEdit->selectAll();
  ui_->passwordEdit->setFocus();
}

bool Authorize(QWidget* parent) {
  AuthorizationDialog dialog(parent);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace ui

#include "ui/sale/MemberSelectDialog.h"

#include <QKeyEvent>

#include "core/common/error.h"
#include "core/sale/member_selection.h"
#include "ui/common/MessageBox.h"
#include "ui_MemberSelectDialog.h"

namespace ui {

MemberSelectDialog::MemberSelectDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::MemberSelectDialog>()) {
  ui_->setupUi(this);
  ui_->batchButton->hide();
  ui_->memberEdit->installEventFilter(this);
  ui_->passwordEdit->installEventFilter(this);
  connect(ui_->okButton, &QPushButton::clicked, this, &MemberSelectDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &MemberSelectDialog::reject);
  ui_->memberEdit->setFocus();
}

MemberSelectDialog::~MemberSelectDialog() = default;

bool MemberSelectDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (watched == ui_->memberEdit) {
        ui_->passwordEdit->setFocus();
        return true;
      }
      if (watched == ui_->passwordEdit) {
        ui_->okButton->setFocus();
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void MemberSelectDialog::OnConfirm() {
  try {
    member_id_ = QString::fromStdString(sale::CheckMemberSelection(
        ui_->memberEdit->text().toStdString(), ui_->passwordEdit->text().toStdString()));
  } catch (const common::ValidationError& error) {
    ui::ShowMessage(this, QString::fromUtf8(error.what()));
    QLineEdit* field = error.field() == "password" ? ui_->passwordEdit : ui_->memberEdit;
    field->setFocus();
    field->selectAll();
    return;
  } catch (const common::UserError& error) {
    ui::ShowMessage(this, QString::fromUtf8(error.what()));
    return;
  }
  accept();
}

}  // namespace ui

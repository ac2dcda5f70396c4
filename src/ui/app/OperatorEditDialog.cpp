#include "ui/app/OperatorEditDialog.h"

#include <QKeyEvent>
#include <optional>

#include "core/app/accounts.h"
#include "core/common/error.h"
#include "core/store/database.h"
#include "ui/common/MessageBox.h"
#include "ui_OperatorEditDialog.h"

namespace ui {

OperatorEditDialog::OperatorEditDialog(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::OperatorEditDialog>()) {
  SetUp();
  // Most new accounts are for cashiers; a manager is chosen on purpose.
  ui_->dutyCombo->setCurrentText(app::kCashierDuty);
  ui_->worknoEdit->setFocus();
}

OperatorEditDialog::OperatorEditDialog(QWidget* parent, const QString& workno)
    : QDialog(parent), ui_(std::make_unique<Ui::OperatorEditDialog>()), modify_mode_(true) {
  SetUp();
  ui_->worknoEdit->setText(workno);
  ui_->worknoEdit->setEnabled(false);
  LoadAccount(workno);
  if (app::NormalizeWorkno(workno.toStdString()) == app::kBuiltInWorkno) {
    // The built-in account can only ever be a manager.
    ui_->dutyCombo->setCurrentText(app::kManagerDuty);
    ui_->dutyCombo->setEnabled(false);
  }
  ui_->nameEdit->setFocus();
}

OperatorEditDialog::~OperatorEditDialog() = default;

void OperatorEditDialog::SetUp() {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  ui_->dutyCombo->setCurrentIndex(-1);
  for (QWidget* control :
       {static_cast<QWidget*>(ui_->worknoEdit), static_cast<QWidget*>(ui_->nameEdit),
        static_cast<QWidget*>(ui_->passwordEdit), static_cast<QWidget*>(ui_->dutyCombo),
        static_cast<QWidget*>(ui_->confirmButton)}) {
    control->installEventFilter(this);
  }
  connect(ui_->confirmButton, &QPushButton::clicked, this, &OperatorEditDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &OperatorEditDialog::reject);
}

void OperatorEditDialog::LoadAccount(const QString& workno) {
  std::optional<app::OperatorRecord> account;
  try {
    account = app::LoadOperator(workno.toStdString());
  } catch (const store::DbError&) {
    // An unreadable database leaves the fields as they are.
  }
  if (!account) return;
  ui_->nameEdit->setText(QString::fromStdString(account->operatorname));
  ui_->passwordEdit->clear();
  ui_->passwordEdit->setPlaceholderText("不修改请留空");
  ui_->dutyCombo->setCurrentIndex(
      ui_->dutyCombo->findText(QString::fromStdString(account->operatorduty)));
}

bool OperatorEditDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  int key = static_cast<QKeyEvent*>(event)->key();
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return QDialog::eventFilter(watched, event);

  if (watched == ui_->confirmButton) {
    if (ui::AskYesNo(this, "保存?")) OnConfirm();
  } else if (watched == ui_->worknoEdit) {
    if (!modify_mode_) LoadAccount(ui_->worknoEdit->text());
    ui_->nameEdit->setFocus();
  } else if (watched == ui_->nameEdit) {
    ui_->passwordEdit->setFocus();
  } else if (watched == ui_->passwordEdit) {
    ui_->dutyCombo->setFocus();
  } else {
    focusNextChild();
  }
  return true;
}

void OperatorEditDialog::OnConfirm() {
  app::OperatorRecord account;
  account.workno = ui_->worknoEdit->text().toStdString();
  account.operatorname = ui_->nameEdit->text().toStdString();
  account.operatorpassword = ui_->passwordEdit->text().toStdString();
  account.operatorduty = ui_->dutyCombo->currentText().toStdString();
  try {
    app::SaveOperator(account, actor_.toStdString());
  } catch (const kasso::ValidationError& error) {
    ui::ShowMessage(this, QString::fromStdString(error.what()));
    FocusField(error.field());
    return;
  } catch (const kasso::UserError& error) {
    ui::ShowMessage(this, QString::fromStdString(error.what()));
    return;
  } catch (const store::DbError&) {
    // Nothing was written, so the user must not be told otherwise.
    ui::ShowMessage(this, "数据库有误，登陆账号没有保存");
    return;
  }
  accept();
}

void OperatorEditDialog::FocusField(const std::string& field) {
  QWidget* target = field == "workno"         ? static_cast<QWidget*>(ui_->worknoEdit)
                    : field == "operatorname" ? static_cast<QWidget*>(ui_->nameEdit)
                                              : static_cast<QWidget*>(ui_->dutyCombo);
  if (target->isEnabled()) target->setFocus();
}

}  // namespace ui

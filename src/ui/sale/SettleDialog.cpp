#include "ui/sale/SettleDialog.h"

#include <QKeyEvent>

#include "ui/sale/PaymentFieldsUi.h"
#include "ui_SettleDialog.h"

namespace ui {

SettleDialog::SettleDialog(QWidget* parent, double due)
    : QDialog(parent), ui_(std::make_unique<Ui::SettleDialog>()), questions_(this) {
  ui_->setupUi(this);
  ApplyPaymentFont(*this);
  form_.emplace(
      PaymentForm::Ordinary({ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit},
                            {ui_->dueValue, ui_->changeValue}, due, questions_));
  for (QLineEdit* edit : {ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit}) {
    edit->installEventFilter(this);
  }
  connect(ui_->okButton, &QPushButton::clicked, this, &SettleDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &SettleDialog::reject);
  ui_->cashEdit->setFocus();
  ui_->cashEdit->selectAll();
}

SettleDialog::~SettleDialog() = default;

bool SettleDialog::eventFilter(QObject* watched, QEvent* event) {
  if (form_ && RoutePaymentKey(watched, event, *form_, [this] { OnConfirm(); })) return true;
  return QDialog::eventFilter(watched, event);
}

void SettleDialog::OnConfirm() {
  sale::SettleCheck check = form_->Confirm();
  if (!check.accepted) {
    FocusForRetry(check, form_->edits());
    return;
  }
  payment_ = check.payment;
  accept();
}

}  // namespace ui

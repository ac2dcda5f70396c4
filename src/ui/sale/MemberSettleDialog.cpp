#include "ui/sale/MemberSettleDialog.h"

#include <QKeyEvent>

#include "ui/sale/PaymentFieldsUi.h"
#include "ui_MemberSettleDialog.h"

namespace ui {

MemberSettleDialog::MemberSettleDialog(QWidget* parent, double due, const QString& memberid)
    : QDialog(parent), ui_(std::make_unique<Ui::MemberSettleDialog>()), questions_(this) {
  ui_->setupUi(this);
  ApplyPaymentFont(*this);
  form_.emplace(
      PaymentForm::Member({ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit},
                          {ui_->dueValue, ui_->changeValue, ui_->storedValue, ui_->remainingValue},
                          due, memberid.toStdString(), QStringLiteral("0"), questions_));
  for (QLineEdit* edit : {ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit}) {
    edit->installEventFilter(this);
  }
  connect(ui_->okButton, &QPushButton::clicked, this, &MemberSettleDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &MemberSettleDialog::reject);
  ui_->cashEdit->setFocus();
  ui_->cashEdit->selectAll();
}

MemberSettleDialog::~MemberSettleDialog() = default;

bool MemberSettleDialog::eventFilter(QObject* watched, QEvent* event) {
  if (form_ && RoutePaymentKey(watched, event, *form_, [this] { OnConfirm(); })) return true;
  return QDialog::eventFilter(watched, event);
}

void MemberSettleDialog::OnConfirm() {
  sale::SettleCheck check = form_->Confirm();
  if (!check.accepted) {
    FocusForRetry(check, form_->edits());
    return;
  }
  payment_ = check.payment;
  accept();
}

}  // namespace ui

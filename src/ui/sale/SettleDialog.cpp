#include "ui/sale/SettleDialog.h"

#include <QKeyEvent>

#include "core/servicelib/kasso_basic.h"
#include "ui/common/MessageBox.h"
#include "ui/common/Numbers.h"
#include "ui/sale/PaymentFieldsUi.h"
#include "ui_SettleDialog.h"

namespace ui {

SettleDialog::SettleDialog(QWidget* parent, double due)
    : QDialog(parent), ui_(std::make_unique<Ui::SettleDialog>()), due_(due), questions_(this) {
  ui_->setupUi(this);
  ApplyPaymentFont(*this);
  ui_->dueValue->setText(ui::FormatMoney(due_));
  ui_->cashEdit->setText(ui::FormatMoney(due_));
  for (QLineEdit* edit : {ui_->allowanceEdit, ui_->chequeEdit, ui_->cardEdit}) {
    edit->setText(QStringLiteral("0.00"));
  }
  ui_->changeValue->setText(QStringLiteral("0.00"));
  for (QLineEdit* edit : {ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit}) {
    edit->installEventFilter(this);
  }
  connect(ui_->okButton, &QPushButton::clicked, this, &SettleDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &SettleDialog::reject);
  ui_->cashEdit->setFocus();
  ui_->cashEdit->selectAll();
}

SettleDialog::~SettleDialog() = default;

PaymentEdits SettleDialog::Edits() const {
  return {ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit};
}

sale::PaymentFields SettleDialog::Fields() const {
  return sale::FieldsWhileTyping(ReadPaymentTexts(Edits()));
}

bool SettleDialog::eventFilter(QObject* watched, QEvent* event) {
  const PaymentKeyActions actions{[this] { OnAllowanceTyped(); }, [this] { OnTenderTyped(); },
                                  [this] { OnAllowanceEnter(); }, [this] { OnConfirm(); }};
  if (RoutePaymentKey(watched, event, ui_->allowanceEdit,
                      {ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit}, actions)) {
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void SettleDialog::OnAllowanceTyped() {
  const double allowance = ReadAmount(*ui_->allowanceEdit);
  if (std::string refused = sale::CheckRefundAllowance(due_, allowance); !refused.empty()) {
    questions_.Message(refused);
    return;
  }
  ui_->cashEdit->setText(ui::FormatMoney(sale::CashAfterAllowance(due_, allowance)));
  ui_->changeValue->setText(QStringLiteral("0.00"));
}

void SettleDialog::OnTenderTyped() {
  ui_->changeValue->setText(ui::FormatMoney(sale::OrdinaryChange(due_, Fields())));
}

void SettleDialog::OnAllowanceEnter() {
  std::string refused = sale::CheckAllowanceEntry(due_, ReadAmount(*ui_->allowanceEdit));
  if (!refused.empty()) {
    questions_.Message(refused);
    ui_->allowanceEdit->setFocus();
    return;
  }
  ui_->cashEdit->setFocus();
  ui_->cashEdit->selectAll();
}

void SettleDialog::OnConfirm() {
  sale::SettleCheck check =
      sale::ConfirmOrdinaryPayment(due_, ReadPaymentTexts(Edits()), questions_);
  if (!check.accepted) {
    FocusForRetry(check, Edits());
    return;
  }
  payment_ = check.payment;
  accept();
}

}  // namespace ui

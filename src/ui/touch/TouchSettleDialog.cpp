#include "ui/touch/TouchSettleDialog.h"

#include "ui/common/Numbers.h"
#include "ui/sale/PaymentFieldsUi.h"
#include "ui/touch/TouchKeypad.h"
#include "ui/touch/TouchPads.h"
#include "ui_TouchSettleDialog.h"

namespace ui {

TouchSettleDialog::TouchSettleDialog(QWidget* parent, double due)
    : QDialog(parent), ui_(std::make_unique<Ui::TouchSettleDialog>()), due_(due), questions_(this) {
  ui_->setupUi(this);
  ui_->keypad->SetExtraKeys({QStringLiteral(".")});
  ui_->dueValue->setText(FormatMoney(due_));
  ui_->cashEdit->setText(FormatMoney(due_));
  for (QLineEdit* box : {ui_->allowanceEdit, ui_->chequeEdit, ui_->cardEdit}) {
    box->setText(QStringLiteral("0.00"));
  }
  ui_->changeValue->setText(QStringLiteral("0.00"));
  boxes_ = new TouchBoxes(this, {ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit},
                          *ui_->keypad);
  boxes_->Activate(ui_->cashEdit);
  ApplyPadLook(*this);
  connect(boxes_, &TouchBoxes::Changed, this, &TouchSettleDialog::OnTyped);
  connect(ui_->okButton, &QPushButton::clicked, this, &TouchSettleDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &TouchSettleDialog::reject);
}

TouchSettleDialog::~TouchSettleDialog() = default;

void TouchSettleDialog::OnTyped(QLineEdit* box) {
  const PaymentEdits edits{ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit};
  if (box == ui_->allowanceEdit) {
    // As the keyboard's dialog: the cash follows the allowance.
    const double allowance = ReadAmount(*ui_->allowanceEdit);
    if (std::string refused = sale::CheckRefundAllowance(due_, allowance); !refused.empty()) {
      questions_.Message(refused);
      return;
    }
    ui_->cashEdit->setText(FormatMoney(sale::CashAfterAllowance(due_, allowance)));
    ui_->changeValue->setText(QStringLiteral("0.00"));
    return;
  }
  const sale::PaymentFields fields = sale::FieldsWhileTyping(ReadPaymentTexts(edits));
  ui_->changeValue->setText(FormatMoney(sale::OrdinaryChange(due_, fields)));
}

void TouchSettleDialog::OnConfirm() {
  const PaymentEdits edits{ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit};
  sale::SettleCheck check = sale::ConfirmOrdinaryPayment(due_, ReadPaymentTexts(edits), questions_);
  if (!check.accepted) {
    boxes_->Activate(RetryBox(check, edits));
    return;
  }
  payment_ = check.payment;
  accept();
}

}  // namespace ui

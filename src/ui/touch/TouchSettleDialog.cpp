#include "ui/touch/TouchSettleDialog.h"

#include "ui/sale/PaymentFieldsUi.h"
#include "ui/touch/TouchKeypad.h"
#include "ui/touch/TouchPads.h"
#include "ui_TouchSettleDialog.h"

namespace ui {

TouchSettleDialog::TouchSettleDialog(QWidget* parent, double due)
    : QDialog(parent), ui_(std::make_unique<Ui::TouchSettleDialog>()), questions_(this) {
  ui_->setupUi(this);
  ui_->keypad->SetExtraKeys({QStringLiteral(".")});
  form_.emplace(
      PaymentForm::Ordinary({ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit},
                            {ui_->dueValue, ui_->changeValue}, due, questions_));
  boxes_ = OpenPaymentBoxes(*this, *form_, *ui_->keypad);
  connect(ui_->okButton, &QPushButton::clicked, this, &TouchSettleDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &TouchSettleDialog::reject);
}

TouchSettleDialog::~TouchSettleDialog() = default;

void TouchSettleDialog::OnConfirm() {
  if (std::optional<sale::Payment> payment = ConfirmPayment(*form_, *boxes_)) {
    payment_ = payment;
    accept();
  }
}

}  // namespace ui

#include "ui/touch/TouchMemberSettleDialog.h"

#include "ui/sale/PaymentFieldsUi.h"
#include "ui/touch/TouchKeypad.h"
#include "ui/touch/TouchPads.h"
#include "ui_TouchMemberSettleDialog.h"

namespace ui {

TouchMemberSettleDialog::TouchMemberSettleDialog(QWidget* parent, double due,
                                                 const QString& memberid)
    : QDialog(parent), ui_(std::make_unique<Ui::TouchMemberSettleDialog>()), questions_(this) {
  ui_->setupUi(this);
  ui_->keypad->SetExtraKeys({QStringLiteral(".")});
  form_.emplace(
      PaymentForm::Member({ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit},
                          {ui_->dueValue, ui_->changeValue, ui_->storedValue, ui_->remainingValue},
                          due, memberid.toStdString(), QStringLiteral("0.00"), questions_));
  boxes_ = OpenPaymentBoxes(*this, *form_, *ui_->keypad);
  connect(ui_->okButton, &QPushButton::clicked, this, &TouchMemberSettleDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &TouchMemberSettleDialog::reject);
}

TouchMemberSettleDialog::~TouchMemberSettleDialog() = default;

void TouchMemberSettleDialog::OnConfirm() {
  if (std::optional<sale::Payment> payment = ConfirmPayment(*form_, *boxes_)) {
    payment_ = payment;
    accept();
  }
}

}  // namespace ui

#include "ui/touch/TouchMemberSettleDialog.h"

#include "core/servicelib/kasso_basic.h"
#include "ui/common/Numbers.h"
#include "ui/sale/PaymentFieldsUi.h"
#include "ui/touch/TouchKeypad.h"
#include "ui/touch/TouchPads.h"
#include "ui_TouchMemberSettleDialog.h"

namespace ui {

TouchMemberSettleDialog::TouchMemberSettleDialog(QWidget* parent, double due,
                                                 const QString& memberid)
    : QDialog(parent),
      ui_(std::make_unique<Ui::TouchMemberSettleDialog>()),
      due_(due),
      deposit_(servicelib::GetMemberDepositValue(memberid.toStdString())),
      questions_(this) {
  ui_->setupUi(this);
  ui_->keypad->SetExtraKeys({QStringLiteral(".")});
  ui_->dueValue->setText(FormatMoney(due_));
  for (QLineEdit* box : {ui_->allowanceEdit, ui_->chequeEdit, ui_->cardEdit}) {
    box->setText(QStringLiteral("0.00"));
  }
  ui_->changeValue->setText(QStringLiteral("0.00"));
  ShowSplit(sale::MemberSplit(due_, deposit_));
  boxes_ = new TouchBoxes(this, {ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit},
                          *ui_->keypad);
  boxes_->Activate(ui_->cashEdit);
  ApplyPadLook(*this);
  connect(boxes_, &TouchBoxes::Changed, this, &TouchMemberSettleDialog::OnTyped);
  connect(ui_->okButton, &QPushButton::clicked, this, &TouchMemberSettleDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &TouchMemberSettleDialog::reject);
}

TouchMemberSettleDialog::~TouchMemberSettleDialog() = default;

sale::PaymentFields TouchMemberSettleDialog::Fields() const {
  sale::PaymentFields fields = sale::FieldsWhileTyping(
      ReadPaymentTexts({ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit}));
  fields.allowance = sale::MemberAllowance(fields.allowance);
  return fields;
}

void TouchMemberSettleDialog::ShowSplit(const sale::MemberAmounts& split) {
  split_ = split;
  ui_->storedValue->setText(FormatMoney(split.stored));
  ui_->remainingValue->setText(FormatMoney(split.remaining));
  ui_->cashEdit->setText(FormatMoney(split.remaining));
}

void TouchMemberSettleDialog::OnTyped(QLineEdit* box) {
  if (box == ui_->allowanceEdit) {
    const double allowance = Fields().allowance;
    if (std::string refused = sale::CheckMemberAllowance(due_, allowance); !refused.empty()) {
      questions_.Message(refused);
      return;
    }
    ShowSplit(sale::MemberSplit(due_ - allowance, deposit_));
  }
  ui_->changeValue->setText(FormatMoney(sale::MemberChange(split_.remaining, Fields())));
}

void TouchMemberSettleDialog::OnConfirm() {
  const PaymentEdits edits{ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit};
  sale::SettleCheck check =
      sale::ConfirmMemberPayment(due_, split_.stored, ReadPaymentTexts(edits), questions_);
  if (!check.accepted) {
    boxes_->Activate(RetryBox(check, edits));
    return;
  }
  payment_ = check.payment;
  accept();
}

}  // namespace ui

#include "ui/sale/MemberSettleDialog.h"

#include <QKeyEvent>

#include "core/servicelib/kasso_basic.h"
#include "ui/common/Numbers.h"
#include "ui/sale/PaymentFieldsUi.h"
#include "ui_MemberSettleDialog.h"

namespace ui {

MemberSettleDialog::MemberSettleDialog(QWidget* parent, double due, const QString& memberid)
    : QDialog(parent),
      ui_(std::make_unique<Ui::MemberSettleDialog>()),
      due_(due),
      deposit_(servicelib::GetMemberDepositValue(memberid.toStdString())),
      questions_(this) {
  ui_->setupUi(this);
  ApplyPaymentFont(*this);
  ui_->dueValue->setText(ui::FormatMoney(due_));
  ui_->allowanceEdit->setText(QStringLiteral("0.00"));
  ui_->chequeEdit->setText(QStringLiteral("0"));
  ui_->cardEdit->setText(QStringLiteral("0"));
  ui_->changeValue->setText(QStringLiteral("0"));
  ShowSplit(sale::MemberSplit(due_, deposit_));
  for (QLineEdit* edit : {ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit}) {
    edit->installEventFilter(this);
  }
  connect(ui_->okButton, &QPushButton::clicked, this, &MemberSettleDialog::OnConfirm);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &MemberSettleDialog::reject);
  ui_->cashEdit->setFocus();
  ui_->cashEdit->selectAll();
}

MemberSettleDialog::~MemberSettleDialog() = default;

PaymentEdits MemberSettleDialog::Edits() const {
  return {ui_->allowanceEdit, ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit};
}

sale::PaymentFields MemberSettleDialog::Fields() const {
  sale::PaymentFields fields = sale::FieldsWhileTyping(ReadPaymentTexts(Edits()));
  fields.allowance = sale::MemberAllowance(fields.allowance);
  return fields;
}

void MemberSettleDialog::ShowSplit(const sale::MemberAmounts& split) {
  split_ = split;
  ui_->storedValue->setText(ui::FormatMoney(split.stored));
  ui_->remainingValue->setText(ui::FormatMoney(split.remaining));
  ui_->cashEdit->setText(ui::FormatMoney(split.remaining));
}

bool MemberSettleDialog::eventFilter(QObject* watched, QEvent* event) {
  const PaymentKeyActions actions{[this] { OnAllowanceTyped(); }, [this] { OnTenderTyped(); },
                                  [this] {
                                    ui_->cashEdit->setFocus();
                                    ui_->cashEdit->selectAll();
                                  },
                                  [this] { OnConfirm(); }};
  if (RoutePaymentKey(watched, event, ui_->allowanceEdit,
                      {ui_->cashEdit, ui_->chequeEdit, ui_->cardEdit}, actions)) {
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void MemberSettleDialog::OnAllowanceTyped() {
  const double allowance = Fields().allowance;
  if (std::string refused = sale::CheckMemberAllowance(due_, allowance); !refused.empty()) {
    questions_.Message(refused);
    return;
  }
  ShowSplit(sale::MemberSplit(due_ - allowance, deposit_));
  OnTenderTyped();
}

void MemberSettleDialog::OnTenderTyped() {
  ui_->changeValue->setText(ui::FormatMoney(sale::MemberChange(split_.remaining, Fields())));
}

void MemberSettleDialog::OnConfirm() {
  sale::SettleCheck check =
      sale::ConfirmMemberPayment(due_, split_.stored, ReadPaymentTexts(Edits()), questions_);
  if (!check.accepted) {
    FocusForRetry(check, Edits());
    return;
  }
  payment_ = check.payment;
  accept();
}

}  // namespace ui

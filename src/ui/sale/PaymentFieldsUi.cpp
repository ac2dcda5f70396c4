#include "ui/sale/PaymentFieldsUi.h"

#include <QFont>
#include <QKeyEvent>

#include "core/serversync/shared_data.h"
#include "core/servicelib/kasso_basic.h"
#include "ui/common/Numbers.h"

namespace ui {

void ApplyPaymentFont(QDialog& dialog) {
  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(30);
  font.setBold(true);
  dialog.setFont(font);
}

sale::PaymentTexts ReadPaymentTexts(const PaymentEdits& edits) {
  return {edits.allowance->text().toStdString(), edits.cash->text().toStdString(),
          edits.cheque->text().toStdString(), edits.card->text().toStdString()};
}

namespace {

bool IsEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }
}  // namespace

bool RoutePaymentKey(const QObject* watched, const QEvent* event, PaymentForm& form,
                     const std::function<void()>& confirm) {
  const PaymentEdits& edits = form.edits();
  const bool is_allowance = watched == edits.allowance;
  const bool is_tender = watched == edits.cash || watched == edits.cheque || watched == edits.card;
  if (!is_allowance && !is_tender) return false;
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
  const bool enter = IsEnterKey(static_cast<const QKeyEvent*>(event)->key());
  if (event->type() == QEvent::KeyPress && enter) {
    if (is_tender) {
      confirm();
    } else if (form.AllowanceEntered()) {
      edits.cash->setFocus();
      edits.cash->selectAll();
    } else {
      edits.allowance->setFocus();
    }
    return true;
  }
  // Every other key is the field's own; the figures follow once it is released.
  if (event->type() == QEvent::KeyRelease && !enter) {
    if (is_allowance) {
      form.AllowanceTyped();
    } else {
      form.TenderTyped();
    }
  }
  return false;
}

PaymentForm PaymentForm::Ordinary(PaymentEdits edits, PaymentLabels labels, double due,
                                  sale::SaleUi& ui) {
  PaymentForm form(edits, labels, due, ui);
  labels.due->setText(FormatMoney(due));
  edits.cash->setText(FormatMoney(due));
  for (QLineEdit* edit : {edits.allowance, edits.cheque, edits.card}) {
    edit->setText(QStringLiteral("0.00"));
  }
  labels.change->setText(QStringLiteral("0.00"));
  return form;
}

PaymentForm PaymentForm::Member(PaymentEdits edits, PaymentLabels labels, double due,
                                const std::string& memberid, const QString& zero,
                                sale::SaleUi& ui) {
  PaymentForm form(edits, labels, due, ui);
  form.member_ = true;
  form.deposit_ = servicelib::GetMemberDepositValue(memberid);
  // Stored value is spent on the shop server: when it does not answer, the other tenders pay.
  if (form.deposit_ > 0 && !serversync::CanSpendStoredValue()) {
    form.deposit_ = 0;
    ui.Message(serversync::kOfflineStoredValueText);
  }
  labels.due->setText(FormatMoney(due));
  edits.allowance->setText(QStringLiteral("0.00"));
  edits.cheque->setText(zero);
  edits.card->setText(zero);
  labels.change->setText(zero);
  form.ShowSplit(sale::MemberSplit(due, form.deposit_));
  return form;
}

sale::PaymentFields PaymentForm::Fields() const {
  sale::PaymentFields fields = sale::FieldsWhileTyping(ReadPaymentTexts(edits_));
  if (member_) fields.allowance = sale::MemberAllowance(fields.allowance);
  return fields;
}

void PaymentForm::ShowSplit(const sale::MemberAmounts& split) {
  split_ = split;
  labels_.stored->setText(FormatMoney(split.stored));
  labels_.remaining->setText(FormatMoney(split.remaining));
  edits_.cash->setText(FormatMoney(split.remaining));
}

void PaymentForm::AllowanceTyped() {
  const double allowance = Fields().allowance;
  const std::string refused = member_ ? sale::CheckMemberAllowance(due_, allowance)
                                      : sale::CheckRefundAllowance(due_, allowance);
  if (!refused.empty()) {
    ui_->Message(refused);
    return;
  }
  if (member_) {
    ShowSplit(sale::MemberSplit(due_ - allowance, deposit_));
    TenderTyped();
    return;
  }
  edits_.cash->setText(FormatMoney(sale::CashAfterAllowance(due_, allowance)));
  labels_.change->setText(QStringLiteral("0.00"));
}

void PaymentForm::TenderTyped() {
  const double change = member_ ? sale::MemberChange(split_.remaining, Fields())
                                : sale::OrdinaryChange(due_, Fields());
  labels_.change->setText(FormatMoney(change));
}

bool PaymentForm::AllowanceEntered() {
  // The member dialog told its refusal while the allowance was typed.
  if (member_) return true;
  const std::string refused = sale::CheckAllowanceEntry(due_, Fields().allowance);
  if (refused.empty()) return true;
  ui_->Message(refused);
  return false;
}

sale::SettleCheck PaymentForm::Confirm() {
  const sale::PaymentTexts texts = ReadPaymentTexts(edits_);
  return member_ ? sale::ConfirmMemberPayment(due_, split_.stored, texts, *ui_)
                 : sale::ConfirmOrdinaryPayment(due_, texts, *ui_);
}

QLineEdit* RetryBox(const sale::SettleCheck& check, const PaymentEdits& edits) {
  if (check.retry == sale::RetryField::kAllowance) return edits.allowance;
  if (check.retry == sale::RetryField::kCheque) return edits.cheque;
  if (check.retry == sale::RetryField::kCard) return edits.card;
  return edits.cash;
}

void FocusForRetry(const sale::SettleCheck& check, const PaymentEdits& edits) {
  QLineEdit* retry = RetryBox(check, edits);
  retry->setFocus();
  retry->selectAll();
}

}  // namespace ui

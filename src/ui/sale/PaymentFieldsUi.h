#pragma once

// What the payment dialogs of both cashier screens share: their figures (PaymentForm), their
// look and the reading of their amount fields.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <functional>
#include <initializer_list>
#include <string>

#include "core/sale/settlement.h"

namespace ui {

// Labels, fields and amounts in "宋体", 30 pixels high, bold: readable across the counter.
void ApplyPaymentFont(QDialog& dialog);

// The dialog's four amount fields.
struct PaymentEdits {
  QLineEdit* allowance;
  QLineEdit* cash;
  QLineEdit* cheque;
  QLineEdit* card;
};

sale::PaymentTexts ReadPaymentTexts(const PaymentEdits& edits);

// The figures a payment dialog shows.
struct PaymentLabels {
  QLabel* due;
  QLabel* change;
  QLabel* stored = nullptr;     // "储值支付", member dialogs only
  QLabel* remaining = nullptr;  // "应收 ", member dialogs only
};

// The figures of a payment dialog, the same on the keyboard's and the touch screen's: the
// opening amounts, what follows each amount typed, and the check of "确认". The dialog owns
// the fields and decides only where the focus goes.
class PaymentForm {
 public:
  // "结算" of the ordinary customer: opens with the due as cash and "0.00" elsewhere.
  static PaymentForm Ordinary(PaymentEdits edits, PaymentLabels labels, double due,
                              sale::SaleUi& ui);
  // A member's payment: the stored value the member holds pays first, as far as it goes, and
  // cash opens with the rest. Untouched cheque, card and change show `zero`.
  static PaymentForm Member(PaymentEdits edits, PaymentLabels labels, double due,
                            const std::string& memberid, const QString& zero, sale::SaleUi& ui);

  // A key typed into the allowance field: the cash (and for a member the stored value part)
  // follows it; an allowance the sale cannot take is told at once.
  void AllowanceTyped();
  // A key typed into cash, cheque or card: the change follows.
  void TenderTyped();
  // Enter in the allowance field: false, after telling why, when the allowance is refused.
  bool AllowanceEntered();
  // "确认": accepted with the payment, or refused naming the field to retype.
  sale::SettleCheck Confirm();

  const PaymentEdits& edits() const { return edits_; }

 private:
  PaymentForm(PaymentEdits edits, PaymentLabels labels, double due, sale::SaleUi& ui)
      : edits_(edits), labels_(labels), due_(due), ui_(&ui) {}
  sale::PaymentFields Fields() const;
  void ShowSplit(const sale::MemberAmounts& split);

  PaymentEdits edits_;
  PaymentLabels labels_;
  double due_;
  sale::SaleUi* ui_;
  bool member_ = false;
  double deposit_ = 0;
  sale::MemberAmounts split_;
};

// Routes a key event of one of the form's amount fields: a key released in a field updates
// the figures, Enter in the allowance field moves on to cash (when the allowance is taken),
// Enter in cash, cheque or card confirms. True when the event was consumed (Enter).
bool RoutePaymentKey(const QObject* watched, const QEvent* event, PaymentForm& form,
                     const std::function<void()>& confirm);

// The field a refused confirmation names, else the cash field.
QLineEdit* RetryBox(const sale::SettleCheck& check, const PaymentEdits& edits);

// After a refused confirmation: back to the field the check names, else to the cash field,
// with its text selected for retyping.
void FocusForRetry(const sale::SettleCheck& check, const PaymentEdits& edits);

}  // namespace ui

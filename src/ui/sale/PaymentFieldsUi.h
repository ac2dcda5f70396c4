#pragma once

// What the two payment dialogs share: their look and the reading of their amount fields.

#include <QDialog>
#include <QLineEdit>
#include <functional>
#include <initializer_list>

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

// A typed amount while the cashier types (sale::AmountWhileTyping).
double ReadAmount(const QLineEdit& edit);

sale::PaymentTexts ReadPaymentTexts(const PaymentEdits& edits);

// What a payment dialog does when its fields are typed into.
struct PaymentKeyActions {
  std::function<void()> allowance_typed;  // a key released in the allowance field
  std::function<void()> tender_typed;     // a key released in cash, cheque or card
  std::function<void()> allowance_enter;  // Enter in the allowance field
  std::function<void()> confirm;          // Enter in cash, cheque or card
};

// Routes a key event of one of the dialog's amount fields to its action; true when the event
// was consumed (Enter), false to let the field handle it.
bool RoutePaymentKey(const QObject* watched, const QEvent* event, const QLineEdit* allowance,
                     std::initializer_list<const QLineEdit*> tenders,
                     const PaymentKeyActions& actions);

// The field a refused confirmation names, else the cash field.
QLineEdit* RetryBox(const sale::SettleCheck& check, const PaymentEdits& edits);

// After a refused confirmation: back to the field the check names, else to the cash field,
// with its text selected for retyping.
void FocusForRetry(const sale::SettleCheck& check, const PaymentEdits& edits);

}  // namespace ui

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

// A typed amount to two decimals; text that is not a number reads as 0.
double ReadAmount(const QLineEdit& edit);

sale::PaymentFields ReadPaymentFields(const QLineEdit& allowance, const QLineEdit& cash,
                                      const QLineEdit& cheque, const QLineEdit& card);

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

// After a refused confirmation: back to the allowance field when the check asks for it, else
// to the cash field, with its text selected for retyping.
void FocusForRetry(const sale::SettleCheck& check, QLineEdit* allowance, QLineEdit* cash);

}  // namespace ui

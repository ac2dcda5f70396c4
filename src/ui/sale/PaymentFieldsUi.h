#pragma once

// What the two payment dialogs share: their look and the reading of their amount fields.

#include <QDialog>
#include <QLineEdit>

#include "sale/settlement.h"

namespace sale {

// Labels, fields and amounts in "宋体", 30 pixels high, bold: readable across the counter.
void ApplyPaymentFont(QDialog& dialog);

// A typed amount to two decimals; text that is not a number reads as 0.
double ReadAmount(const QLineEdit& edit);

PaymentFields ReadPaymentFields(const QLineEdit& allowance, const QLineEdit& cash,
                                const QLineEdit& cheque, const QLineEdit& card);

bool IsEnterKey(int key);

}  // namespace sale

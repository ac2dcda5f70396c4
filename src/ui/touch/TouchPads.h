#pragma once

// What the touch pads share: their look, and how the payment dialogs type into their form.

#include <optional>

#include "core/sale/settlement.h"

class QDialog;

namespace ui {

class PaymentForm;
class TouchBoxes;
class TouchKeypad;

// Large type on the pad's labels and boxes and finger-sized command buttons ("确认", "取消",
// and the rest that are not keys).
void ApplyPadLook(QDialog& pad);

// The keypad typing into the form's four amount boxes, the cash box active; the figures
// follow every key. Also gives the dialog the pads' look.
TouchBoxes* OpenPaymentBoxes(QDialog& dialog, PaymentForm& form, TouchKeypad& keypad);

// "确定": the payment when the form accepts it, else nullopt with the box to retype active.
std::optional<sale::Payment> ConfirmPayment(PaymentForm& form, TouchBoxes& boxes);

}  // namespace ui

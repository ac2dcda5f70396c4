#include "ui/touch/TouchPads.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/sale/PaymentFieldsUi.h"
#include "ui/touch/TouchKeypad.h"
#include "ui/touch/TouchMetrics.h"

namespace ui {

namespace {
constexpr double kBoxTypeMm = 7.0;
}  // namespace

void ApplyPadLook(QDialog& pad) {
  for (QPushButton* button : pad.findChildren<QPushButton*>()) MakeFingerButton(*button);
  for (QLabel* label : pad.findChildren<QLabel*>()) SetFontHeight(*label, kBoxTypeMm);
  for (QLineEdit* box : pad.findChildren<QLineEdit*>()) {
    SetFontHeight(*box, kBoxTypeMm);
    box->setMinimumHeight(MillimetresToPixels(*box, kFingerMm));
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  }
}

TouchBoxes* OpenPaymentBoxes(QDialog& dialog, PaymentForm& form, TouchKeypad& keypad) {
  const PaymentEdits& edits = form.edits();
  auto* boxes =
      new TouchBoxes(&dialog, {edits.allowance, edits.cash, edits.cheque, edits.card}, keypad);
  boxes->Activate(edits.cash);
  ApplyPadLook(dialog);
  QObject::connect(boxes, &TouchBoxes::Changed, &dialog, [&form](QLineEdit* box) {
    if (box == form.edits().allowance) {
      form.AllowanceTyped();
    } else {
      form.TenderTyped();
    }
  });
  return boxes;
}

std::optional<sale::Payment> ConfirmPayment(PaymentForm& form, TouchBoxes& boxes) {
  const sale::SettleCheck check = form.Confirm();
  if (!check.accepted) {
    boxes.Activate(RetryBox(check, form.edits()));
    return std::nullopt;
  }
  return check.payment;
}

}  // namespace ui

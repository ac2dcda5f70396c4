#include "ui/sale/PaymentFieldsUi.h"

#include <QFont>
#include <QKeyEvent>

namespace ui {

void ApplyPaymentFont(QDialog& dialog) {
  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(30);
  font.setBold(true);
  dialog.setFont(font);
}

double ReadAmount(const QLineEdit& edit) {
  return sale::AmountWhileTyping(edit.text().toStdString());
}

sale::PaymentTexts ReadPaymentTexts(const PaymentEdits& edits) {
  return {edits.allowance->text().toStdString(), edits.cash->text().toStdString(),
          edits.cheque->text().toStdString(), edits.card->text().toStdString()};
}

namespace {

bool IsEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

bool RoutePaymentKey(const QObject* watched, const QEvent* event, const QLineEdit* allowance,
                     std::initializer_list<const QLineEdit*> tenders,
                     const PaymentKeyActions& actions) {
  const bool is_allowance = watched == allowance;
  bool is_tender = false;
  for (const QLineEdit* tender : tenders) is_tender = is_tender || watched == tender;
  if (!is_allowance && !is_tender) return false;
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
  const bool enter = IsEnterKey(static_cast<const QKeyEvent*>(event)->key());
  if (event->type() == QEvent::KeyPress && enter) {
    (is_allowance ? actions.allowance_enter : actions.confirm)();
    return true;
  }
  // Every other key is the field's own; the figures follow once it is released.
  if (event->type() == QEvent::KeyRelease && !enter) {
    (is_allowance ? actions.allowance_typed : actions.tender_typed)();
  }
  return false;
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

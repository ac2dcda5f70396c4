#include "sale/PaymentFieldsUi.h"

#include <QFont>

#include "servicelib/kasso_basic.h"

namespace sale {

void ApplyPaymentFont(QDialog& dialog) {
  QFont font(QStringLiteral("宋体"));
  font.setPixelSize(30);
  font.setBold(true);
  dialog.setFont(font);
}

double ReadAmount(const QLineEdit& edit) {
  bool ok = false;
  const double value = edit.text().trimmed().toDouble(&ok);
  return ok ? servicelib::rounddigits(value, 2) : 0.0;
}

PaymentFields ReadPaymentFields(const QLineEdit& allowance, const QLineEdit& cash,
                                const QLineEdit& cheque, const QLineEdit& card) {
  return {ReadAmount(allowance), ReadAmount(cash), ReadAmount(cheque), ReadAmount(card)};
}

bool IsEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace sale

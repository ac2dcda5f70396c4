#pragma once

#include <QDialog>
#include <memory>
#include <optional>

#include "core/sale/settlement.h"
#include "ui/sale/PaymentFieldsUi.h"
#include "ui/sale/SaleDialogs.h"

namespace Ui {
class SettleDialog;
}

namespace ui {

// "结算": the ordinary customer's payment. Opens with the due as cash; the change follows
// every key typed; closes with "确认" only for a payment that covers the due.
class SettleDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(SettleDialog)

 public:
  SettleDialog(QWidget* parent, double due);
  ~SettleDialog() override;

  // Set once the dialog closed with "确认".
  const std::optional<sale::Payment>& payment() const { return payment_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnConfirm();

  std::unique_ptr<Ui::SettleDialog> ui_;
  SaleDialogs questions_;
  std::optional<PaymentForm> form_;
  std::optional<sale::Payment> payment_;
};

}  // namespace ui

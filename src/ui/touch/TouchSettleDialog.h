#pragma once

#include <QDialog>
#include <QLineEdit>
#include <memory>
#include <optional>

#include "core/sale/settlement.h"
#include "ui/sale/PaymentFieldsUi.h"
#include "ui/sale/SaleDialogs.h"

namespace Ui {
class TouchSettleDialog;
}

namespace ui {

class TouchBoxes;

// "结算" on the touch screen: the ordinary customer's payment, typed on the keypad into the
// box last touched ("整单折让", "现金", "支票", "银联卡"). Computes and checks exactly what the
// keyboard's "结算" does, with the same functions; closes on "确定" only for a payment that
// covers the due.
class TouchSettleDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TouchSettleDialog)

 public:
  TouchSettleDialog(QWidget* parent, double due);
  ~TouchSettleDialog() override;

  const std::optional<sale::Payment>& payment() const { return payment_; }

 private:
  void OnConfirm();

  std::unique_ptr<Ui::TouchSettleDialog> ui_;
  SaleDialogs questions_;
  std::optional<PaymentForm> form_;
  TouchBoxes* boxes_ = nullptr;
  std::optional<sale::Payment> payment_;
};

}  // namespace ui

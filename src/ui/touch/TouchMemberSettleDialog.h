#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QString>
#include <memory>
#include <optional>

#include "core/sale/settlement.h"
#include "ui/sale/PaymentFieldsUi.h"
#include "ui/sale/SaleDialogs.h"

namespace Ui {
class TouchMemberSettleDialog;
}

namespace ui {

class TouchBoxes;

// "结算" for a member on the touch screen: the member's stored value pays first, as far as it
// goes; cash, cheque and card, typed on the keypad, cover the rest. Computes and checks
// exactly what the keyboard's "会员结算" does, with the same functions.
class TouchMemberSettleDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(TouchMemberSettleDialog)

 public:
  TouchMemberSettleDialog(QWidget* parent, double due, const QString& memberid);
  ~TouchMemberSettleDialog() override;

  const std::optional<sale::Payment>& payment() const { return payment_; }

 private:
  void OnConfirm();

  std::unique_ptr<Ui::TouchMemberSettleDialog> ui_;
  SaleDialogs questions_;
  std::optional<PaymentForm> form_;
  TouchBoxes* boxes_ = nullptr;
  std::optional<sale::Payment> payment_;
};

}  // namespace ui

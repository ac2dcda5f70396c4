#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>

#include "core/sale/settlement.h"
#include "ui/sale/PaymentFieldsUi.h"
#include "ui/sale/SaleDialogs.h"

namespace Ui {
class MemberSettleDialog;
}

namespace ui {

// "会员结算": a member's payment. The member's stored value pays first, as far as it goes;
// cash, cheque and card cover the rest.
class MemberSettleDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MemberSettleDialog)

 public:
  MemberSettleDialog(QWidget* parent, double due, const QString& memberid);
  ~MemberSettleDialog() override;

  const std::optional<sale::Payment>& payment() const { return payment_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnConfirm();

  std::unique_ptr<Ui::MemberSettleDialog> ui_;
  SaleDialogs questions_;
  std::optional<PaymentForm> form_;
  std::optional<sale::Payment> payment_;
};

}  // namespace ui

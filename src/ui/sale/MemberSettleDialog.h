#pragma once

#include <QDialog>
#include <QString>
#include <memory>
#include <optional>

#include "sale/SaleDialogs.h"
#include "sale/settlement.h"

namespace Ui {
class MemberSettleDialog;
}

namespace sale {

// "会员结算": a member's payment. The member's stored value pays first, as far as it goes;
// cash, cheque and card cover the rest.
class MemberSettleDialog : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(MemberSettleDialog)

 public:
  MemberSettleDialog(QWidget* parent, double due, const QString& memberid);
  ~MemberSettleDialog() override;

  const std::optional<Payment>& payment() const { return payment_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowSplit(const MemberAmounts& split);
  void OnAllowanceTyped();
  void OnTenderTyped();
  void OnConfirm();
  PaymentFields Fields() const;

  std::unique_ptr<Ui::MemberSettleDialog> ui_;
  double due_;
  double deposit_;
  MemberAmounts split_;
  SaleDialogs questions_;
  std::optional<Payment> payment_;
};

}  // namespace sale

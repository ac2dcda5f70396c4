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
  void ShowSplit(const sale::MemberAmounts& split);
  void OnAllowanceTyped();
  void OnTenderTyped();
  void OnConfirm();
  PaymentEdits Edits() const;
  sale::PaymentFields Fields() const;

  std::unique_ptr<Ui::MemberSettleDialog> ui_;
  double due_;
  double deposit_;
  sale::MemberAmounts split_;
  SaleDialogs questions_;
  std::optional<sale::Payment> payment_;
};

}  // namespace ui

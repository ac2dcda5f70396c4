#pragma once

#include "ui/sale/SaleDialogs.h"

namespace ui {

// The sale engine's questions answered on the touch screen: prices on the price pad, the
// member on the member pad and the payment on the touch "结算" dialogs; messages, questions,
// weighing and new goods as on the keyboard screen.
class TouchDialogs : public SaleDialogs {
 public:
  explicit TouchDialogs(QWidget* parent) : SaleDialogs(parent), parent_(parent) {}

  std::optional<double> EnterPrice() override;
  std::optional<std::string> SelectMember() override;
  std::optional<sale::Payment> SettleOrdinary(double due) override;
  std::optional<sale::Payment> SettleMember(double due, const std::string& memberid) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace ui

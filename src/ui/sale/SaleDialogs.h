#pragma once

#include <QPointer>
#include <QWidget>

#include "core/devices/customer_display.h"
#include "core/sale/sale_ui.h"
#include "core/sale/settlement.h"

namespace ui {

// The sale engine's questions answered with the cashier screen's dialogs and message boxes,
// and the payment taken with "结算" or "会员结算".
class SaleDialogs : public sale::SaleUi, public sale::PaymentUi {
 public:
  explicit SaleDialogs(QWidget* parent) : parent_(parent) {}

  void Message(std::string_view text) override;
  bool AskYesNo(std::string_view text) override;
  std::optional<double> EnterPrice() override;
  std::optional<sale::QuickGoods> EnterQuickGoods(const sale::QuickGoods& suggested) override;
  std::optional<std::string> ConfirmWeight(const std::string& goods_name) override;
  std::optional<std::string> SelectMember() override;
  std::optional<sale::Payment> SettleOrdinary(double due) override;
  std::optional<sale::Payment> SettleMember(double due, const std::string& memberid) override;

 private:
  QPointer<QWidget> parent_;
};

// The running total on the pole display opened by the cashier screen. The handle is the
// screen's; an unopened display writes nowhere.
class PoleDisplay : public sale::CustomerDisplay {
 public:
  explicit PoleDisplay(devices::CustomerDisplayHandle& handle) : handle_(handle) {}
  void Show(int lamp, double value) override;

 private:
  devices::CustomerDisplayHandle& handle_;
};

}  // namespace ui

#include "ui/sale/SaleDialogs.h"

#include <QString>
#include <exception>

#include "ui/common/MessageBox.h"
#include "ui/sale/MemberSelectDialog.h"
#include "ui/sale/MemberSettleDialog.h"
#include "ui/sale/PriceEntryDialog.h"
#include "ui/sale/QuickGoodsDialog.h"
#include "ui/sale/SettleDialog.h"
#include "ui/sale/WeighConfirmDialog.h"

namespace ui {
namespace {

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void SaleDialogs::Message(std::string_view text) { ui::ShowMessage(parent_, ToQString(text)); }

bool SaleDialogs::AskYesNo(std::string_view text) { return ui::AskYesNo(parent_, ToQString(text)); }

std::optional<double> SaleDialogs::EnterPrice() {
  PriceEntryDialog dialog(parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.price();
}

std::optional<sale::QuickGoods> SaleDialogs::EnterQuickGoods(const sale::QuickGoods& suggested) {
  QuickGoodsDialog dialog(parent_, suggested);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.goods();
}

std::optional<std::string> SaleDialogs::ConfirmWeight(const std::string& goods_name) {
  WeighConfirmDialog dialog(parent_, QString::fromStdString(goods_name));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.weight().toStdString();
}

std::optional<std::string> SaleDialogs::SelectMember() {
  MemberSelectDialog dialog(parent_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.member_id().toStdString();
}

std::optional<sale::Payment> SaleDialogs::SettleOrdinary(double due) {
  SettleDialog dialog(parent_, due);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.payment();
}

std::optional<sale::Payment> SaleDialogs::SettleMember(double due, const std::string& memberid) {
  MemberSettleDialog dialog(parent_, due, QString::fromStdString(memberid));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.payment();
}

void PoleDisplay::Show(int lamp, double value) {
  try {
    devices::ShowOnCustomerDisplay(handle_, lamp, value);
  } catch (const std::exception&) {
    // A display that cannot be written never stops a sale.
  }
}

}  // namespace ui

#include "ui/sale/SaleCaptions.h"

#include <string>

#include "core/common/format.h"

namespace ui {

QString MemberPaneText(const sale::CurrentSale& sale) {
  switch (sale.member_pane) {
    case sale::MemberPane::kEmpty:
      return {};
    case sale::MemberPane::kOrdinaryCustomer:
      return QStringLiteral("普通客户");
    case sale::MemberPane::kMember:
      break;
  }
  std::string text = "[会员名称:" + sale.member_name + "]";
  if (sale.deposit_member) text += "[储值会员,储值金额:" + common::Money(sale.member_deposit) + "]";
  if (sale.points_member) text += "[积分会员,现有积分:" + common::Money(sale.member_points) + "]";
  text += "[优惠方式:" + sale.member_dismode;
  if (sale.member_dismode == sale::kMemberDiscountMode) {
    text += "][折扣率:" + common::Fixed(sale.member_disrate * 100, 0) + "%]";
  } else {
    text += "]";
  }
  if (sale.member_discount_on_discount) text += "[折上折]";
  return QString::fromStdString(text);
}

QString SaleNumberText(const sale::CurrentSale& sale) {
  return QStringLiteral("单号: ") + QString::number(sale.sale_number);
}

QString OperatorText(const sale::CurrentSale& sale) {
  return QStringLiteral("收银员: ") + QString::fromStdString(sale.operator_name);
}

QString MemberButtonCaption(const sale::CurrentSale& sale) {
  return sale.HasMember() ? QStringLiteral("F4 普通客户") : QStringLiteral("F4 会员");
}

QString TotalCaption(const sale::CurrentSale& sale) {
  return QStringLiteral("总计: ") +
         (sale.totalled ? QString::fromStdString(common::Money(sale.total)) : QString());
}

}  // namespace ui

#pragma once

// The texts a cashier screen makes from the sale's figures, beside its line list.

#include <QString>

#include "core/sale/current_sale.h"

namespace ui {

// The member pane: empty for a new sale, "普通客户" for the ordinary customer, else the
// member: "[会员名称:张三]", then "[储值会员,储值金额:100.00]" and "[积分会员,现有积分:12.50]"
// as the member keeps them, "[优惠方式:会员折扣][折扣率:90%]" (the rate only for a member
// discount) and "[折上折]" when the discounts multiply.
QString MemberPaneText(const sale::CurrentSale& sale);

// "单号: " and the number the sale is expected to get, for the sale number pane.
QString SaleNumberText(const sale::CurrentSale& sale);
// "收银员: " and the operator's name, for the operator pane.
QString OperatorText(const sale::CurrentSale& sale);
// The keyboard screen's member key: "F4 会员" with no member, "F4 普通客户" with one.
QString MemberButtonCaption(const sale::CurrentSale& sale);

// The keyboard screen's total: "总计: " with the total "%.2f", bare until the sale is totalled.
QString TotalCaption(const sale::CurrentSale& sale);

}  // namespace ui

#include "core/sale/current_sale.h"

#include "core/common/format.h"
#include "core/lookups/numbers.h"

namespace sale {

double SaleLine::Number(SaleColumn column) const { return kasso::ParseNumber(columns[column]); }

std::string SaleNumberText(const CurrentSale& sale) {
  return "单号: " + std::to_string(sale.sale_number);
}

std::string OperatorText(const CurrentSale& sale) { return "收银员: " + sale.operator_name; }

std::string MemberButtonCaption(const CurrentSale& sale) {
  return sale.HasMember() ? "F4 普通客户" : "F4 会员";
}

std::string MoneyText(double value) {
  // printf alone would show 0.35 * 3 (1.0499999...) as 1.04; the cashier expects 1.05.
  return kasso::Money(lookups::RoundTo(value, 2));
}

void SetLineAmounts(SaleLine& line, double rate, double price, double quantity) {
  line[kAmount] = MoneyText(rate * price * quantity);
  line[kDiscountAmount] = MoneyText((1 - rate) * price * quantity);
}

void ClearMember(CurrentSale& sale) {
  sale.member_id.clear();
  sale.member_dismode.clear();
  sale.member_disrate = 1.0;
  sale.points_member = false;
  sale.deposit_member = false;
}

void SelectPreviousLine(CurrentSale& sale) {
  if (sale.HasSelection() && sale.selected > 0) --sale.selected;
}

void SelectNextLine(CurrentSale& sale) {
  if (sale.HasSelection() && sale.selected + 1 < static_cast<int>(sale.lines.size())) {
    ++sale.selected;
  }
}

}  // namespace sale

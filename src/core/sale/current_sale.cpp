#include "core/sale/current_sale.h"

#include "core/lookups/numbers.h"

namespace sale {

double RoundToFen(double value) {
  // 0.35 * 3 is held as 1.0499999...; the cashier expects 1.05.
  return lookups::RoundTo(value, 2);
}

void SetLineAmounts(SaleLine& line, double rate, double price, double quantity) {
  line.amount = RoundToFen(rate * price * quantity);
  line.discount_amount = RoundToFen((1 - rate) * price * quantity);
}

void ClearMember(CurrentSale& sale) {
  sale.member_id.clear();
  sale.member_dismode.clear();
  sale.member_disrate = 1.0;
  sale.points_member = false;
  sale.deposit_member = false;
  sale.member_name.clear();
  sale.member_points = 0;
  sale.member_deposit = 0;
  sale.member_discount_on_discount = false;
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

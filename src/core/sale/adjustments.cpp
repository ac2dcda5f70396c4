#include "core/sale/adjustments.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/common/error.h"
#include "core/lookups/members.h"
#include "core/lookups/numbers.h"
#include "core/sale/member_pricing.h"
#include "core/sale/till_audit.h"
#include "core/store/audit.h"

namespace sale {
namespace {

using lookups::RoundTo;

// Repricing a line after a discount: the discount alone, combined with the member rate for a
// "会员折扣" member (multiplied for discount on discount, else the better one when asked).
struct DiscountRule {
  double rate;
  std::optional<double> member_rate;
  bool discount_on_discount = false;
  bool better_of_two = false;

  double RateFor() const {
    if (!member_rate) return rate;
    if (discount_on_discount) return RoundTo(rate * *member_rate, 2);
    if (better_of_two) return std::min(rate, *member_rate);
    return rate;
  }
};

// db is only used for a "会员折扣" member.
DiscountRule RuleFor(store::Database* db, const CurrentSale& sale, double rate,
                     bool item_discount) {
  DiscountRule rule{rate, std::nullopt};
  if (sale.HasMemberDiscount()) {
    rule.member_rate = RoundTo(lookups::MemberDiscountRate(*db, sale.member_id), 2);
    rule.discount_on_discount = lookups::HasDiscountOnDiscount(*db, sale.member_id);
    rule.better_of_two = item_discount;
  }
  return rule;
}

void Discount(SaleLine& line, const DiscountRule& rule) {
  double rate = rule.RateFor();
  line[kFrontRate] = MoneyText(rule.rate);
  line[kRate] = MoneyText(rate);
  SetLineAmounts(line, rate, line.Number(kPrice), line.Number(kQuantity));
}

// db may be null only when no member look-up is needed (NeedsMemberLookup).
void DiscountLines(store::Database* db, CurrentSale& sale, double tenths, bool item_discount) {
  double rate = DiscountRateFromTenths(tenths);
  std::vector<SaleLine> before = sale.lines;
  try {
    DiscountRule rule = RuleFor(db, sale, rate, item_discount);
    if (item_discount) {
      if (sale.HasSelection()) Discount(sale.lines[static_cast<size_t>(sale.selected)], rule);
    } else {
      for (SaleLine& line : sale.lines) Discount(line, rule);
    }
    if (db != nullptr) {
      ApplyMemberPricingToLines(*db, sale);
    } else {
      ApplyMemberPricingToLines(sale);
    }
    if (item_discount && sale.HasSelection()) {
      RecordTillAction(sale, store::kAuditLineDiscount,
                       AuditLineText(sale.lines[static_cast<size_t>(sale.selected)]) + " 折扣 " +
                           MoneyText(rate));
    } else if (!item_discount && !sale.lines.empty()) {
      RecordTillAction(sale, store::kAuditBillDiscount, "折扣 " + MoneyText(rate));
    }
  } catch (...) {
    sale.lines = std::move(before);
    throw;
  }
}

void DiscountLines(CurrentSale& sale, double tenths, bool item_discount) {
  DiscountRateFromTenths(tenths);  // a refused rate never opens the file
  if (!NeedsMemberLookup(sale)) {
    DiscountLines(nullptr, sale, tenths, item_discount);
    return;
  }
  store::Database db;
  DiscountLines(&db, sale, tenths, item_discount);
}

}  // namespace

bool ChangeQuantity(CurrentSale& sale, double quantity, SaleUi& ui) {
  using lookups::TillNumber;
  if (!lookups::WithinTillRange(quantity, TillNumber::kQuantity)) {
    throw kasso::UserError("数量有误");
  }
  if (!sale.HasSelection()) return true;
  double q = RoundTo(quantity, 2);
  SaleLine& line = sale.lines[static_cast<size_t>(sale.selected)];
  // The line's amount must stay an amount the till can hold as well.
  if (!lookups::WithinTillRange(line.Number(kRate) * line.Number(kPrice) * q,
                                TillNumber::kAmount)) {
    throw kasso::UserError("数量有误");
  }
  // A return of that many is as likely a slip of the finger as a sale of that many.
  if (std::fabs(q) > kLargeQuantity && !ui.AskYesNo("数量超过10000,真的要修改吗?")) return false;
  line[kQuantity] = MoneyText(q);
  SetLineAmounts(line, line.Number(kRate), line.Number(kPrice), q);
  return true;
}

void ChangePrice(CurrentSale& sale, double price) {
  double front = RoundTo(price, 2);
  if (front < 0 || !lookups::WithinTillRange(price, lookups::TillNumber::kAmount)) {
    throw kasso::UserError("价格有误");
  }
  if (!sale.HasSelection()) return;
  SaleLine& line = sale.lines[static_cast<size_t>(sale.selected)];
  RecordTillAction(sale, store::kAuditPriceChanged,
                   AuditLineText(line) + " 价格 " + line[kPrice] + " -> " + MoneyText(front));
  line[kFrontPrice] = MoneyText(front);
  double salesprice = RoundTo(line.Number(kSalesPrice), 2);
  double effective = sale.HasMemberPrice()
                         ? std::min({salesprice, RoundTo(line.Number(kMemberPrice), 2), front})
                         : std::min(salesprice, front);
  line[kPrice] = MoneyText(effective);
  SetLineAmounts(line, line.Number(kRate), effective, line.Number(kQuantity));
}

double DiscountRateFromTenths(double tenths) {
  double rate = tenths / 10;
  if (!(rate >= 0 && rate <= 1)) throw kasso::UserError("折扣率有误");
  return RoundTo(rate, 2);
}

void ItemDiscount(CurrentSale& sale, double tenths) { DiscountLines(sale, tenths, true); }
void ItemDiscount(store::Database& db, CurrentSale& sale, double tenths) {
  DiscountLines(&db, sale, tenths, true);
}

void BillDiscount(CurrentSale& sale, double tenths) { DiscountLines(sale, tenths, false); }
void BillDiscount(store::Database& db, CurrentSale& sale, double tenths) {
  DiscountLines(&db, sale, tenths, false);
}

}  // namespace sale

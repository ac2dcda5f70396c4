#pragma once

// Points feedback: a member redeems points for a gift, which leaves the stock free of charge,
// or for a rebate, which credits the points at a rate to the stored value.

#include <string>

namespace backoffice {

inline constexpr const char* kGift = "赠品";
inline constexpr const char* kRebate = "返利";

// One redemption as typed in the points feedback screen.
struct Redemption {
  std::string memberid;
  std::string kind = kGift;  // kGift or kRebate
  std::string gift_barcode;
  std::string gift_quantity;
  std::string rate;  // stored value credited per point
  std::string points;
  std::string workno;
};

// Checks the redemption in the screen's order and books it in one transaction: the gift's stock
// goes down by the quantity as a sale's would (it may go below 0; a combined goods through its
// components, its own row unchanged) or the balance goes up by points x rate rounded to the
// fen, the points go down, and one pointsreturn row is written. Quantities, rates and points
// are rounded to 2 decimals.
// Refusals (common::ValidationError naming the field: "memberid", "gift_barcode",
// "gift_quantity", "rate", "points"): "请录入会员信息", "此会员不存在", "请录入赠品条码",
// "赠品录入有误", "请录入赠品数量", "赠品数量有误" (also when negative), "非储值会员,不能返利",
// "请录入返利比率", "返利比率有误" (also when negative), "请录入抵扣积分", "抵扣积分有误" (also
// when negative), "抵扣积分不能超过现有积分", "返利金额过大" (a credit beyond the top-up ceiling).
// A failure of the booking itself is rolled back and throws common::UserError "积分回馈有误".
void RedeemPoints(const Redemption& redemption);

}  // namespace backoffice

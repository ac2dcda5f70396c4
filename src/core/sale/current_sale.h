#pragma once

// The sale being rung up at a cashier screen: its lines, the member and the sale number that
// go with it, and its total. Both cashier screens hold one CurrentSale and change it only
// through the sale engine's operations.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sale {

// The member discount modes that change prices; any other mode gives no member pricing.
inline constexpr std::string_view kMemberPriceMode = "会员价";
inline constexpr std::string_view kMemberDiscountMode = "会员折扣";

// One line of the sale, its figures held as numbers. Money, prices and rates are kept rounded
// to the fen (rates are factors from 0 to 1); the screen's line model makes the texts the
// line list shows.
struct SaleLine {
  std::string barcode;
  std::string goods_name;
  std::string unit;
  double quantity = 0;
  // How many decimals the quantity is shown with: 2 for counted goods and typed quantities,
  // 3 for weighed and taken-back lines, or as many as the scale gave.
  int quantity_decimals = 2;
  double sales_price = 0;
  double member_price = 0;
  double front_price = 0;  // the price typed at the till ("\"), else the sales price
  double price = 0;        // the unit price the line sells at
  double front_rate = 1;   // the till's discount
  double member_rate = 1;
  double rate = 1;  // the rate the line sells at
  double amount = 0;
  double discount_amount = 0;

  bool operator==(const SaleLine&) const = default;
};

// What the member pane shows: nothing (a new sale), the ordinary customer, or the member.
enum class MemberPane { kEmpty, kOrdinaryCustomer, kMember };

struct CurrentSale {
  std::vector<SaleLine> lines;
  int selected = -1;  // index into lines, -1 when no line is selected

  // The attached member; an empty id is the ordinary customer.
  std::string member_id;
  std::string member_dismode;  // "会员价", "会员折扣" or anything else (no member pricing)
  double member_disrate = 1.0;
  bool points_member = false;
  bool deposit_member = false;
  // The member as read when attached, for the member pane.
  MemberPane member_pane = MemberPane::kEmpty;
  std::string member_name;
  double member_points = 0;   // points held
  double member_deposit = 0;  // stored value held
  bool member_discount_on_discount = false;

  std::int64_t sale_number = 1;  // the number the next commit is expected to use
  std::string workno;            // the logged-in operator
  std::string operator_name;

  double total = 0;       // the sum of the line amounts, to the fen
  bool totalled = false;  // false from a new sale until its first total

  bool HasMember() const { return !member_id.empty(); }
  bool HasMemberPrice() const { return HasMember() && member_dismode == kMemberPriceMode; }
  bool HasMemberDiscount() const { return HasMember() && member_dismode == kMemberDiscountMode; }
  bool HasSelection() const { return selected >= 0 && selected < static_cast<int>(lines.size()); }
};

// Money and rates as a line keeps them: rounded to the fen, halves away from zero.
double RoundToFen(double value);
// Sets the amount and discount amount from rate, unit price and quantity, each to the fen:
// amount = rate * price * q, discount = (1 - rate) * price * q.
void SetLineAmounts(SaleLine& line, double rate, double price, double quantity);

// Back to the ordinary customer: no member id, no member pricing, both member flags off.
// The member pane is left to the caller, which shows the ordinary customer or nothing.
void ClearMember(CurrentSale& sale);

// Up and Down in the line list. Nothing happens without a selection or at the list's end.
void SelectPreviousLine(CurrentSale& sale);
void SelectNextLine(CurrentSale& sale);

}  // namespace sale

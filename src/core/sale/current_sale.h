#pragma once

// The sale being rung up at a cashier screen: its lines, held as the texts the line list
// shows, and the member and sale number that go with it. Both cashier screens hold one
// CurrentSale and change it only through the sale engine's operations.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sale {

// The columns of a sale line, in their fixed order.
enum SaleColumn : int {
  kBarcode = 0,
  kGoodsName,
  kUnit,
  kQuantity,
  kSalesPrice,
  kMemberPrice,
  kFrontPrice,
  kPrice,
  kFrontRate,
  kMemberRate,
  kRate,
  kAmount,
  kDiscountAmount,
  kColumnCount,
};

struct SaleColumnInfo {
  std::string_view heading;
  int width;  // in dialog pixels; screens may scale it
  bool right_aligned;
};

inline constexpr std::array<SaleColumnInfo, kColumnCount> kSaleColumns = {{
    {"条码", 100, false},
    {"名称", 200, false},
    {"单位", 50, false},
    {"数量", 70, true},
    {"售价", 70, true},
    {"会员价", 70, true},
    {"前台价格", 80, true},
    {"价格", 70, true},
    {"前台折扣", 80, true},
    {"会员折扣", 80, true},
    {"折扣率", 60, true},
    {"金额", 150, true},
    {"折扣金额", 150, true},
}};

// The ordinary customer's text in the member pane.
inline constexpr std::string_view kOrdinaryCustomer = "普通客户";
inline constexpr std::string_view kTotalCaption = "总计: ";

// The member discount modes that change prices; any other mode gives no member pricing.
inline constexpr std::string_view kMemberPriceMode = "会员价";
inline constexpr std::string_view kMemberDiscountMode = "会员折扣";

// One line of the sale. Every field is the text its column shows; numbers are read from the
// texts whenever a computation needs them (an empty or unreadable text counts as 0).
struct SaleLine {
  std::array<std::string, kColumnCount> columns;

  std::string& operator[](SaleColumn column) { return columns[column]; }
  const std::string& operator[](SaleColumn column) const { return columns[column]; }
  double Number(SaleColumn column) const;
};

struct CurrentSale {
  std::vector<SaleLine> lines;
  int selected = -1;  // index into lines, -1 when no line is selected

  // The attached member; an empty id is the ordinary customer.
  std::string member_id;
  std::string member_dismode;  // "会员价", "会员折扣" or anything else (no member pricing)
  double member_disrate = 1.0;
  bool points_member = false;
  bool deposit_member = false;
  std::string member_pane;  // status pane text for the member

  std::int64_t sale_number = 1;  // the number the next commit is expected to use
  std::string workno;            // the logged-in operator
  std::string operator_name;

  std::string total_caption{kTotalCaption};  // "总计: " or "总计: " with the total
  double total = 0;

  bool HasMember() const { return !member_id.empty(); }
  bool HasMemberPrice() const { return HasMember() && member_dismode == kMemberPriceMode; }
  bool HasMemberDiscount() const { return HasMember() && member_dismode == kMemberDiscountMode; }
  bool HasSelection() const { return selected >= 0 && selected < static_cast<int>(lines.size()); }
};

// "单号: " followed by the sale number, for status pane 0.
std::string SaleNumberText(const CurrentSale& sale);
// "收银员: " followed by the operator name, for status pane 1.
std::string OperatorText(const CurrentSale& sale);
// The member key's caption: "F4 会员" with no member, "F4 普通客户" with one.
std::string MemberButtonCaption(const CurrentSale& sale);

// Money and rates as the line shows them: rounded to two decimals (halves away from zero),
// written "%.2f".
std::string MoneyText(double value);
// Writes the amount and discount amount from rate, unit price and quantity:
// amount = rate * price * q, discount = (1 - rate) * price * q.
void SetLineAmounts(SaleLine& line, double rate, double price, double quantity);

// Back to the ordinary customer: no member id, no member pricing, both member flags off.
// The member pane is left to the caller, which shows "普通客户" or nothing.
void ClearMember(CurrentSale& sale);

// Up and Down in the line list. Nothing happens without a selection or at the list's end.
void SelectPreviousLine(CurrentSale& sale);
void SelectNextLine(CurrentSale& sale);

}  // namespace sale

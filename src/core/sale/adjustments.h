#pragma once

// Changing the quantity, price and discount of lines. Each recomputes the lines it touches;
// the caller totals afterwards (ComputeTotal). A refused change throws common::UserError and
// leaves every line as it was.

#include "core/sale/current_sale.h"
#include "core/sale/sale_ui.h"
#include "core/store/database.h"

namespace sale {

inline constexpr double kLargeQuantity = 10000;

// Sets the selected line's quantity (to 0.01). A quantity above 10000 of either sign is asked
// about first ("数量超过10000,真的要修改吗?"); false when the cashier answers No and nothing
// changed. Without a selected line nothing changes (and nothing is asked). A quantity, or a
// line amount, beyond what a till holds throws common::UserError("数量有误").
bool ChangeQuantity(CurrentSale& sale, double quantity, SaleUi& ui);

// Sets the selected line's front price; the line sells at the smallest of sales, front and,
// for a "会员价" member, member price. Throws common::UserError("价格有误") for a negative price
// or one beyond what a till holds.
void ChangePrice(CurrentSale& sale, double price);

// The discount factor of a discount typed in tenths: 8.5 -> 0.85, 10 -> 1.00.
// Throws common::UserError("折扣率有误") above 1 (typed above 10) and below 0.
double DiscountRateFromTenths(double tenths);

// A discount typed in tenths on the selected line, then member pricing over all lines.
// Without a selected line only member pricing runs. Opens kasso.db only when a member with
// member pricing is attached; throws store::DbError when it cannot be read.
void ItemDiscount(CurrentSale& sale, double tenths);
void ItemDiscount(store::Database& db, CurrentSale& sale, double tenths);

// The same discount on every line, then member pricing.
void BillDiscount(CurrentSale& sale, double tenths);
void BillDiscount(store::Database& db, CurrentSale& sale, double tenths);

}  // namespace sale

#pragma once

// Member pricing: attaching and describing a member, and repricing every line for the
// member state (member price, member discount, discount on discount, or none).

#include <string>

#include "core/sale/current_sale.h"
#include "core/sale/sale_ui.h"
#include "core/store/database.h"

namespace sale {

// True when repricing reads kasso.db: a member with member price or member discount.
bool NeedsMemberLookup(const CurrentSale& sale);

// Reprices every line for the current member state without totalling:
// - ordinary customer: sales price, front discount only (a front price is not kept);
// - "会员价": the smallest of sales, member and front price, the line's rate;
// - "会员折扣": sales price with the member rate times the front rate (discount on discount)
//   or the better of the two;
// - any other mode: lines unchanged.
// Throws store::DbError when a look-up fails; the lines are then unchanged.
void ApplyMemberPricingToLines(store::Database& db, CurrentSale& sale);
// The same, opening kasso.db only when NeedsMemberLookup.
void ApplyMemberPricingToLines(CurrentSale& sale);

// Reprices every line and totals (ComputeTotal); returns the total. The form without a
// database opens kasso.db only when the member's mode needs a look-up.
double ApplyMemberPricing(CurrentSale& sale, CustomerDisplay& display);
double ApplyMemberPricing(store::Database& db, CurrentSale& sale, CustomerDisplay& display);

// Sets the sale's member mode, rate, flags and what the member pane shows of them (name,
// points, stored value) from the member's row. An unknown member or an unreadable file gives
// the ordinary customer's pane and no member pricing. Never throws.
void DescribeMember(store::Database& db, CurrentSale& sale, const std::string& memberid);
void DescribeMember(CurrentSale& sale, const std::string& memberid);

// F4: with no member, asks for one (SelectMember) and attaches it; with a member attached,
// detaches it (the pane shows the ordinary customer). Either way every line is repriced and
// totalled. Throws store::DbError when repricing cannot read kasso.db; the sale is then unchanged.
void AttachMember(CurrentSale& sale, SaleUi& ui, CustomerDisplay& display);

}  // namespace sale

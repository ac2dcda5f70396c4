#pragma once

// Member look-ups by member id, on the caller's open connection (an operation opens kasso.db
// once). An unknown member answers the "nothing found" value (false, 0, "") unless said otherwise.

#include <string>

#include "core/store/database.h"

namespace lookups {

bool HasMember(store::Database& db, const std::string& memberid);
bool IsStoredValueMember(store::Database& db, const std::string& memberid);
bool HasDiscountOnDiscount(store::Database& db, const std::string& memberid);
// The member's discount factor (0.85 = pays 85 %); 1 when the member has none.
double MemberDiscountRate(store::Database& db, const std::string& memberid);
double MemberBalance(store::Database& db, const std::string& memberid);
double MemberPoints(store::Database& db, const std::string& memberid);
// "没有优惠", "会员折扣" or "会员价"; "没有优惠" for an unknown member.
std::string MemberPriceMode(store::Database& db, const std::string& memberid);
std::string MemberName(store::Database& db, const std::string& memberid);
// The customer pane's text for a member ("[会员名称:...]..."); "普通客户" when not found.
std::string MemberPaneText(store::Database& db, const std::string& memberid);
// The member whose phone or identity-card number is the text; empty when none.
std::string MemberIdByPhoneOrCard(store::Database& db, const std::string& phone_or_pid);

}  // namespace lookups

#pragma once

// The service library's member look-ups by member id. Functions that take a store::Database run on
// the caller's open connection, so an operation opens kasso.db once; the forms without it open and
// close the file themselves and answer the "nothing found" value (false, 0, "") when it cannot be
// read.

#include <string>

#include "core/store/database.h"

namespace servicelib {

bool IsMemberExists(store::Database& db, const std::string& memberid);
bool IsMemberExists(const std::string& memberid);
bool IfDepositMember(store::Database& db, const std::string& memberid);
bool IfDepositMember(const std::string& memberid);
bool IsDisOnDisMember(store::Database& db, const std::string& memberid);
bool IsDisOnDisMember(const std::string& memberid);
// The member's discount factor (0.85 = pays 85 %); 1 when the member has none.
double GetMemberDisrate(store::Database& db, const std::string& memberid);
double GetMemberDisrate(const std::string& memberid);
double GetMemberDepositValue(store::Database& db, const std::string& memberid);
double GetMemberDepositValue(const std::string& memberid);
double GetMemberPointsValue(store::Database& db, const std::string& memberid);
double GetMemberPointsValue(const std::string& memberid);
// "没有优惠", "会员折扣" or "会员价"; "没有优惠" for an unknown member.
std::string GetMemberDismode(store::Database& db, const std::string& memberid);
std::string GetMemberDismode(const std::string& memberid);
std::string GetMemberName(store::Database& db, const std::string& memberid);
std::string GetMemberName(const std::string& memberid);
// The customer pane's text for a member ("[会员名称:...]..."); "普通客户" when not found.
std::string GetMemberInfo(store::Database& db, const std::string& memberid);
std::string GetMemberInfo(const std::string& memberid);
// The member whose phone or identity-card number is the text; empty when none.
std::string GetMemberIdFromPhonePID(store::Database& db, const std::string& phone_or_pid);
std::string GetMemberIdFromPhonePID(const std::string& phone_or_pid);

}  // namespace servicelib

#pragma once

// The member choice of the member queries: members by name.

#include <string>
#include <string_view>
#include <vector>

namespace reports {

// The choice meaning every member; the member queries then leave out sales without a member.
inline constexpr std::string_view kAllMembers = "全部";

// Every member name once, in the order of the member list. Throws common::UserError("设定有误")
// when the members cannot be read.
std::vector<std::string> ListMemberNames();

// The id of the first member of that name (in the order of the member list); empty when there
// is none. Throws common::UserError("设定有误") when the members cannot be read.
std::string MemberIdForName(const std::string& name);

}  // namespace reports

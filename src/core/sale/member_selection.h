#pragma once

// The check behind the member selection ("会员选择"): the typed member, phone or identity
// number and the member's password.

#include <string>

namespace sale {

// Returns the member id for the typed text (a member id, or a phone or identity number) when
// the password matches. Throws common::ValidationError with the message and the field to
// focus ("memberid" or "password"): "会员编号不能为空", "会员编号有误", "会员有误",
// "密码有误".
std::string CheckMemberSelection(const std::string& typed_id, const std::string& password);

}  // namespace sale

#include "core/sale/member_selection.h"

#include "core/common/error.h"
#include "core/lookups/members.h"
#include "core/store/database.h"

namespace sale {

std::string CheckMemberSelection(const std::string& typed_id, const std::string& password) {
  std::string id = typed_id.substr(0, typed_id.find_last_not_of(" \t\r\n") + 1);
  if (id.empty()) throw kasso::ValidationError("会员编号不能为空", "memberid");
  std::optional<std::string> stored_password;
  try {
    store::Database db;
    if (!lookups::HasMember(db, id)) {
      id = lookups::MemberIdByPhoneOrCard(db, id);
      if (id.empty()) throw kasso::ValidationError("会员编号有误", "memberid");
    }
    stored_password = db.QueryText("select memberpw from membermaster where memberid = ?", id);
  } catch (const store::DbError&) {
    stored_password.reset();
  }
  if (!stored_password) throw kasso::ValidationError("会员有误", "memberid");
  if (*stored_password != password) throw kasso::ValidationError("密码有误", "password");
  return id;
}

}  // namespace sale

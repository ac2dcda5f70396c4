#include "core/sale/member_selection.h"

#include "core/common/error.h"
#include "core/common/password.h"
#include "core/lookups/members.h"
#include "core/store/database.h"
#include "core/store/sharing.h"

namespace sale {

std::string CheckMemberSelection(const std::string& typed_id, const std::string& password) {
  std::string id = typed_id.substr(0, typed_id.find_last_not_of(" \t\r\n") + 1);
  if (id.empty()) throw common::ValidationError("会员编号不能为空", "memberid");
  std::optional<std::string> stored_password;
  bool match = false;
  try {
    store::Database db;
    if (!lookups::HasMember(db, id)) {
      id = lookups::MemberIdByPhoneOrCard(db, id);
      if (id.empty()) throw common::ValidationError("会员编号有误", "memberid");
    }
    store::Transaction tx(db);
    stored_password = db.QueryText("select memberpw from membermaster where memberid = ?", id);
    match = stored_password && common::PasswordMatches(*stored_password, password);
    // A password an older version kept as typed is replaced by its hash at its first use.
    if (match && !common::IsPasswordHash(*stored_password)) {
      store::LocalOnly local(db);  // a sale never waits for the shop server over this
      db.Exec("update membermaster set memberpw = ? where memberid = ?",
              common::HashPassword(password), id);
      tx.Commit();
    }
  } catch (const store::DbError&) {
    stored_password.reset();
  }
  if (!stored_password) throw common::ValidationError("会员有误", "memberid");
  if (!match) throw common::ValidationError("密码有误", "password");
  return id;
}

}  // namespace sale

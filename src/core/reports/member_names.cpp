#include "core/reports/member_names.h"

#include "core/common/error.h"
#include "core/store/database.h"

namespace reports {

std::vector<std::string> ListMemberNames() {
  try {
    store::Database db;
    // Grouped by name, each name where it first appears in the member list.
    store::Statement names = db.Query(
        "select membername from membermaster where membername is not null "
        "group by membername order by min(rowid)");
    std::vector<std::string> list;
    while (names.Step()) list.push_back(names.Text(0));
    return list;
  } catch (const store::DbError&) {
    throw common::UserError("设定有误");
  }
}

std::string MemberIdForName(const std::string& name) {
  try {
    store::Database db;
    return db
        .QueryText("select memberid from membermaster where membername = ? order by rowid limit 1",
                   name)
        .value_or("");
  } catch (const store::DbError&) {
    throw common::UserError("设定有误");
  }
}

}  // namespace reports

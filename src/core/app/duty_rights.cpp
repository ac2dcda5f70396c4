#include "core/app/duty_rights.h"

#include <vector>

#include "core/app/accounts.h"
#include "core/common/error.h"
#include "core/store/audit.h"
#include "core/store/database.h"

namespace app {
namespace {

using lookups::Right;

// "sales,operator,...": every right column, in the order of the rights.
std::string RightColumnList() {
  std::string list;
  for (const lookups::RightColumn& right : lookups::kRights) {
    if (!list.empty()) list += ',';
    list += right.column;
  }
  return list;
}

}  // namespace

DutyRights LoadDutyRights(const std::string& duty) {
  DutyRights rights{};
  store::Database db;
  store::Statement row =
      db.Query("select " + RightColumnList() + " from dutyrights where operatorduty = ?", duty);
  if (!row.Step()) return rights;
  for (std::size_t i = 0; i < rights.size(); ++i) {
    int column = static_cast<int>(i);
    rights[i] = !row.IsNull(column) && row.Int(column) != 0;
  }
  return rights;
}

void SaveDutyRights(const std::string& duty, const DutyRights& rights, const std::string& actor) {
  const bool manager = duty == kManagerDuty;
  if (!manager && duty != kCashierDuty) throw kasso::UserError("职责选择有误");

  // Column names come from the fixed list only; the values are bound.
  std::string assignments;
  std::vector<int> values;
  for (std::size_t i = 0; i < rights.size(); ++i) {
    const lookups::RightColumn& right = lookups::kRights[i];
    if (manager && right.right == Right::kDutyRights) continue;
    if (!assignments.empty()) assignments += ',';
    assignments += std::string(right.column) + " = ?";
    values.push_back(rights[i] ? 1 : 0);
  }

  store::Database db;
  store::Transaction tx(db);
  store::Statement update =
      db.Query("update dutyrights set " + assignments + " where operatorduty = ?");
  int index = 0;
  for (int value : values) update.Bind(++index, value);
  update.Bind(++index, duty);
  update.Run();

  if (sqlite3_changes(db.handle()) == 0) {
    // A duty whose row went missing would otherwise report a save that stored nothing.
    std::string placeholders;
    for (std::size_t i = 0; i < rights.size(); ++i) placeholders += ",?";
    store::Statement insert = db.Query("insert into dutyrights (operatorduty," + RightColumnList() +
                                       ") values (?" + placeholders + ")");
    insert.Bind(1, duty);
    for (std::size_t i = 0; i < rights.size(); ++i) {
      bool granted = rights[i] || (manager && lookups::kRights[i].right == Right::kDutyRights);
      insert.Bind(static_cast<int>(i) + 2, granted ? 1 : 0);
    }
    insert.Run();
  }
  std::string granted;
  for (std::size_t i = 0; i < rights.size(); ++i) {
    if (rights[i])
      granted += (granted.empty() ? "" : ",") + std::string(lookups::kRights[i].column);
  }
  store::WriteAudit(db, {actor, store::kAuditRightsChanged, duty + ": " + granted, 0});
  tx.Commit();
}

}  // namespace app

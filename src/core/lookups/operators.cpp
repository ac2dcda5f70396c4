#include "core/lookups/operators.h"

#include <algorithm>

#include "core/lookups/open_or.h"

namespace servicelib {

std::string GetOperatorName(store::Database& db, const std::string& workno) {
  return db.QueryText("select operatorname from operatormaster where workno = ?", workno)
      .value_or("");
}
std::string GetOperatorName(const std::string& workno) {
  return OpenOr<std::string>("", [&](auto& db) { return GetOperatorName(db, workno); });
}

std::string GetOperatorNameFromWorkNo(const std::string& workno) { return GetOperatorName(workno); }

bool CheckRights(store::Database& db, const std::string& right, const std::string& workno) {
  auto known = std::find(kRightColumns.begin(), kRightColumns.end(), right);
  if (known == kRightColumns.end()) return false;
  store::Statement row = db.Query("select b." + std::string(*known) +
                                      " from operatormaster a left join dutyrights b on "
                                      "(a.operatorduty = b.operatorduty) where a.workno = ?",
                                  workno);
  return row.Step() && !row.IsNull(0) && row.Int(0) != 0;
}
bool CheckRights(const std::string& right, const std::string& workno) {
  return OpenOr(false, [&](auto& db) { return CheckRights(db, right, workno); });
}

}  // namespace servicelib

#include "core/lookups/operators.h"

#include <algorithm>

namespace lookups {

std::string OperatorName(store::Database& db, const std::string& workno) {
  return db.QueryText("select operatorname from operatormaster where workno = ?", workno)
      .value_or("");
}

bool HasRight(store::Database& db, const std::string& right, const std::string& workno) {
  auto known = std::find(kRightColumns.begin(), kRightColumns.end(), right);
  if (known == kRightColumns.end()) return false;
  store::Statement row = db.Query("select b." + std::string(*known) +
                                      " from operatormaster a left join dutyrights b on "
                                      "(a.operatorduty = b.operatorduty) where a.workno = ?",
                                  workno);
  return row.Step() && !row.IsNull(0) && row.Int(0) != 0;
}

}  // namespace lookups

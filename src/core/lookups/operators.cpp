#include "core/lookups/operators.h"

namespace lookups {

std::string OperatorName(store::Database& db, const std::string& workno) {
  return db.QueryText("select operatorname from operatormaster where workno = ?", workno)
      .value_or("");
}

bool HasRight(store::Database& db, Right right, const std::string& workno) {
  // The column name comes from the rights table, never from input.
  store::Statement row = db.Query("select b." + std::string(RightColumnName(right)) +
                                      " from operatormaster a left join dutyrights b on "
                                      "(a.operatorduty = b.operatorduty) where a.workno = ?",
                                  workno);
  return row.Step() && !row.IsNull(0) && row.Int(0) != 0;
}

}  // namespace lookups

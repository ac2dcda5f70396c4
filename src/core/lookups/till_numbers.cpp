#include "core/lookups/till_numbers.h"

#include "core/lookups/open_or.h"

namespace servicelib {

std::int64_t GetTranNo(store::Database& db) {
  // A bare max() over the indexed column is one index probe, whatever the journal's size.
  return db.QueryInt("select max(transactionnumber) from transactiondetails").value_or(0) + 1;
}
std::int64_t GetTranNo() {
  return OpenOr<std::int64_t>(1, [](auto& db) { return GetTranNo(db); });
}

std::int64_t GetMaxHandUpListnumber(store::Database& db) {
  return db.QueryInt("select max(listnumber) from transactionpendinglist").value_or(0) + 1;
}
std::int64_t GetMaxHandUpListnumber() {
  return OpenOr<std::int64_t>(1, [](auto& db) { return GetMaxHandUpListnumber(db); });
}

std::string GetMemberidFromHandUpListLocalFunc(store::Database& db, std::int64_t listnumber) {
  return db
      .QueryText(
          "select ifnull(memberid,'') from transactionpendinglist where listnumber = ? "
          "order by rowid limit 1",
          listnumber)
      .value_or("");
}
std::string GetMemberidFromHandUpListLocalFunc(std::int64_t listnumber) {
  return OpenOr<std::string>(
      "", [&](auto& db) { return GetMemberidFromHandUpListLocalFunc(db, listnumber); });
}

}  // namespace servicelib

#include "core/lookups/till_numbers.h"

namespace lookups {

std::int64_t NextBillNumber(store::Database& db) {
  // A bare max() over the indexed column is one index probe, whatever the journal's size.
  return db.QueryInt("select max(transactionnumber) from transactiondetails").value_or(0) + 1;
}

std::int64_t NextParkedNumber(store::Database& db) {
  return db.QueryInt("select max(listnumber) from transactionpendinglist").value_or(0) + 1;
}

std::string ParkedSaleMember(store::Database& db, std::int64_t listnumber) {
  return db
      .QueryText(
          "select ifnull(memberid,'') from transactionpendinglist where listnumber = ? "
          "order by rowid limit 1",
          listnumber)
      .value_or("");
}

}  // namespace lookups

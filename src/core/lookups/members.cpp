#include "core/lookups/members.h"

#include "core/common/format.h"
#include "core/store/yes_no.h"

namespace lookups {

bool HasMember(store::Database& db, const std::string& memberid) {
  return db.HasRow("select 1 from membermaster where memberid = ?", memberid);
}

bool IsStoredValueMember(store::Database& db, const std::string& memberid) {
  return store::YesNo(
      db.QueryText("select depositmode from membermaster where memberid = ?", memberid)
          .value_or(""));
}

bool HasDiscountOnDiscount(store::Database& db, const std::string& memberid) {
  return store::YesNo(
      db.QueryText("select disondis from membermaster where memberid = ?", memberid).value_or(""));
}

double MemberDiscountRate(store::Database& db, const std::string& memberid) {
  // A member without a rate (older rows) pays full price, not nothing.
  return db.QueryDouble("select ifnull(disrate,1) from membermaster where memberid = ?", memberid)
      .value_or(1.0);
}

double MemberBalance(store::Database& db, const std::string& memberid) {
  return db.QueryDouble("select depositvalue from membermaster where memberid = ?", memberid)
      .value_or(0.0);
}

double MemberPoints(store::Database& db, const std::string& memberid) {
  return db.QueryDouble("select memberpointsvalue from membermaster where memberid = ?", memberid)
      .value_or(0.0);
}

std::string MemberPriceMode(store::Database& db, const std::string& memberid) {
  std::string mode =
      db.QueryText("select dismode from membermaster where memberid = ?", memberid).value_or("");
  return mode.empty() ? "没有优惠" : mode;
}

std::string MemberName(store::Database& db, const std::string& memberid) {
  return db.QueryText("select membername from membermaster where memberid = ?", memberid)
      .value_or("");
}

std::string MemberPaneText(store::Database& db, const std::string& memberid) {
  store::Statement row = db.Query(
      "select membername,memberpointsmode,memberpointsvalue,depositmode,depositvalue,dismode,"
      "ifnull(disrate,1),disondis from membermaster where memberid = ?",
      memberid);
  if (!row.Step()) return "普通客户";
  std::string text = "[会员名称:" + row.Text(0) + "]";
  if (store::YesNo(row.Text(3))) text += "[储值会员,储值金额:" + kasso::Money(row.Double(4)) + "]";
  if (store::YesNo(row.Text(1))) text += "[积分会员,现有积分:" + kasso::Money(row.Double(2)) + "]";
  text += "[优惠方式:" + row.Text(5);
  if (row.Text(5) == "会员折扣") {
    text += "][折扣率:" + kasso::Fixed(row.Double(6) * 100, 0) + "%]";
  } else {
    text += "]";
  }
  if (store::YesNo(row.Text(7))) text += "[折上折]";
  return text;
}

std::string MemberIdByPhoneOrCard(store::Database& db, const std::string& phone_or_pid) {
  if (phone_or_pid.empty()) return {};
  // Two indexed look-ups rather than one "or", which would scan the table.
  auto by_phone =
      db.QueryText("select memberid from membermaster where memberphone = ? order by rowid limit 1",
                   phone_or_pid);
  if (by_phone) return *by_phone;
  return db
      .QueryText("select memberid from membermaster where memberpid = ? order by rowid limit 1",
                 phone_or_pid)
      .value_or("");
}

}  // namespace lookups

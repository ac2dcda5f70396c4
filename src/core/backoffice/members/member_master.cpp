#include "core/backoffice/members/member_master.h"

#include "core/common/error.h"
#include "core/common/format.h"
#include "core/common/password.h"
#include "core/lookups/members.h"
#include "core/lookups/numbers.h"
#include "core/store/database.h"
#include "core/store/yes_no.h"

namespace backoffice {
namespace {

using common::Trim;
using common::ValidationError;
using lookups::ReadTypedNumber;
using lookups::RoundTo;
using lookups::TillNumber;

constexpr const char* kRowsSelect =
    "select rowid,memberid,membername,membersex,memberpid,memberphone,depositmode,depositvalue,"
    "memberpointsmode,memberpointsvalue,dismode,disrate,disondis,birthday,memberaddress "
    "from membermaster where rowid in (";

MemberListRow ReadRow(const store::Statement& s) {
  MemberListRow row;
  row.rowid = s.Int(0);
  row.memberid = s.Text(1);
  row.membername = s.Text(2);
  row.membersex = s.Text(3);
  row.memberpid = s.Text(4);
  row.memberphone = s.Text(5);
  row.depositmode = s.Text(6);
  row.depositvalue = s.Double(7);
  row.memberpointsmode = s.Text(8);
  row.memberpointsvalue = s.Double(9);
  row.dismode = s.Text(10);
  row.disrate = s.Double(11);
  row.disondis = s.Text(12);
  row.birthday = s.Text(13);
  row.memberaddress = s.Text(14);
  return row;
}

bool IsAdvantage(const std::string& mode) {
  return mode == kAdvantageNone || mode == kAdvantagePrice || mode == kAdvantageDiscount;
}

// A yes/no drop-down that must hold one of the two values.
std::string CheckFlag(const std::string& text, const char* empty_message, const char* wrong_message,
                      const char* field) {
  const std::string flag = Trim(text);
  if (flag.empty()) throw ValidationError(empty_message, field);
  if (flag != kFlagYes && flag != kFlagNo) throw ValidationError(wrong_message, field);
  return flag;
}

// The fields after the checks, trimmed where it matters, numbers read and rounded.
struct CheckedMember {
  MemberFields text;
  double disrate = 1;
  double points = 0;
  bool points_typed = false;
  std::string password_hash;  // of the typed password
};

CheckedMember Check(const MemberFields& fields) {
  CheckedMember member;
  MemberFields& f = member.text;
  f = fields;
  f.memberid = Trim(f.memberid);
  f.membername = Trim(f.membername);
  f.dismode = Trim(f.dismode);
  f.disrate = Trim(f.disrate);
  if (f.memberid.empty()) throw ValidationError("会员编号不能为空", "memberid");
  if (f.membername.empty()) throw ValidationError("名称不能为空", "membername");
  if (!IsAdvantage(f.dismode)) throw ValidationError("请选择优惠方式", "dismode");
  if (f.disrate.empty()) f.disrate = "1";
  f.depositmode = CheckFlag(f.depositmode, "必须选择是否储值", "是否储值选择有误", "depositmode");
  f.memberpointsmode =
      CheckFlag(f.memberpointsmode, "必须选择是否积分", "是否积分选择有误", "memberpointsmode");

  // Only a member discount has a rate of its own; it is a factor of the price, so a rate
  // above 1 would charge more and one below 0 would pay the member.
  if (f.dismode == kAdvantageDiscount) {
    const std::optional<double> rate = ReadTypedNumber(f.disrate, TillNumber::kAmount);
    if (!rate || RoundTo(*rate, 2) < 0 || RoundTo(*rate, 2) > 1) {
      throw ValidationError("折扣率有误", "disrate");
    }
    member.disrate = RoundTo(*rate, 2);
  } else {
    f.disondis = false;
  }

  const std::string points = Trim(f.memberpointsvalue);
  const std::optional<double> typed =
      points.empty() ? 0.0 : ReadTypedNumber(points, TillNumber::kAmount);
  if (!typed) throw ValidationError("积分值有误", "memberpointsvalue");
  member.points = RoundTo(*typed, 2);
  const std::optional<double> shown = ReadTypedNumber(f.points_shown, TillNumber::kAmount);
  member.points_typed =
      shown ? RoundTo(*shown, 2) != member.points : Trim(f.points_shown) != points;
  return member;
}

void Update(store::Database& db, const CheckedMember& member) {
  const MemberFields& f = member.text;
  const char* disondis = store::ToYesNo(f.disondis);
  db.Exec(
      "update membermaster set membername = ?,membersex = ?,memberpid = ?,memberphone = ?,"
      "memberaddress = ?,depositmode = ?,memberpointsmode = ?,dismode = ?,"
      "disrate = ?,disondis = ? where memberid = ?",
      f.membername, f.membersex, f.memberpid, f.memberphone, f.memberaddress, f.depositmode,
      f.memberpointsmode, f.dismode, member.disrate, disondis, f.memberid);
  if (!f.memberpw.empty()) {
    db.Exec("update membermaster set memberpw = ? where memberid = ?", member.password_hash,
            f.memberid);
  }
  if (member.points_typed) {
    db.Exec("update membermaster set memberpointsvalue = ? where memberid = ?", member.points,
            f.memberid);
  }
}

void Insert(store::Database& db, const CheckedMember& member) {
  const MemberFields& f = member.text;
  db.Exec(
      "insert into membermaster (memberid,membername,membersex,memberpid,memberphone,"
      "depositmode,memberpointsmode,memberaddress,memberpointsvalue,depositvalue,memberpw,"
      "dismode,disrate,disondis) values (?,?,?,?,?,?,?,?,?,0,?,?,?,?)",
      f.memberid, f.membername, f.membersex, f.memberpid, f.memberphone, f.depositmode,
      f.memberpointsmode, f.memberaddress, member.points, member.password_hash, f.dismode,
      member.disrate, store::ToYesNo(f.disondis));
}

}  // namespace

std::vector<MemberListEntry> LoadMembers() {
  store::Database db;
  store::ReadTransaction reading(db);
  std::vector<MemberListEntry> entries;
  entries.reserve(
      static_cast<size_t>(db.QueryInt("select count(*) from membermaster").value_or(0)));
  store::Statement statement =
      db.Query("select rowid,memberid,membername from membermaster order by rowid");
  while (statement.Step()) {
    entries.push_back({statement.Int(0), statement.Text(1), statement.Text(2)});
  }
  return entries;
}

std::vector<MemberListRow> LoadMemberRows(const std::vector<std::int64_t>& rowids) {
  std::vector<MemberListRow> rows(rowids.size());
  if (rowids.empty()) return rows;
  store::Database db;
  store::ForEachRowOf(db, kRowsSelect, rowids,
                      [&](const store::Statement& row, size_t at) { rows[at] = ReadRow(row); });
  return rows;
}

std::optional<MemberFields> LoadMemberForEdit(const std::string& memberid) {
  store::Database db;
  store::Statement s = db.Query(
      "select membername,membersex,memberpid,memberphone,depositmode,memberpointsmode,"
      "memberaddress,memberpw,memberpointsvalue,depositvalue,dismode,disrate,disondis "
      "from membermaster where memberid = ?",
      memberid);
  if (!s.Step()) return std::nullopt;
  MemberFields f;
  f.memberid = memberid;
  f.membername = s.Text(0);
  f.membersex = s.Text(1);
  f.memberpid = s.Text(2);
  f.memberphone = s.Text(3);
  f.depositmode = s.Text(4);
  f.memberpointsmode = s.Text(5);
  f.memberaddress = s.Text(6);
  f.memberpointsvalue = common::Money(s.Double(8));
  f.points_shown = f.memberpointsvalue;
  f.depositvalue = common::Money(s.Double(9));
  f.dismode = s.Text(10);
  f.disrate = s.IsNull(11) ? "1" : common::Money(s.Double(11));
  f.disondis = store::YesNo(s.Text(12));
  return f;
}

bool MemberExists(const std::string& memberid) {
  store::Database db;
  return lookups::HasMember(db, Trim(memberid));
}

bool SaveMember(const MemberFields& fields) {
  CheckedMember member = Check(fields);
  // Hashed before the transaction: the hash takes a moment, and the file need not wait for it.
  member.password_hash = common::HashPassword(fields.memberpw);
  store::Database db;
  store::Transaction tx(db);
  const bool exists =
      db.HasRow("select 1 from membermaster where memberid = ?", member.text.memberid);
  exists ? Update(db, member) : Insert(db, member);
  tx.Commit();
  return exists;
}

void DeleteMember(const std::string& memberid) {
  store::Database db;
  // A joined till sends the deletion to the shop server as the transaction commits.
  store::Transaction tx(db);
  db.Exec("delete from membermaster where memberid = ?", memberid);
  tx.Commit();
}

}  // namespace backoffice

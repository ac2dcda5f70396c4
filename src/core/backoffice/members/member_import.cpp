#include <algorithm>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/backoffice/members/member_files.h"
#include "core/backoffice/members/member_master.h"
#include "core/common/error.h"
#include "core/common/password.h"
#include "core/files/import_check.h"
#include "core/files/spreadsheet.h"
#include "core/files/text_file.h"
#include "core/lookups/numbers.h"
#include "core/store/database.h"

namespace backoffice {
namespace {

using files::RefuseLine;
using files::Trimmed;

constexpr std::size_t kProgressStep = 512;

// One member of a file as its cells give it; empty where the file leaves a cell out.
struct MemberCells {
  int line = 0;
  std::string id, name, pid, phone, address, sex, points_flag, points, deposit_flag, balance,
      password;
};

// One member of a file after its checks.
struct NewMember {
  MemberCells text;
  double points = 0;
  double balance = 0;
};

std::string Flag(const std::string& cell, int line, const char* message) {
  std::string flag = Trimmed(cell);
  if (flag.empty()) return kFlagNo;
  if (flag != kFlagYes && flag != kFlagNo) RefuseLine(line, message);
  return flag;
}

// An amount within what the till holds, rounded to 2 decimals; empty reads 0.
double Amount(const std::string& cell, int line, const char* message) {
  const double value = files::ImportNumberOr(cell, 0, line, message);
  if (!lookups::WithinTillRange(value, lookups::TillNumber::kAmount)) {
    RefuseLine(line, message);
  }
  return lookups::RoundTo(value, 2);
}

NewMember Check(const MemberCells& cells) {
  const int line = cells.line;
  NewMember member{cells};
  MemberCells& t = member.text;
  t.id = Trimmed(t.id);
  t.name = Trimmed(t.name);
  if (t.id.empty()) RefuseLine(line, "会员编号不能为空");
  if (t.name.empty()) RefuseLine(line, "名称不能为空");
  t.points_flag = Flag(t.points_flag, line, "是否积分选择有误");
  member.points = Amount(t.points, line, "积分值有误");
  t.deposit_flag = Flag(t.deposit_flag, line, "是否储值选择有误");
  member.balance = Amount(t.balance, line, "储值金额有误");
  return member;
}

// Writes the checked members in one transaction with one prepared statement.
MembersImported Write(const std::vector<NewMember>& members, const files::Progress& progress) {
  store::Database db;
  store::Transaction tx(db);
  store::Statement exists = db.Query("select 1 from membermaster where memberid = ?");
  store::Statement insert = db.Query(
      "insert into membermaster (memberid,membername,memberpid,memberphone,memberaddress,"
      "membersex,memberpointsmode,memberpointsvalue,depositmode,depositvalue,memberpw,dismode,"
      "disrate,disondis) values (?,?,?,?,?,?,?,?,?,?,?,?,1,?)");
  std::unordered_set<std::string> seen;
  MembersImported result;
  std::size_t done = 0;
  for (const NewMember& m : members) {
    if (++done % kProgressStep == 0) files::ReportProgress(progress, done, members.size());
    const MemberCells& t = m.text;
    exists.Reset();
    exists.Bind(1, t.id);
    if (exists.Step() || !seen.insert(t.id).second) {
      ++result.skipped;
      continue;
    }
    insert.Reset();
    // A file this program wrote carries the hash, which is kept; a typed password is hashed.
    // An empty one stays empty: it guards nothing, and hashing it would only slow the import.
    const std::string password =
        t.password.empty() ? std::string() : kasso::StoredPassword(t.password);
    insert.BindAll(t.id, t.name, t.pid, t.phone, t.address, t.sex, t.points_flag, m.points,
                   t.deposit_flag, m.balance, password, kAdvantageNone, kFlagNo);
    insert.Run();
    ++result.added;
  }
  files::ReportProgress(progress, members.size(), members.size());
  tx.Commit();
  return result;
}

}  // namespace

MembersImported ImportMembersText(const std::filesystem::path& file,
                                  const files::Progress& progress) {
  std::vector<files::TextRecord> records = files::ReadTextRecords(file, progress);
  std::vector<NewMember> members;
  members.reserve(records.size());
  for (files::TextRecord& record : records) {
    files::RequireFields(record, 10, "会员");
    std::vector<std::string>& f = record.fields;
    f.resize(std::max<std::size_t>(f.size(), 11));
    members.push_back(
        Check({record.line, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10]}));
  }
  return Write(members, progress);
}

MembersImported ImportMembersSpreadsheet(const std::filesystem::path& file,
                                         const files::Progress& progress) {
  const files::Sheet sheet = files::ReadSpreadsheet(
      file, kMemberSheet,
      {"编号", "名称", "身份证", "电话", "地址", "性别", "积分", "积分值", "储值", "储值金额"},
      progress);
  const int id = sheet.Column("编号");
  const int name = sheet.Column("名称");
  if (id < 0 || name < 0) throw kasso::UserError("会员导入文件中必须包括: 编号,名称");
  const int columns[] = {sheet.Column("身份证"), sheet.Column("电话"),    sheet.Column("地址"),
                         sheet.Column("性别"),   sheet.Column("积分"),    sheet.Column("积分值"),
                         sheet.Column("储值"),   sheet.Column("储值金额")};
  std::vector<NewMember> members;
  members.reserve(sheet.rows.size());
  for (std::size_t i = 0; i < sheet.rows.size(); ++i) {
    const std::vector<std::string>& row = sheet.rows[i];
    auto cell = [&row](int column) { return column < 0 ? std::string() : row[column]; };
    bool blank = true;
    for (const std::string& text : row) blank = blank && Trimmed(text).empty();
    if (blank) continue;
    members.push_back(Check({static_cast<int>(i) + 2, cell(id), cell(name), cell(columns[0]),
                             cell(columns[1]), cell(columns[2]), cell(columns[3]), cell(columns[4]),
                             cell(columns[5]), cell(columns[6]), cell(columns[7]), ""}));
  }
  return Write(members, progress);
}

}  // namespace backoffice

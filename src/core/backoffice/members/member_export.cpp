#include <string>
#include <vector>

#include "core/backoffice/members/member_files.h"
#include "core/common/format.h"
#include "core/files/spreadsheet.h"
#include "core/files/text_file.h"
#include "core/store/database.h"

namespace backoffice {
namespace {

constexpr std::size_t kProgressStep = 512;

// The export's rows in id order, each as the eleven field texts of the text layout.
template <typename Write>
void ForEachMember(const files::Progress& progress, Write&& write) {
  store::Database db;
  store::ReadTransaction reading(db);
  const std::size_t total =
      static_cast<std::size_t>(db.QueryInt("select count(*) from membermaster").value_or(0));
  store::Statement s = db.Query(
      "select memberid,membername,memberpid,memberphone,memberaddress,membersex,"
      "memberpointsmode,memberpointsvalue,depositmode,depositvalue,memberpw from membermaster "
      "order by memberid");
  std::vector<std::string> fields(11);
  std::size_t done = 0;
  while (s.Step()) {
    for (int column = 0; column < 11; ++column) fields[column] = s.Text(column);
    fields[7] = common::Money(s.Double(7));
    fields[9] = common::Money(s.Double(9));
    write(fields);
    if (++done % kProgressStep == 0) files::ReportProgress(progress, done, total);
  }
  files::ReportProgress(progress, done, total);
}

}  // namespace

std::size_t CountMembers() {
  store::Database db;
  return static_cast<std::size_t>(db.QueryInt("select count(*) from membermaster").value_or(0));
}

void ExportMembersText(const std::filesystem::path& file, const files::Progress& progress) {
  files::TextFileWriter writer(file);
  ForEachMember(progress, [&](const std::vector<std::string>& fields) {
    writer.Line(files::TextLine(fields, false));
  });
  writer.Commit();
}

void ExportMembersSpreadsheet(const std::filesystem::path& file, const files::Progress& progress) {
  files::SpreadsheetWriter writer(file, kMemberSheet,
                                  {{"编号", false},
                                   {"名称", false},
                                   {"身份证", false},
                                   {"电话", false},
                                   {"地址", false},
                                   {"性别", false},
                                   {"积分", false},
                                   {"积分值", true},
                                   {"储值", false},
                                   {"储值金额", true}});
  // The password stays out of the workbook: only the text file carries it.
  ForEachMember(progress, [&](std::vector<std::string> fields) {
    fields.pop_back();
    writer.Row(fields);
  });
  writer.Commit();
}

}  // namespace backoffice

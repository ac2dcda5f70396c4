#include "core/backoffice/members/member_files.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/common/password.h"
#include "core/common/text_encoding.h"
#include "core/files/spreadsheet.h"
#include "members_fixture.h"

namespace {

namespace fs = std::filesystem;
using backoffice::MembersImported;
using testing_support::ErrorOf;

const fs::path kFixtures = TILLWISE_FIXTURES;

class MemberFilesTest : public members_testing::MembersFixture {
 protected:
  // Every member as the files carry it, password last.
  std::string Members() const {
    return RowsOf(
        "select memberid,membername,memberpid,memberphone,memberaddress,membersex,"
        "memberpointsmode,memberpointsvalue,depositmode,depositvalue,memberpw from membermaster "
        "order by memberid");
  }
  void WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(dir() / name, std::ios::binary) << bytes;
  }
};

TEST_F(MemberFilesTest, TextExportIsByteExactAndRoundTripsKeepPasswordsOnlyInText) {
  Open().Exec("update membermaster set memberaddress = '北京,朝阳' where memberid = 'M3'");
  backoffice::ExportMembersText(dir() / "会员.txt");
  EXPECT_EQ(kasso::GbkToUtf8(testing_support::FileBytes(dir() / "会员.txt")),
            "M1,张三,110101,13800000001,北京,男,是,500.00,是,100.00,pw\r\n"
            "M2,李四,110102,13800000002,北京,男,否,0.00,是,0.00,pw\r\n"
            "M3,王五,110103,13800000003,\"北京,朝阳\",男,否,0.00,否,0.00,pw\r\n");
  // A line break in a name comes back from either file as it was; a stored hash comes back
  // from the text file unchanged.
  Open().Exec(
      "update membermaster set membername = '王' || char(13, 10) || '五' where memberid = 'M3'");
  const std::string hash = kasso::HashPassword("pw");
  Open().Exec("update membermaster set memberpw = ?", hash);
  const std::string before = Members();
  for (const char* name : {"会员.txt", "会员.xlsx"}) {
    const bool text = fs::path(name).extension() == ".txt";
    text ? backoffice::ExportMembersText(dir() / name)
         : backoffice::ExportMembersSpreadsheet(dir() / name);
    Open().Exec("delete from membermaster");
    MembersImported imported = text ? backoffice::ImportMembersText(dir() / name)
                                    : backoffice::ImportMembersSpreadsheet(dir() / name);
    EXPECT_EQ(imported.added, 3u) << name;
    std::string expected = before;
    if (!text) {
      for (size_t at; (at = expected.find("|" + hash + "|")) != std::string::npos;) {
        expected.erase(at + 1, hash.size());
      }
    }
    EXPECT_EQ(Members(), expected) << name;
    EXPECT_EQ(Stored("dismode", "M2") + Stored("disrate", "M2") + Stored("disondis", "M2"),
              "没有优惠1.0否");
  }
  const files::Sheet sheet = files::ReadSpreadsheet(dir() / "会员.xlsx", "会员信息");
  EXPECT_EQ(sheet.names.size(), 10u);
  EXPECT_EQ(sheet.Column("密码"), -1);
  EXPECT_EQ(sheet.rows[0][sheet.Column("积分值")], "500");
}

TEST_F(MemberFilesTest, OneBadLineRefusesTheWholeFileAndStoredOrRepeatedIdsAreSkipped) {
  const std::string good = "M8,吴九,1,2,3,男,是,1,是,1,pw\r\n";
  const std::pair<std::string, std::string> cases[] = {
      {good + "M9,郑十,1,2,3,男,是,1,是\r\n", "第 2 行: 会员字段不足"},
      {good + good + ",郑十,1,2,3,男,是,1,是,1\r\n", "第 3 行: 会员编号不能为空"},
      {good + "M9, ,1,2,3,男,是,1,是,1\r\n", "第 2 行: 名称不能为空"},
      {good + "M9,郑十,1,2,3,男,有,1,是,1\r\n", "第 2 行: 是否积分选择有误"},
      {good + "M9,郑十,1,2,3,男,是,many,是,1\r\n", "第 2 行: 积分值有误"},
      {good + "M9,郑十,1,2,3,男,是,1,x,1\r\n", "第 2 行: 是否储值选择有误"},
      {good + "M9,郑十,1,2,3,男,是,1,是,99999999999\r\n", "第 2 行: 储值金额有误"},
  };
  for (const auto& [bytes, message] : cases) {
    WriteFile("bad.txt", bytes);
    EXPECT_EQ(ErrorOf([&] { backoffice::ImportMembersText(dir() / "bad.txt"); }), message);
  }
  // A workbook another program wrote, with a points figure where the flag belongs.
  EXPECT_EQ(ErrorOf([] { backoffice::ImportMembersSpreadsheet(kFixtures / "members.ods"); }),
            "第 2 行: 是否积分选择有误");
  EXPECT_EQ(Count("select count(*) from membermaster"), 3);
  const std::string lines =
      "M1,别人,1,2,3,女,否,0,否,0,x\r\n"
      "M7,周八,110107,13800000007,上海,女,是,12.5,是,30\r\n"
      "M7,又一个,1,2,3,女,否,0,否,0,x\r\n";
  WriteFile("m.txt", kasso::Utf8ToGbk(lines));  // GBK and UTF-8 read alike: TextFileTest
  MembersImported result = backoffice::ImportMembersText(dir() / "m.txt");
  EXPECT_EQ(result.added * 10 + result.skipped, 12u);
  EXPECT_EQ(Stored("membername", "M1"), "张三");
  EXPECT_EQ(Stored("membername", "M7") + Stored("memberpointsvalue", "M7") +
                Stored("depositvalue", "M7") + Stored("memberpw", "M7"),
            "周八12.530.0");
}

TEST_F(MemberFilesTest, ALibreOfficeListReadsCurrencyPercentAndStyledNumbersAsTheirValues) {
  EXPECT_EQ(backoffice::ImportMembersSpreadsheet(kFixtures / "cell_kinds.ods").added, 2u);
  EXPECT_EQ(Stored("membername", "M100") + Stored("memberpointsvalue", "M100") +
                Stored("depositvalue", "M100") + Stored("memberpointsvalue", "M101"),
            "张三12.5300.00.15");
}

}  // namespace

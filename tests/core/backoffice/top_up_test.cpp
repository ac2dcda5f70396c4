#include "core/backoffice/members/top_up.h"

#include <gtest/gtest.h>

#include "core/common/clock.h"
#include "core/devices/slip_printer.h"
#include "members_fixture.h"

namespace {

using backoffice::SaveTopUp;
using testing_support::ErrorOf;

struct FakeDriver : print::DriverPrinter {
  std::string Print(const print::Slip& slip, const std::string&, int) override {
    slips.push_back(slip);
    return answer;
  }
  std::vector<print::Slip> slips;
  std::string answer;
};

class TopUpTest : public members_testing::MembersFixture {
 protected:
  void SetUp() override {
    MembersFixture::SetUp();
    kasso::SetFixedClock(kasso::MakeTime(2024, 5, 6, 10, 0, 0));
    Open().Exec("insert into operatormaster values ('8','李店长','8','经理')");
  }
  void TearDown() override {
    print::SetDriverPrinter(nullptr);
    MembersFixture::TearDown();
  }
  static std::string Save(const std::string& member, const std::string& amount) {
    return ErrorOf([&] { SaveTopUp(member, amount, false, "8"); });
  }
  static std::string Button(const std::string& member, const std::string& amount) {
    return ErrorOf([&] { backoffice::CheckTopUpEntry(member, amount); });
  }
};

TEST_F(TopUpTest, ATopUpByPhoneOrIdentityCardGoesToTheIdAndANegativeOneLowersTheBalance) {
  EXPECT_EQ(SaveTopUp(" 13800000002 ", "88.8", false, "8").memberid, "M2");
  EXPECT_EQ(SaveTopUp("110102", "11.204", false, "8").amount, 11.2);
  EXPECT_EQ(Balance("M2"), 100);
  EXPECT_EQ(Rows("depositbak"),
            "M2|88.8|2024-05-06 10:00:00|\n"
            "M2|11.2|2024-05-06 10:00:00|\n");
  SaveTopUp("M1", "-50", false, "8");
  EXPECT_EQ(Balance("M1"), 50);
  EXPECT_EQ(Count("select count(*) from depositbak where depositvalue = -50"), 1);
}

TEST_F(TopUpTest, ChecksRefuseInOrderOnBothPathsAndHoldTheCeiling) {
  const std::pair<std::pair<const char*, const char*>, const char*> cases[] = {
      {{" ", "x"}, "会员编号不能为空"},           {{"M404", "0"}, "此会员不存在"},
      {{"M3", "0"}, "此会员不是储值会员"},        {{"M1", "12元"}, "储值金额有误"},
      {{"M1", "0.004"}, "储值金额不能为0"},       {{"M1", "9900000000.01"}, "储值金额过大"},
      {{"M1", "-9900000000.01"}, "储值金额过大"}, {{"13800000001", "1e3"}, "储值金额有误"},
  };
  for (const auto& [input, message] : cases) {
    EXPECT_EQ(Save(input.first, input.second), message) << input.first << " " << input.second;
  }
  EXPECT_EQ(Balance("M1"), 100);
  EXPECT_EQ(Count("select count(*) from depositbak"), 0);
  EXPECT_EQ(Button("13800000001", "5"), "此会员不存在");  // a phone must be resolved first
  EXPECT_EQ(Button("", "5"), "此会员不存在");
  EXPECT_EQ(Button("*", "9900000000"), "");
  EXPECT_EQ(Button("M1", "9900000000"), "");
  EXPECT_EQ(Save("M1", "9900000000"), "");
  EXPECT_EQ(Balance("M1"), 9900000100);
}

TEST_F(TopUpTest, ABatchTopsUpExactlyItsStoredValueMembersOneHistoryRowEach) {
  AddMember("M4", "赵六", "13800000004", "110104", "是", 5, "否", 0);
  AddMember("M5", "孙七", "13800000005", "110105", "是", 7, "否", 0);
  backoffice::SaveBatchChoice({"M2"});
  backoffice::SaveBatchChoice({"M1", "M2", "M4"});
  EXPECT_EQ(backoffice::LoadBatchChoice(), (std::vector<std::string>{"M1", "M2", "M4"}));
  const auto candidates = backoffice::LoadBatchCandidates();
  ASSERT_EQ(candidates.size(), 4u);  // M3 keeps no stored value
  EXPECT_EQ(candidates[1].memberid + candidates[1].membername + candidates[1].memberphone,
            "M2李四13800000002");
  EXPECT_EQ(SaveTopUp("*", "100", false, "8").members, 3u);
  EXPECT_EQ(Balance("M1") + Balance("M2") + Balance("M4") + Balance("M5"), 200 + 100 + 105 + 7);
  EXPECT_EQ(Count("select count(*) from depositbak where depositvalue = 100 and "
                  "confirmdate = '2024-05-06 10:00:00'"),
            3);
  // A member that lost its stored value since the choice is left out; an empty batch is
  // refused rather than reported as done.
  Open().Exec("update membermaster set depositmode = '否' where memberid = 'M4'");
  EXPECT_EQ(SaveTopUp("*", "1", false, "8").members, 2u);
  EXPECT_EQ(Balance("M4"), 105);
  backoffice::SaveBatchChoice({});
  EXPECT_EQ(Save("*", "1"), "批量储值没有选择储值会员");
  EXPECT_EQ(Count("select count(*) from depositbak"), 5);
}

TEST_F(TopUpTest, TheSlipNamesMemberAmountBalanceAndOperatorAndAFailedPrintKeepsTheTopUp) {
  FakeDriver driver;
  print::SetDriverPrinter(&driver);
  Open().Exec("update management set printercontrol = '驱动打印'");
  SaveTopUp("M1", "20", false, "8");
  EXPECT_TRUE(driver.slips.empty());
  driver.answer = "打印机缺纸";
  const backoffice::TopUpDone done = SaveTopUp("M1", "30", true, "8");
  EXPECT_EQ(done.print_failure, "储值小票打印失败: 打印机缺纸");
  EXPECT_TRUE(done.unprinted_slip);  // for the screen instead
  EXPECT_EQ(Balance("M1"), 150);
  ASSERT_EQ(driver.slips.size(), 1u);
  std::string text;
  for (const print::SlipLine& line : driver.slips[0].lines) text += line.text + "\n";
  for (const char* part : {"会员储值", "M1", "张三", "30.00", "150.00", "李店长", "2024-05-06"}) {
    EXPECT_NE(text.find(part), std::string::npos) << part << " missing in\n" << text;
  }
  backoffice::SaveBatchChoice({"M1", "M2"});
  driver.answer.clear();
  backoffice::DepositConfirmation("*", 5, true, "李店长");
  ASSERT_EQ(driver.slips.size(), 2u);
  text.clear();
  for (const print::SlipLine& line : driver.slips[1].lines) text += line.text + "\n";
  EXPECT_NE(text.find("批量储值"), std::string::npos);
  EXPECT_NE(text.find("10.00"), std::string::npos) << text;
  // A till that prints nothing hands the slip back to be shown.
  Open().Exec("update management set printercontrol = '不打印'");
  const backoffice::TopUpDone shown = SaveTopUp("M1", "1", true, "8");
  EXPECT_EQ(driver.slips.size(), 2u);
  ASSERT_TRUE(shown.unprinted_slip);
  EXPECT_EQ(shown.unprinted_slip->lines.front().text, "会员储值");
}

}  // namespace

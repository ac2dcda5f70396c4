#include "core/backoffice/members/member_master.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/backoffice/members/top_up.h"
#include "members_fixture.h"

namespace {

using backoffice::MemberFields;
using testing_support::Refusal;
using testing_support::RefusalOf;

class MemberMasterTest : public members_testing::MembersFixture {
 protected:
  static MemberFields Fields(const std::string& id, const std::string& name) {
    MemberFields f;
    f.memberid = id;
    f.membername = name;
    f.membersex = "女";
    f.memberphone = "13900000009";
    f.memberpointsmode = "是";
    f.depositmode = "是";
    f.dismode = "没有优惠";
    return f;
  }
};

TEST_F(MemberMasterTest, ChecksRefuseInTheEditorsOrderAndTheAdvantageDecidesTheRate) {
  const std::tuple<std::function<void(MemberFields&)>, const char*, const char*> cases[] = {
      {[](MemberFields& f) { f.memberid = " "; }, "会员编号不能为空", "memberid"},
      {[](MemberFields& f) { f.membername = "", f.dismode = ""; }, "名称不能为空", "membername"},
      {[](MemberFields& f) { f.dismode = "", f.depositmode = "x"; }, "请选择优惠方式", "dismode"},
      {[](MemberFields& f) { f.depositmode = "x"; }, "是否储值选择有误", "depositmode"},
      {[](MemberFields& f) { f.depositmode = ""; }, "必须选择是否储值", "depositmode"},
      {[](MemberFields& f) { f.memberpointsmode = ""; }, "必须选择是否积分", "memberpointsmode"},
      {[](MemberFields& f) { f.memberpointsmode = "y"; }, "是否积分选择有误", "memberpointsmode"},
      {[](MemberFields& f) { f.dismode = "会员折扣", f.disrate = "abc"; }, "折扣率有误", "disrate"},
      {[](MemberFields& f) { f.dismode = "会员折扣", f.disrate = "1.2"; }, "折扣率有误", "disrate"},
      {[](MemberFields& f) { f.dismode = "会员折扣", f.disrate = "-0.1"; }, "折扣率有误",
       "disrate"},
      {[](MemberFields& f) { f.memberpointsvalue = "12a"; }, "积分值有误", "memberpointsvalue"},
  };
  const std::string before = Rows("membermaster");
  for (const auto& [change, message, field] : cases) {
    MemberFields fields = Fields("M9", "赵六");
    change(fields);
    EXPECT_EQ(RefusalOf([&] { backoffice::SaveMember(fields); }), (Refusal{message, field}));
  }
  EXPECT_EQ(Rows("membermaster"), before);
  // mode, rate, discount on discount -> "disrate|disondis" stored
  for (auto [mode, rate, disondis, stored] : {std::tuple{"会员折扣", "", true, "1.0|是"},
                                              {"会员折扣", "0.855", false, "0.86|否"},
                                              {"会员价", "0.8", true, "1.0|否"},
                                              {"没有优惠", "0.5", true, "1.0|否"}}) {
    MemberFields fields = Fields("M9", "赵六");
    fields.dismode = mode;
    fields.disrate = rate;
    fields.disondis = disondis;
    backoffice::SaveMember(fields);
    EXPECT_EQ(Stored("dismode || '|' || disrate || '|' || disondis", "M9"),
              std::string(mode) + "|" + stored);
  }
  EXPECT_EQ(Count("select count(*) from membermaster where memberid = 'M9'"), 1);
}

TEST_F(MemberMasterTest, SavingNeverWritesABalanceAndOnlyPointsTypedOverByHand) {
  MemberFields fields = Fields("M9", "赵六");
  fields.depositvalue = "100.00";  // left over from a member loaded before the id was changed
  fields.memberpointsvalue = "30";
  EXPECT_FALSE(backoffice::SaveMember(fields));
  EXPECT_EQ(Stored("depositvalue || '|' || memberpointsvalue || '|' || memberphone || "
                   "memberpointsmode",
                   "M9"),
            "0.0|30.0|13900000009是");
  EXPECT_FALSE(backoffice::LoadMemberForEdit("nobody"));
  std::optional<MemberFields> shown = backoffice::LoadMemberForEdit("M1");
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->depositvalue + "|" + shown->memberpointsvalue + "|" + shown->memberpw,
            "100.00|500.00|");  // only the hash is stored, and the editor never gets it
  // Meanwhile a top-up and a sale change balance and points.
  backoffice::DepositConfirmation("M1", 50, false, "店长");
  Open().Exec("update membermaster set memberpointsvalue = 520 where memberid = 'M1'");
  shown->membername = "张三丰";
  EXPECT_TRUE(backoffice::SaveMember(*shown));
  EXPECT_EQ(Stored("membername || depositvalue || '|' || memberpointsvalue", "M1"),
            "张三丰150.0|520.0");
  // Points typed over by hand are written as typed; the balance still is not.
  shown->memberpointsvalue = "600";
  shown->depositvalue = "0.00";
  backoffice::SaveMember(*shown);
  EXPECT_EQ(Stored("depositvalue || '|' || memberpointsvalue", "M1"), "150.0|600.0");
}

TEST_F(MemberMasterTest, TheListReadsKeysAtOnceAndPagesByRowidAndDeletionTouchesOnlyTheMember) {
  backoffice::DepositConfirmation("M1", 20, false, "店长");
  std::vector<backoffice::MemberListEntry> entries = backoffice::LoadMembers();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].memberid + entries[2].memberid + entries[2].membername, "M1M3王五");
  backoffice::DeleteMember("M2");
  EXPECT_EQ(Count("select count(*) from membermaster"), 2);
  EXPECT_EQ(Count("select count(*) from depositbak where memberid = 'M1'"), 1);
  const auto rows =
      backoffice::LoadMemberRows({entries[2].rowid, entries[1].rowid, entries[0].rowid});
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].memberid + rows[0].memberpid + rows[0].depositmode, "M3110103否");
  EXPECT_EQ(rows[1].rowid, 0);  // deleted meanwhile
  EXPECT_EQ(rows[2].depositvalue * 1000 + rows[2].memberpointsvalue, 120500);
  EXPECT_EQ(rows[2].dismode + rows[2].memberaddress, "没有优惠北京");
}

}  // namespace

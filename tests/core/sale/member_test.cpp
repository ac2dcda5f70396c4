#include <gtest/gtest.h>

#include "core/sale/member_selection.h"
#include "sale_fixture.h"

namespace {

using enum sale_testing::LineField;

using sale_testing::Texts;

class SaleMemberTest : public sale_testing::SaleFixture {
 protected:
  void SetUp() override {
    SaleFixture::SetUp();
    AddGoods({"1", "面包", 10.0, 9.0});
  }
};

TEST_F(SaleMemberTest, TheBetterRateWinsAndAttachingDescribesTheMemberAndReprices) {
  AddMember({"m9", "乙", "会员折扣", 0.9});
  AddMember({"m75", "丙", "会员折扣", 0.75});
  Enter("1");
  Attach("m9");
  Enter("%8");
  EXPECT_EQ(Column(0, kRate), "0.80");
  Enter("/9.5");
  EXPECT_EQ(Column(0, kRate), "0.90");
  Detach();
  EXPECT_EQ(Columns(0, {kRate, kMemberRate}), (Texts{"0.95", "1.00"}));
  Attach("m75");
  Enter("/8");
  EXPECT_EQ(Columns(0, {kRate, kAmount}), (Texts{"0.75", "7.50"}));
  NextCustomer();
  AddMember({"m1", "张三", "会员折扣", 0.9, "是", "是", "是"});
  Enter("1");
  Attach("m1");
  EXPECT_EQ(sale_.member_id, "m1");
  EXPECT_EQ(sale_.member_pane, sale::MemberPane::kMember);
  EXPECT_EQ(sale_.member_name + common::Money(sale_.member_deposit) + "|" +
                common::Money(sale_.member_points),
            "张三100.00|12.50");
  EXPECT_TRUE(sale_.member_discount_on_discount);
  EXPECT_TRUE(sale_.points_member && sale_.deposit_member);
  EXPECT_EQ(Total(), "9.00");
  Detach();  // F4 again detaches without asking
  EXPECT_FALSE(sale_.HasMember() || sale_.points_member || sale_.deposit_member);
  EXPECT_EQ(sale_.member_pane, sale::MemberPane::kOrdinaryCustomer);
  EXPECT_EQ(Total(), "10.00");
}

TEST_F(SaleMemberTest, CancelledOrUnknownMembersAreOrdinaryAndMemberPricesHoldUntilDetached) {
  Enter("1", "\\8");
  ui_.members = {std::nullopt};
  size_t shown = display_.shown.size();
  sale::AttachMember(sale_, ui_, display_);
  EXPECT_FALSE(sale_.HasMember());
  EXPECT_EQ(Column(0, kPrice), "10.00");  // the ordinary customer's repricing
  EXPECT_EQ(display_.shown.size(), shown + 1);
  sale_.member_dismode = "会员价";
  sale::DescribeMember(sale_, "nobody");
  EXPECT_EQ(sale_.member_pane, sale::MemberPane::kOrdinaryCustomer);
  EXPECT_TRUE(sale_.member_dismode.empty() && sale_.member_disrate == 1.0);
  NextCustomer();
  AddMember({"mp", "丁", "会员价"});
  Enter("1");
  Attach("mp");
  EXPECT_EQ(Column(0, kPrice), "9.00");
  Enter("\\8", "%9");  // member pricing keeps the smallest of sales, member and front price
  EXPECT_EQ(Columns(0, {kPrice, kAmount}), (Texts{"8.00", "7.20"}));
  Detach();  // the ordinary customer pays the sales price again
  EXPECT_EQ(Columns(0, {kFrontPrice, kPrice, kAmount}), (Texts{"8.00", "10.00", "9.00"}));
}

TEST_F(SaleMemberTest, FrontPriceFollowsTheDiscountModeAndUnreadableRepricingChangesNothing) {
  AddMember({"plain", "戊", "没有优惠"});
  AddMember({"m9", "乙", "会员折扣", 0.9});
  Enter("1", "\\8");
  Attach("plain");  // no member pricing: the front price stays
  EXPECT_EQ(Column(0, kPrice), "8.00");
  Detach();
  Attach("m9");
  // Member discount pricing works from the sales price; the price column says so.
  EXPECT_EQ(Columns(0, {kPrice, kAmount, kDiscountAmount}), (Texts{"10.00", "9.00", "1.00"}));
  NextCustomer();
  AddMember({"mp", "丁", "会员价"});
  Enter("1");
  Attach("mp");
  std::vector<sale::SaleLine> before = sale_.lines;
  std::filesystem::remove(store::DatabasePath());
  EXPECT_EQ(Enter("%8").outcome, sale::EntryOutcome::kKeepEntry);
  EXPECT_EQ(ui_.messages, Texts{"计算有误"});
  EXPECT_EQ(Line(0), before[0]);
}

using testing_support::Refusal;

Refusal Refuses(const std::string& id, const std::string& password) {
  return testing_support::RefusalOf([&] { sale::CheckMemberSelection(id, password); });
}

using MemberSelectionTest = testing_support::TestDatabase;

TEST_F(MemberSelectionTest, FindsTheMemberByIdPhoneOrIdentityNumberOrSaysWhatIsWrong) {
  Open().Exec(
      "insert into membermaster (memberid,membername,memberphone,memberpid,memberpw) "
      "values ('1001','张三','13800000000','110101199001011234','123')");
  for (const char* id : {"1001", "1001  ", "13800000000", "110101199001011234"}) {
    EXPECT_EQ(sale::CheckMemberSelection(id, "123"), "1001") << id;
  }
  EXPECT_EQ(Refuses("   ", "123"), (Refusal{"会员编号不能为空", "memberid"}));
  EXPECT_EQ(Refuses("9999", "123"), (Refusal{"会员编号有误", "memberid"}));
  EXPECT_EQ(Refuses("1001", "12"), (Refusal{"密码有误", "password"}));
  EXPECT_EQ(Refuses("1001", "123 "), (Refusal{"密码有误", "password"}));
  std::filesystem::remove(store::DatabasePath());
  EXPECT_EQ(Refuses("1001", "123").message, "会员有误");
}

}  // namespace

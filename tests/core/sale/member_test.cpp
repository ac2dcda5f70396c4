// Members at the till: attaching and detaching, member prices and rates combined with the
// cashier's discounts and prices, and the member selection check.

#include <gtest/gtest.h>

#include "common/error.h"
#include "sale/member_selection.h"
#include "sale_fixture.h"

namespace {

using sale_testing::MemberRow;

class SaleMemberTest : public sale_testing::SaleFixture {
 protected:
  void SetUp() override {
    SaleFixture::SetUp();
    AddGoods({"1", "面包", 10.0, 9.0});
    AddGoods({"2", "牛奶", 3.5, 3.0});
    AddGoods({"3", "鸡蛋", 5.0, 0});
  }
};

TEST_F(SaleMemberTest, DiscountOnDiscountMultipliesTheRates) {
  AddMember({"dd", "甲", "会员折扣", 0.9, "是"});
  Enter("1");
  Enter("2");
  Attach("dd");
  Enter("%8");
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(Column(i, sale::kFrontRate), "0.80");
    EXPECT_EQ(Column(i, sale::kMemberRate), "0.90");
    EXPECT_EQ(Column(i, sale::kRate), "0.72");
  }
  EXPECT_EQ(Column(0, sale::kAmount), "7.20");
  EXPECT_EQ(Column(0, sale::kDiscountAmount), "2.80");
  EXPECT_EQ(Column(1, sale::kAmount), "2.52");
  EXPECT_EQ(sale_.total_caption, "总计: 9.72");
}

TEST_F(SaleMemberTest, WithoutDiscountOnDiscountTheBetterRateWins) {
  AddMember({"m9", "乙", "会员折扣", 0.9});
  AddMember({"m75", "丙", "会员折扣", 0.75});
  Enter("1");
  Attach("m9");
  Enter("%8");
  EXPECT_EQ(Column(0, sale::kRate), "0.80");
  Enter("/9.5");
  EXPECT_EQ(Column(0, sale::kRate), "0.90");

  Detach();
  EXPECT_EQ(Column(0, sale::kRate), "0.95");
  EXPECT_EQ(Column(0, sale::kMemberRate), "1.00");
  Attach("m75");
  Enter("/8");
  EXPECT_EQ(Column(0, sale::kRate), "0.75");
  EXPECT_EQ(Column(0, sale::kAmount), "7.50");
}

TEST_F(SaleMemberTest, AttachingDescribesTheMemberAndRepricesTheLines) {
  AddMember({"m1", "张三", "会员折扣", 0.9, "是", "pw", "", "", "是", "是"});
  Enter("1");
  Attach("m1");

  EXPECT_EQ(sale_.member_id, "m1");
  EXPECT_EQ(sale_.member_pane,
            "[会员名称:张三][储值会员,储值金额:100.00][积分会员,现有积分:12.50]"
            "[优惠方式:会员折扣][折扣率:90%][折上折]");
  EXPECT_TRUE(sale_.points_member);
  EXPECT_TRUE(sale_.deposit_member);
  EXPECT_DOUBLE_EQ(sale_.member_disrate, 0.9);
  EXPECT_EQ(sale::MemberButtonCaption(sale_), "F4 普通客户");
  EXPECT_EQ(Column(0, sale::kRate), "0.90");
  EXPECT_EQ(sale_.total_caption, "总计: 9.00");

  Detach();  // F4 again detaches without asking
  EXPECT_FALSE(sale_.HasMember());
  EXPECT_FALSE(sale_.points_member);
  EXPECT_FALSE(sale_.deposit_member);
  EXPECT_EQ(sale_.member_pane, "普通客户");
  EXPECT_EQ(sale::MemberButtonCaption(sale_), "F4 会员");
  EXPECT_EQ(Column(0, sale::kRate), "1.00");
  EXPECT_EQ(sale_.total_caption, "总计: 10.00");
}

TEST_F(SaleMemberTest, CancelledSelectionOnlyReprices) {
  Enter("1");
  Enter("\\8");
  ui_.members = {std::nullopt};
  size_t shown = display_.shown.size();
  sale::AttachMember(sale_, ui_, display_);
  EXPECT_FALSE(sale_.HasMember());
  EXPECT_EQ(Column(0, sale::kPrice), "10.00");  // the ordinary customer's repricing
  EXPECT_EQ(display_.shown.size(), shown + 1);
}

TEST_F(SaleMemberTest, DetachingAfterAPriceChangeRestoresTheSalesPrice) {
  AddMember({"mp", "丁", "会员价"});
  Enter("1");
  Attach("mp");
  EXPECT_EQ(Column(0, sale::kPrice), "9.00");
  Enter("\\8");
  EXPECT_EQ(Column(0, sale::kPrice), "8.00");
  EXPECT_EQ(Column(0, sale::kAmount), "8.00");

  Detach();
  EXPECT_EQ(Column(0, sale::kFrontPrice), "8.00");
  EXPECT_EQ(Column(0, sale::kPrice), "10.00");
  EXPECT_EQ(Column(0, sale::kAmount), "10.00");
}

TEST_F(SaleMemberTest, MemberPriceMemberPaysTheSmallestPrice) {
  AddMember({"mp", "丁", "会员价"});
  Enter("3");  // no member price
  Enter("1");
  Attach("mp");
  EXPECT_EQ(Column(0, sale::kMemberPrice), "5.00");
  EXPECT_EQ(Column(0, sale::kPrice), "5.00");
  EXPECT_EQ(Column(1, sale::kPrice), "9.00");

  sale_.selected = 0;
  Enter("\\4");
  EXPECT_EQ(Column(0, sale::kPrice), "4.00");
  Enter("%9");  // member pricing keeps the smallest of sales, member and front price
  EXPECT_EQ(Column(0, sale::kPrice), "4.00");
  EXPECT_EQ(Column(0, sale::kAmount), "3.60");
  EXPECT_EQ(Column(1, sale::kPrice), "9.00");
  EXPECT_EQ(Column(1, sale::kAmount), "8.10");
}

TEST_F(SaleMemberTest, MemberDiscountLineShowsThePriceItIsComputedFrom) {
  AddMember({"m9", "乙", "会员折扣", 0.9});
  Enter("1");
  Enter("\\8");
  Attach("m9");
  // Member discount pricing works from the sales price; the price column says so.
  EXPECT_EQ(Column(0, sale::kPrice), "10.00");
  EXPECT_EQ(Column(0, sale::kAmount), "9.00");
  EXPECT_EQ(Column(0, sale::kDiscountAmount), "1.00");
}

TEST_F(SaleMemberTest, MemberWithoutPricingLeavesTheLines) {
  AddMember({"plain", "戊", "没有优惠"});
  Enter("1");
  Enter("\\8");
  Attach("plain");
  EXPECT_EQ(sale_.member_pane, "[会员名称:戊][优惠方式:没有优惠]");
  EXPECT_EQ(Column(0, sale::kPrice), "8.00");
}

TEST_F(SaleMemberTest, UnknownMemberDescribesAsOrdinaryCustomer) {
  sale_.member_dismode = "会员价";
  EXPECT_EQ(sale::DescribeMember(sale_, "nobody"), "普通客户");
  EXPECT_EQ(sale_.member_dismode, "");
  EXPECT_DOUBLE_EQ(sale_.member_disrate, 1.0);
}

TEST_F(SaleMemberTest, RepricingThatCannotReadTheFileChangesNothing) {
  AddMember({"mp", "丁", "会员价"});
  Enter("1");
  Attach("mp");
  std::vector<sale::SaleLine> before = sale_.lines;
  std::filesystem::remove(store::DatabasePath());
  EXPECT_EQ(Enter("%8").outcome, sale::EntryOutcome::kKeepEntry);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{"计算有误"});
  EXPECT_EQ(Line(0).columns, before[0].columns);
}

class MemberSelectionTest : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    store::Database db = Open();
    db.Exec(
        "insert into membermaster (memberid,membername,memberphone,memberpid,memberpw) "
        "values ('1001','张三','13800000000','110101199001011234','123')");
  }
  static std::pair<std::string, std::string> Refusal(const std::string& id,
                                                     const std::string& password) {
    try {
      sale::CheckMemberSelection(id, password);
    } catch (const kasso::ValidationError& error) {
      return {error.what(), error.field()};
    }
    return {};
  }
};

TEST_F(MemberSelectionTest, FindsTheMemberByIdPhoneOrIdentityNumber) {
  EXPECT_EQ(sale::CheckMemberSelection("1001", "123"), "1001");
  EXPECT_EQ(sale::CheckMemberSelection("1001  ", "123"), "1001");
  EXPECT_EQ(sale::CheckMemberSelection("13800000000", "123"), "1001");
  EXPECT_EQ(sale::CheckMemberSelection("110101199001011234", "123"), "1001");
}

TEST_F(MemberSelectionTest, RefusesWithTheMessageAndTheFieldToFocus) {
  EXPECT_EQ(Refusal("   ", "123"),
            std::make_pair(std::string("会员编号不能为空"), std::string("memberid")));
  EXPECT_EQ(Refusal("9999", "123"),
            std::make_pair(std::string("会员编号有误"), std::string("memberid")));
  EXPECT_EQ(Refusal("1001", "12"),
            std::make_pair(std::string("密码有误"), std::string("password")));
  EXPECT_EQ(Refusal("1001", "123 "),
            std::make_pair(std::string("密码有误"), std::string("password")));
  std::filesystem::remove(store::DatabasePath());
  EXPECT_EQ(Refusal("1001", "123").first, "会员有误");
}

}  // namespace

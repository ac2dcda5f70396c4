#include "core/backoffice/members/points_feedback.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/common/clock.h"
#include "members_fixture.h"

namespace {

using backoffice::Redemption;

class PointsFeedbackTest : public members_testing::MembersFixture {
 protected:
  void SetUp() override {
    MembersFixture::SetUp();
    common::SetFixedClock(common::MakeTime(2024, 5, 6, 11, 0, 0));
    Open().ExecScript(
        "insert into goodsmaster (barcode,goodsname,salesprice,iscombined) values "
        "('G1','毛巾',10,'否'),('K1','礼盒',50,'是'),('G2','香皂',3,'否');"
        "insert into inventory (barcode,quantity) values ('G1',1),('K1',4),('G2',9);"
        "insert into combinedgoods (barcode,underlyingcode,quantity) values ('K1','G2',2),"
        "('K1','G1',3);");
  }
  static Redemption Rebate(const char* id, const char* rate, const char* points) {
    return {id, backoffice::kRebate, "", "", rate, points, "0"};
  }
  static Redemption Gift(const char* id, const char* barcode, const char* quantity,
                         const char* points) {
    return {id, backoffice::kGift, barcode, quantity, "", points, "0"};
  }
};

TEST_F(PointsFeedbackTest, ARebateCreditsPointsTimesRateAndAllPointsMayGoButNotOneMore) {
  backoffice::RedeemPoints(Rebate("M1", "0.05", "200"));
  EXPECT_EQ(Points("M1") * 1000 + Balance("M1"), 300110);
  EXPECT_EQ(Rows("pointsreturn"), "M1|返利||0.0|0.05|200|0|2024-05-06 11:00:00|\n");
  EXPECT_EQ(testing_support::ErrorOf([] { backoffice::RedeemPoints(Rebate("M1", "0.1", "301")); }),
            "抵扣积分不能超过现有积分");
  backoffice::RedeemPoints(Rebate("M1", "0.1", "300"));
  EXPECT_EQ(Points("M1") * 1000 + Balance("M1"), 140);
}

TEST_F(PointsFeedbackTest, GiftsLeaveStockEvenBelowZeroAndCombinedGoodsThroughTheirComponents) {
  backoffice::RedeemPoints(Gift("M1", "G1", "2", "100"));
  // A combined goods leaves as it sells: 2 x G2 and 3 x G1, its own row unchanged.
  backoffice::RedeemPoints(Gift("M1", "K1", "1", "50"));
  EXPECT_EQ(Rows("inventory"), "G1|-4.0|\nK1|4.0|\nG2|7.0|\n");
  EXPECT_EQ(Points("M1") * 1000 + Balance("M1"), 350100);
  EXPECT_EQ(Rows("pointsreturn"),
            "M1|赠品|G1|2.0|0.0|100|0|2024-05-06 11:00:00|\n"
            "M1|赠品|K1|1.0|0.0|50|0|2024-05-06 11:00:00|\n");
}

TEST_F(PointsFeedbackTest, RefusalsAndAFailedBookingWriteNothing) {
  const std::tuple<Redemption, const char*, const char*> cases[] = {
      {Rebate(" ", "x", "x"), "请录入会员信息", "memberid"},
      {Rebate("M404", "0.1", "1"), "此会员不存在", "memberid"},
      {Gift("M1", "", "1", "1"), "请录入赠品条码", "gift_barcode"},
      {Gift("M1", "NOPE", "1", "1"), "赠品录入有误", "gift_barcode"},
      {Gift("M1", "G1", "", "x"), "请录入赠品数量", "gift_quantity"},
      {Gift("M1", "G1", "two", "x"), "赠品数量有误", "gift_quantity"},
      {Gift("M1", "G1", "-2", "1"), "赠品数量有误", "gift_quantity"},
      {Rebate("M3", "x", "x"), "非储值会员,不能返利", "memberid"},
      {Rebate("M1", "", "x"), "请录入返利比率", "rate"},
      {Rebate("M1", "5%", "1"), "返利比率有误", "rate"},
      {Rebate("M1", "-0.05", "200"), "返利比率有误", "rate"},
      {Rebate("M1", "0.05", ""), "请录入抵扣积分", "points"},
      {Rebate("M1", "0.05", "abc"), "抵扣积分有误", "points"},
      {Gift("M1", "G1", "1", "-100"), "抵扣积分有误", "points"},
      {Rebate("M1", "9999999999", "500"), "返利金额过大", "rate"},
  };
  const std::string before = Rows("membermaster") + Rows("inventory");
  for (const auto& [redemption, message, field] : cases) {
    EXPECT_EQ(testing_support::RefusalOf([&] { backoffice::RedeemPoints(redemption); }),
              (testing_support::Refusal{message, field}));
  }
  EXPECT_EQ(Rows("membermaster") + Rows("inventory"), before);
  EXPECT_EQ(Count("select count(*) from pointsreturn"), 0);
  Open().ExecScript(
      "create trigger refuse before insert on pointsreturn begin select raise(abort,'no'); end;");
  EXPECT_EQ(testing_support::ErrorOf([] { backoffice::RedeemPoints(Rebate("M1", "0.05", "200")); }),
            "积分回馈有误");
  EXPECT_EQ(Points("M1") * 1000 + Balance("M1"), 500100);
}

}  // namespace

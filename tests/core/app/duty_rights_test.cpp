#include "core/app/duty_rights.h"

#include <gtest/gtest.h>

#include "core/app/main_menu.h"
#include "support/test_database.h"

namespace {

using app::DutyRights;
using lookups::Right;
using lookups::RightIndex;

class DutyRightsTest : public testing_support::TestDatabase {
 protected:
  // The stored value of one right; -1 when the duty has no row. Column names come from the
  // fixed list of right columns.
  int64_t Stored(const std::string& duty, std::string_view column) const {
    return Open()
        .QueryInt("select " + std::string(column) + " from dutyrights where operatorduty = ?", duty)
        .value_or(-1);
  }
};

TEST_F(DutyRightsTest, EveryBoxReachesItsColumnOddValuesLoadSafelyAndManagersKeepTheRightsRight) {
  // An alternating pattern, then its opposite, catches any two columns swapped.
  for (bool first : {true, false}) {
    DutyRights rights{};
    for (size_t i = 0; i < rights.size(); ++i) rights[i] = (i % 2 == 0) == first;
    app::SaveDutyRights("收银员", rights);
    EXPECT_EQ(app::LoadDutyRights("收银员"), rights);
    for (size_t i = 0; i < rights.size(); ++i) {
      EXPECT_EQ(Stored("收银员", lookups::kRights[i].column), rights[i] ? 1 : 0)
          << lookups::kRights[i].column;
    }
  }
  // The managers' row is untouched by a cashier save.
  for (const lookups::RightColumn& right : lookups::kRights) {
    EXPECT_EQ(Stored("经理", right.column), 1) << right.column;
  }
  Open().Exec("update dutyrights set sales = null, operator = 2 where operatorduty = '收银员'");
  DutyRights cashier = app::LoadDutyRights("收银员");
  EXPECT_TRUE(!cashier[RightIndex(Right::kSales)] && cashier[RightIndex(Right::kOperator)]);
  for (int discount : {0, 1}) {
    Open().Exec("update dutyrights set discount = ?", discount);
    for (const char* duty : {"经理", "收银员"}) {
      app::SaveDutyRights(duty, app::LoadDutyRights(duty));
      EXPECT_EQ(Stored(duty, "discount"), discount) << duty;
    }
  }
  app::SaveDutyRights("经理", DutyRights{});
  EXPECT_EQ(Stored("经理", "dutyrights"), 1);
  EXPECT_TRUE(app::HasRight("0", Right::kDutyRights));
  // Read at the moment of the action, without a new login.
  EXPECT_FALSE(app::HasRight("0", Right::kSettings));
  // Saving a duty whose row is gone stores the row instead of reporting a save that wrote
  // nothing, again with the rights-editing right.
  Open().Exec("delete from dutyrights where operatorduty = '经理'");
  EXPECT_EQ(app::LoadDutyRights("经理"), DutyRights{});
  DutyRights manager{};
  manager[RightIndex(Right::kSales)] = true;
  app::SaveDutyRights("经理", manager);
  EXPECT_EQ(Stored("经理", "sales"), 1);
  EXPECT_EQ(Stored("经理", "dutyrights"), 1);
  EXPECT_EQ(Stored("经理", "settings"), 0);
  EXPECT_THROW(app::SaveDutyRights("老板", DutyRights{}), kasso::UserError);
  EXPECT_EQ(Stored("老板", "sales"), -1);
}

}  // namespace

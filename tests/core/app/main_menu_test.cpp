#include <gtest/gtest.h>

#include "app/main_menu.h"
#include "support/test_database.h"

namespace {

TEST(MenuHotSpotTest, BordersAreOutsideAndEachSpotOpensItsKey) {
  EXPECT_FALSE(app::HotSpotAt(96, 150));   // left border of F1
  EXPECT_FALSE(app::HotSpotAt(167, 150));  // right border of F1
  EXPECT_FALSE(app::HotSpotAt(100, 108));  // top border
  ASSERT_TRUE(app::HotSpotAt(97, 109));
  EXPECT_EQ(app::HotSpotAt(97, 109)->key, 1);
  EXPECT_FALSE(app::HotSpotAt(200, 150));  // between icons
  for (const app::MenuModule& module : app::kMenuModules) {
    auto found = app::HotSpotAt((module.left + module.right) / 2, (module.top + module.bottom) / 2);
    ASSERT_TRUE(found) << module.caption;
    EXPECT_EQ(found->key, module.key);
    EXPECT_EQ(app::ModuleForKey(module.key).caption, module.caption);
  }
}

using RightsGateTest = testing_support::TestDatabase;

TEST_F(RightsGateTest, CashierSellsButCannotChangeSettings) {
  {
    store::Database db = Open();
    db.Exec("insert into operatormaster values ('7','小王','7','收银员')");
  }
  EXPECT_TRUE(app::HasRight("7", app::ModuleForKey(1).right_column));
  EXPECT_FALSE(app::HasRight("7", app::ModuleForKey(8).right_column));
  EXPECT_TRUE(app::HasRight("0", app::ModuleForKey(8).right_column));
  {
    store::Database db = Open();
    db.Exec("update dutyrights set settings = 1 where operatorduty = '收银员'");
  }
  // Rights are read when needed, never cached from the login.
  EXPECT_TRUE(app::HasRight("7", "settings"));
}

}  // namespace

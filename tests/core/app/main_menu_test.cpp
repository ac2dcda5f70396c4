#include "core/app/main_menu.h"

#include <gtest/gtest.h>

namespace {

// Opening a module by click, the rights check and the spots' centres are proven through the
// menu window; here the exact edges of one spot, which the picture's scaling would hide.
TEST(MenuHotSpotTest, BordersAreOutsideTheSpot) {
  EXPECT_FALSE(app::HotSpotAt(96, 150));   // left border of F1
  EXPECT_FALSE(app::HotSpotAt(167, 150));  // right border of F1
  EXPECT_FALSE(app::HotSpotAt(100, 108));  // top border
  EXPECT_FALSE(app::HotSpotAt(200, 150));  // between icons
  ASSERT_TRUE(app::HotSpotAt(97, 109));
  EXPECT_EQ(app::HotSpotAt(97, 109)->key, 1);
}

}  // namespace

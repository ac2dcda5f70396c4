#include <gtest/gtest.h>

#include <cmath>

#include "core/servicelib/kasso_basic.h"

namespace {
using servicelib::DecimalCheck;
using servicelib::NumericalCheck;
using servicelib::rounddigits;

TEST(RoundDigitsTest, HalvesGoAwayFromZeroEvenWhenStoredBelowTheHalf) {
  EXPECT_DOUBLE_EQ(rounddigits(2.675, 2), 2.68);  // 2.67499999... in binary
  EXPECT_DOUBLE_EQ(rounddigits(1.005, 2), 1.01);
  EXPECT_DOUBLE_EQ(rounddigits(-2.675, 2), -2.68);
  EXPECT_DOUBLE_EQ(rounddigits(0.125, 2), 0.13);
  EXPECT_DOUBLE_EQ(rounddigits(1.0049, 2), 1.0);
  EXPECT_DOUBLE_EQ(rounddigits(0.1 + 0.2, 2), 0.3);
  EXPECT_DOUBLE_EQ(rounddigits(19.99 * 3, 2), 59.97);
  EXPECT_DOUBLE_EQ(rounddigits(1.2345, 3), 1.235);
  EXPECT_DOUBLE_EQ(rounddigits(2.5, 0), 3.0);
  EXPECT_DOUBLE_EQ(servicelib::round(-2.5), -3.0);
  EXPECT_FALSE(std::signbit(rounddigits(-0.001, 2)));  // never shows "-0.00"
}

TEST(NumberChecksTest, AcceptPlainDecimalsOnly) {
  for (const char* good : {"0", "12", "-3.5", "+4", ".5", "7.", "0012.340"}) {
    EXPECT_TRUE(NumericalCheck(good)) << good;
  }
  for (const char* bad : {"", "-", ".", "1.2.3", "1e5", " 1", "1 ", "12a", "1,5", "--1", "０"}) {
    EXPECT_FALSE(NumericalCheck(bad)) << bad;
  }
  EXPECT_TRUE(DecimalCheck("1.234"));
  EXPECT_TRUE(DecimalCheck("-0.5"));
  EXPECT_FALSE(DecimalCheck("1.2345"));
  EXPECT_FALSE(DecimalCheck("abc"));
}

}  // namespace

#include <gtest/gtest.h>

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

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

TEST(RoundDigitsTest, GivesTheDecimalAnswerAtEverySizeATillMeets) {
  struct Case {
    double x;
    int n;
    double decimal;
  };
  const Case cases[] = {
      {2.675, 2, 2.68},
      {1.005, 2, 1.01},
      {5000000, 2, 5000000.00},
      {5000000.01, 2, 5000000.01},
      {5000000, 3, 5000000.000},
      {4999999.995, 2, 5000000.00},
      {1234567.125, 2, 1234567.13},
      {8888888.885, 2, 8888888.89},
      {9999999999.99, 2, 9999999999.99},
      {9999999999.994, 2, 9999999999.99},
      {9999999999.995, 2, 10000000000.00},
      {-9999999999.995, 2, -10000000000.00},
      {99999999.9995, 3, 100000000.000},
      {99999999.9994, 3, 99999999.999},
      {0.005, 2, 0.01},
      {0.0049, 2, 0.0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(rounddigits(c.x, c.n), c.decimal) << std::to_string(c.x) << " to " << c.n;
  }
}

// x typed as text with `digits` decimals ("-1234.565"), and the same text rounded half away
// from zero to one decimal fewer, in integer arithmetic on the typed digits.
struct TypedAmount {
  std::string text;
  std::string rounded;
};

TypedAmount Typed(std::int64_t units, bool negative, int digits) {
  auto write = [negative](std::int64_t value, int decimals) {
    std::int64_t scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s%" PRId64 ".%0*" PRId64, negative ? "-" : "",
                  value / scale, decimals, value % scale);
    return std::string(buffer);
  };
  return {write(units, digits), write((units + 5) / 10, digits - 1)};
}

TEST(RoundDigitsTest, MatchesDecimalRoundingOfRandomAmountsAndQuantities) {
  std::mt19937_64 random(20240501);
  // Amounts typed to the tenth of a fen up to ten thousand million yuan; quantities to the
  // tenth of a gram up to a hundred million.
  const struct {
    int digits;
    std::int64_t limit;
  } kinds[] = {{3, 10'000'000'000'000}, {4, 1'000'000'000'000}};
  for (const auto& kind : kinds) {
    std::uniform_int_distribution<std::int64_t> units(0, kind.limit - 1);
    int failures = 0;
    for (int i = 0; i < 100000 && failures < 5; ++i) {
      // Every tenth value sits exactly on a half, where binary representation bites.
      std::int64_t value = units(random);
      if (i % 10 == 0) value = value / 10 * 10 + 5;
      TypedAmount typed = Typed(value, i % 3 == 0, kind.digits);
      double x = std::strtod(typed.text.c_str(), nullptr);
      double expected = std::strtod(typed.rounded.c_str(), nullptr);
      double got = rounddigits(x, kind.digits - 1);
      if (got != expected) {
        ++failures;
        ADD_FAILURE() << typed.text << " gave " << std::to_string(got) << ", not " << typed.rounded;
      }
      // A value already at the precision stays exactly as it is.
      if (rounddigits(expected, kind.digits - 1) != expected) {
        ++failures;
        ADD_FAILURE() << typed.rounded << " moved when rounded again";
      }
    }
  }
}

TEST(TypedNumberTest, RefusesWhatIsNotFiniteOrBeyondWhatATillHolds) {
  using servicelib::TillNumber;
  const TillNumber amount = TillNumber::kAmount;
  const TillNumber quantity = TillNumber::kQuantity;
  const struct {
    std::string text;
    TillNumber kind;
    bool accepted;
  } cases[] = {
      {"9999999999.99", amount, true},    {"-9999999999.99", amount, true},
      {" 9999999999.994 ", amount, true}, {"9999999999.995", amount, false},
      {"10000000000", amount, false},     {std::string(400, '9'), amount, false},
      {"99999999", quantity, true},       {"-99999999.0004", quantity, true},
      {"100000000", quantity, false},     {"1" + std::string(20, '0'), quantity, false},
      {"-999999999", quantity, false},    {"1e3", amount, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(servicelib::ReadTypedNumber(c.text, c.kind).has_value(), c.accepted) << c.text;
  }
  EXPECT_FALSE(servicelib::WithinTillRange(HUGE_VAL, amount));
  EXPECT_FALSE(servicelib::WithinTillRange(std::nan(""), quantity));
  EXPECT_DOUBLE_EQ(servicelib::TypedNumber("2.5", amount, "价格有误"), 2.5);
  EXPECT_THROW(servicelib::TypedNumber("1e3", amount, "价格有误"), std::exception);
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

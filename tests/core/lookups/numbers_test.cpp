#include "core/lookups/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <tuple>

namespace {
using lookups::IsPlainNumber;
using lookups::IsPlainNumberTo3Places;
using lookups::RoundTo;

// Halves go away from zero even when stored below the half (2.675 is 2.67499999... in binary).
TEST(RoundDigitsTest, RoundsToTheDecimalAnswerAndRefusesWhatIsNotAPlainFiniteDecimalInRange) {
  const std::tuple<double, int, double> cases[] = {{2.675, 2, 2.68},
                                                   {1.005, 2, 1.01},
                                                   {-2.675, 2, -2.68},
                                                   {0.125, 2, 0.13},
                                                   {1.0049, 2, 1.0},
                                                   {0.1 + 0.2, 2, 0.3},
                                                   {19.99 * 3, 2, 59.97},
                                                   {1.2345, 3, 1.235},
                                                   {2.5, 0, 3.0},
                                                   {5000000, 2, 5000000},
                                                   {4999999.995, 2, 5000000},
                                                   {8888888.885, 2, 8888888.89},
                                                   {9999999999.994, 2, 9999999999.99},
                                                   {9999999999.995, 2, 1e10},
                                                   {-9999999999.995, 2, -1e10},
                                                   {99999999.9995, 3, 100000000},
                                                   {99999999.9994, 3, 99999999.999}};
  for (auto [x, n, decimal] : cases) EXPECT_EQ(RoundTo(x, n), decimal) << std::to_string(x);
  EXPECT_DOUBLE_EQ(lookups::RoundWhole(-2.5), -3.0);
  EXPECT_FALSE(std::signbit(RoundTo(-0.001, 2)));  // never shows "-0.00"
  // Random amounts (and quantities) typed with one decimal more than is kept, up to what a till
  // holds, against the same rounding done on the typed digits.
  auto typed = [](std::int64_t units, std::int64_t scale) {
    return std::to_string(units / scale) + "." + std::to_string(scale + units % scale).substr(1);
  };
  std::mt19937_64 random(20240501);
  for (auto [n, wholes] : {std::pair{2, std::int64_t{10'000'000'000}}, {3, 100'000'000}}) {
    const std::int64_t scale = n == 2 ? 1000 : 10000;
    std::uniform_int_distribution<std::int64_t> draw(0, wholes * scale - 1);
    int failures = 0;
    for (int i = 0; i < 100000 && failures < 5; ++i) {
      std::int64_t units = draw(random);
      if (i % 2 == 0) units = units / 10 * 10 + 5;  // exactly half-way, where binary bites
      const double sign = i % 3 == 0 ? -1 : 1;
      const double x = sign * std::strtod(typed(units, scale).c_str(), nullptr);
      const double decimal =
          sign * std::strtod(typed((units + 5) / 10, scale / 10).c_str(), nullptr);
      if (RoundTo(x, n) != decimal || RoundTo(decimal, n) != decimal) {
        ++failures;
        ADD_FAILURE() << (sign < 0 ? "-" : "") << typed(units, scale) << " to " << n;
      }
    }
  }
  using lookups::ReadTypedNumber;
  const auto amount = lookups::TillNumber::kAmount;
  const auto quantity = lookups::TillNumber::kQuantity;
  for (const char* ok : {"9999999999.99", "-9999999999.99", " 9999999999.994 "}) {
    EXPECT_TRUE(ReadTypedNumber(ok, amount)) << ok;
  }
  const std::string bad[] = {"9999999999.995", "-10000000000", std::string(400, '9'), "1e3"};
  for (const std::string& text : bad) EXPECT_FALSE(ReadTypedNumber(text, amount)) << text;
  EXPECT_TRUE(ReadTypedNumber("-99999999", quantity));
  EXPECT_FALSE(ReadTypedNumber("100000000", quantity));
  EXPECT_FALSE(lookups::WithinTillRange(HUGE_VAL, amount));
  for (const char* good : {"0", "12", "-3.5", "+4", ".5", "7.", "0012.340"}) {
    EXPECT_TRUE(IsPlainNumber(good)) << good;
  }
  for (const char* text : {"", "-", ".", "1.2.3", "1e5", " 1", "1 ", "12a", "1,5", "--1", "０"}) {
    EXPECT_FALSE(IsPlainNumber(text)) << text;
  }
  EXPECT_TRUE(IsPlainNumberTo3Places("1.234") && IsPlainNumberTo3Places("-0.5"));
  EXPECT_FALSE(IsPlainNumberTo3Places("1.2345") || IsPlainNumberTo3Places("abc"));
}

}  // namespace

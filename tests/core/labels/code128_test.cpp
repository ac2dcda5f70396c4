#include "core/labels/code128.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

#include "support/test_database.h"

namespace {

// The published Code 128 table as bar/space widths (bar first), values 0 to 106; STOP keeps
// its final 2-module termination bar. Written out here, not taken from the encoder.
constexpr std::array<const char*, 107> kWidths = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};

// Widths to module flags: bars of "1", spaces of "0", alternating from a bar.
std::string Modules(int value) {
  std::string modules;
  bool bar = true;
  for (const char* w = kWidths[static_cast<size_t>(value)]; *w; ++w, bar = !bar) {
    modules.append(static_cast<size_t>(*w - '0'), bar ? '1' : '0');
  }
  return modules;
}

TEST(Code128Test, SymbolTableIsThePublishedOneAndDigitsAreEncodedInSetCOrRefused) {
  for (int value = 0; value <= 106; ++value) {
    EXPECT_EQ(labels::Code128Pattern(value), Modules(value)) << "value " << value;
  }
  EXPECT_EQ(Modules(105), "11010011100");  // START C, as the table is read elsewhere
  EXPECT_EQ(Modules(106), "1100011101011");
  EXPECT_THROW(labels::Code128Pattern(107), std::out_of_range);
  const std::string start = Modules(105);
  const std::string stop = Modules(106);
  const std::tuple<const char*, std::string> cases[] = {
      {"12", start + Modules(12) + Modules(14) + stop},
      // (105 + 12*1 + 100*2 + 19*3) mod 103 = 65
      {"123", start + Modules(12) + Modules(100) + Modules(19) + Modules(65) + stop},
      {"", start + Modules(2) + stop},
      // (105 + 31*1 + 32*2) mod 103 = 97
      {"3132", start + Modules(31) + Modules(32) + Modules(97) + stop},
      // Leading zeros are digits like any other: (105 + 0 + 7*2) mod 103 = 16
      {"0007", start + Modules(0) + Modules(7) + Modules(16) + stop},
  };
  for (const auto& [digits, expected] : cases) {
    EXPECT_EQ(labels::EncodeCode128(digits), expected) << '"' << digits << '"';
  }
  // 35 + 11 * (n div 2) + 22 for an odd count, for every length a goods code may have.
  for (size_t n = 0; n <= 20; ++n) {
    EXPECT_EQ(labels::EncodeCode128(std::string(n, '7')).size(), 35 + 11 * (n / 2) + (n % 2) * 22)
        << n << " digits";
  }
  for (const char* barcode : {"69012A", "12 34", "１２", "-5"}) {
    const std::string error = testing_support::ErrorOf([&] { labels::EncodeCode128(barcode); });
    EXPECT_NE(error.find(barcode), std::string::npos) << barcode << ": " << error;
  }
}

}  // namespace

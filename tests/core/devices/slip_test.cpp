#include "core/devices/slip.h"

#include <gtest/gtest.h>

#include "core/common/text_encoding.h"
#include "core/devices/escpos.h"

namespace {
using namespace std::string_literals;
using Lines = std::vector<std::string>;

TEST(SlipLayoutTest, SlipLinesAreGbkColumnsWithoutControlCharactersAndBecomeEscPos) {
  // The column count is the GBK byte count the printer receives.
  EXPECT_EQ(print::DisplayWidth("可乐330ml"), 9);
  EXPECT_EQ(print::FitColumns("可口可乐", 5), "可口");
  EXPECT_EQ(print::FitColumns("a可口", 4), "a可");
  EXPECT_EQ(print::FitColumns("a可口", 2), "a");
  EXPECT_EQ(print::FitColumns("abc", 10), "abc");
  EXPECT_EQ(print::WrapColumns("一二三四五", 5), (Lines{"一二", "三四", "五"}));
  EXPECT_EQ(print::WrapColumns("欢迎\r\n光临", 32), (Lines{"欢迎", "光临"}));
  EXPECT_EQ(print::PairLine("现金", "100.00", 16), "现金      100.00");
  // A caption too long for the line is cut, the amount stays whole.
  EXPECT_EQ(print::PairLine("特别长的商品名称超出宽度", "12.50", 16), "特别长的商 12.50");
  EXPECT_EQ(print::RightColumns({"2.00", "3.50", "7.00"}, {6, 6, 8}), "  2.00  3.50    7.00");
  print::Slip slip;
  slip.Text("名\x1b@称\t", print::Align::kLeft);
  slip.Pair("a\nb", "1\x1d");
  EXPECT_EQ(slip.lines[0].text, "名 @称 ");
  EXPECT_EQ(slip.lines[1].text.find_first_of("\x1b\x1d\n"), std::string::npos);
  slip = {};
  slip.Text("欢迎", print::Align::kCenter, true);
  slip.Pair("现金", "1.00");
  slip.feed_lines = 2;
  std::string expected = "\x1b@\x1c&"s + "\x1b\x61\x01" + "\x1b\x45\x01" +
                         common::Utf8ToGbk("欢迎") + "\n" + "\x1b\x61\x00"s + "\x1b\x45\x00"s +
                         common::Utf8ToGbk(print::PairLine("现金", "1.00", 32)) + "\n" + "\n\n";
  EXPECT_EQ(print::EscPosBytes(slip), expected);
}

}  // namespace

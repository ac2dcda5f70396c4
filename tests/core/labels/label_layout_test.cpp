#include "core/labels/label_layout.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <utility>

#include "core/common/text_encoding.h"
#include "support/test_database.h"

namespace {

using labels::LabelTemplate;

LabelTemplate Sheet(const char* paper, int columns, int height) {
  LabelTemplate label;
  label.labelwidth = 60;
  label.labelheight = height;
  label.settings.paperkind = paper;
  label.settings.columns = columns;
  return label;
}

std::string Refusal(const LabelTemplate& label) {
  return testing_support::ErrorOf([&] { labels::PlanSheet(label, 10); });
}

TEST(LabelLayoutTest, A4SheetsAndRollPagesAreLaidOutOrRefusedWithoutRoomForALabel) {
  LabelTemplate label = Sheet(labels::kA4Paper, 3, 35);
  label.settings.topspace = 10;
  label.settings.linebetweenspace = 5;
  label.settings.leftspace = 4.5;
  label.settings.betweenspace = 2.25;
  const labels::SheetPlan plan = labels::PlanSheet(label, 25);
  // (297 - 10) / 40 = 7.175 rows of 3; 25 labels fill a page and 4 of the next.
  EXPECT_EQ((std::array{plan.rows_per_page, plan.labels_per_page, plan.pages,
                        labels::LabelsOnPage(plan, 0, 25), labels::LabelsOnPage(plan, 1, 25)}),
            (std::array{7, 21, 2, 21, 4}));
  // The eighth label: row 2, column 1.
  const labels::PointMm corner = labels::LabelCorner(plan, 7);
  EXPECT_EQ((std::array{corner.x, corner.y}), (std::array{4.5 + 62.25, 10.0 + 2 * 40}));
  LabelTemplate roll = Sheet(labels::kRollPaper, 3, 35);
  roll.settings.leftspace = 2.7;     // a roll counts whole millimetres: 2
  roll.settings.betweenspace = 3.9;  // 3
  roll.settings.topspace = 50;       // not used on a roll
  const labels::SheetPlan roll_plan = labels::PlanSheet(roll, 7);
  EXPECT_EQ((std::array{roll_plan.pages, labels::LabelsOnPage(roll_plan, 2, 7)}),
            (std::array{3, 1}));
  const labels::PointMm third = labels::LabelCorner(roll_plan, 2);
  EXPECT_EQ((std::array{roll_plan.page_width_mm, roll_plan.page_height_mm, third.x, third.y}),
            (std::array{63.0 * 3 + 2 * 2 - 3, 35.0, 2.0 + 2 * 63, 0.0}));
  EXPECT_EQ(labels::PlanSheet(roll, 0).pages, 0);
  LabelTemplate tall = Sheet(labels::kA4Paper, 2, 290);
  tall.settings.topspace = 10;
  LabelTemplate gap_too_big = Sheet(labels::kA4Paper, 2, 100);
  gap_too_big.settings.topspace = 100;
  gap_too_big.settings.linebetweenspace = 98;  // 197 / 198 rows
  // 100 000 columns of rows 0.01 mm apart count past an int: 10 labels planned as 0 pages.
  LabelTemplate overflow = Sheet(labels::kA4Paper, 100000, 1);
  overflow.settings.linebetweenspace = -0.99;
  LabelTemplate negative_gap = overflow;
  negative_gap.settings.columns = 2;
  const std::pair<LabelTemplate, const char*> cases[] = {
      {Sheet(labels::kRollPaper, 0, 35), "每行列数必须大于0"},
      {Sheet(labels::kA4Paper, 0, 35), "每行列数必须大于0"},
      {Sheet(labels::kA4Paper, -2, 35), "每行列数必须大于0"},
      {tall, "标签高度超出纸张"},
      {gap_too_big, "标签高度超出纸张"},
      {Sheet(labels::kA4Paper, 1, 0), "标签尺寸必须大于0"},
      {Sheet("", 1, 35), "请选择用纸"},
      {overflow, "每行列数不能大于100"},
      {negative_gap, "行间距不能小于0"},
  };
  for (const auto& [sheet, message] : cases) EXPECT_EQ(Refusal(sheet), message);
  EXPECT_EQ(Refusal(Sheet(labels::kA4Paper, 1, 160)), "");
}

TEST(LabelLayoutTest, CutsTextByGbkBytesAndPlacesFieldsInWholeMillimetresWithinTheSizeLimits) {
  const std::tuple<std::string, size_t, std::string> cuts[] = {
      {"可口可乐原味汽水饮料", 14, "可口可乐原味汽"},    // exactly 14 bytes
      {"a可口可乐原味汽水饮料", 14, "a可口可乐原味汽"},  // the 7th character ends at byte 15
      {"Coca-Cola 330ml can", 14, "Coca-Cola 330m"},    {"可乐", 14, "可乐"}, {"", 14, ""},
  };
  for (const auto& [text, bytes, expected] : cuts) {
    const std::string cut = labels::TruncateToBytes(text, bytes);
    EXPECT_EQ(cut, expected) << text;
    // Still whole characters: GBK and back gives the same text.
    EXPECT_EQ(common::GbkToUtf8(common::Utf8ToGbk(cut)), cut);
  }
  // Marks that belong to a character stay with it: a variation selector, an accent typed as a
  // combining mark, and the members of a joined emoji.
  EXPECT_EQ(labels::TruncateToBytes("咖啡☕\uFE0F拿铁", 5), "咖啡☕\uFE0F");
  EXPECT_EQ(labels::TruncateToBytes("Cafe\u0301 au lait", 4), "Cafe\u0301");
  EXPECT_EQ(labels::TruncateToBytes("👨\u200D👩\u200D👧家庭装", 1), "👨\u200D👩\u200D👧");
  EXPECT_EQ(labels::SimpleLabelName("农夫山泉  "), "农夫山泉");
  EXPECT_EQ(labels::SimpleLabelName("康师傅红烧牛肉面桶装"), "康师傅红烧牛肉");
  labels::LabelGoods goods;
  goods.goodsname = std::string(60, 'x') + std::string(60, 'y');
  EXPECT_EQ(labels::FieldValue(labels::kGoodsName, goods).size(), 100u);
  LabelTemplate label;
  for (auto& field : label.fields) field.visible = false;
  auto& name = label.fields[labels::kGoodsName];
  name = {23, 17, labels::kLarge, true, 20};  // 23 / 5 = 4 mm, 17 / 5 = 3 mm
  auto& price = label.fields[labels::kPrice];
  price = {0, 100, labels::kSmall, true, 15};
  label.fields[labels::kBarcode].cx = 0;  // invisible wherever it is
  goods = {};
  goods.barcode = "6901";
  goods.goodsname = "可口可乐";
  goods.salesprice = 3.5;
  auto placed = labels::PlaceFields(label, goods, {100, 40});
  ASSERT_EQ(placed.size(), 2u);
  EXPECT_EQ(placed[0].key, labels::kGoodsName);
  EXPECT_EQ(placed[0].text, "名称:可口可乐");
  const auto& rect = placed[0].rect;
  EXPECT_EQ((std::array{rect.left, rect.top, rect.width(), rect.height()}),
            (std::array{104.0, 43.0, 20.0, 6.0}));
  EXPECT_EQ(placed[1].text, "售价:3.50");
  EXPECT_DOUBLE_EQ(placed[1].rect.height(), 3);
  label.settings.printtitle = false;
  label.fields[labels::kBarcode].visible = true;
  placed = labels::PlaceFields(label, goods, {0, 0});
  ASSERT_EQ(placed.size(), 3u);
  EXPECT_EQ(placed[0].text + "|" + placed[1].text, "6901|可口可乐");
  EXPECT_DOUBLE_EQ(placed[0].rect.height(), 4);  // "中"
  const std::tuple<const char*, const char*, const char*, const char*> sizes[] = {
      {"211", "30", "宽度不能大于210", "width"},  {"-1", "30", "宽度不能小于0", "width"},
      {"0", "30", "宽度必须大于0", "width"},      {"6x", "30", "宽度录入有误", "width"},
      {"60", "161", "高度不能大于160", "height"}, {"60", "-3", "高度不能小于0", "height"},
  };
  for (const auto& [width, height, message, field] : sizes) {
    EXPECT_EQ(testing_support::RefusalOf([&] { labels::CheckLabelSize(width, height); }),
              (testing_support::Refusal{message, field}));
  }
  const labels::LabelSize size = labels::CheckLabelSize("210", "160");
  EXPECT_EQ(size.width * 1000 + size.height, 210160);
}

}  // namespace

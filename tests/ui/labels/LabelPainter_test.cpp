#include "ui/labels/LabelPainter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <string>

#include "core/labels/code128.h"
#include "core/labels/label_template.h"
#include "ui/labels/label_test_support.h"

namespace {

using testing_support::DecodeCode128;

// A label with only its barcode showing, drawn on a white image of the given resolution by
// the painter that prints: 10 mm field, 4 mm bars, 5 mm quiet zone on the left.
QImage RenderBarcode(const std::string& barcode, double dpi) {
  labels::LabelTemplate label;
  for (auto& field : label.fields) field.visible = false;
  label.fields[labels::kBarcode] = {25, 15, labels::kMedium, true, 10};
  labels::LabelGoods goods;
  goods.barcode = barcode;
  const double px_per_mm = dpi / 25.4;
  QImage image(static_cast<int>(55 * px_per_mm), static_cast<int>(12 * px_per_mm),
               QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  ui::PaintLabel(painter, ui::LabelDevice::Printer(dpi), label, goods, {0, 0});
  return image;
}

// The widths in pixels of the dark runs along one row.
std::vector<int> DarkRuns(const QImage& image, int y) {
  std::vector<int> runs;
  int run = 0;
  for (int x = 0; x < image.width(); ++x) {
    if (qGray(image.pixel(x, y)) < 128) {
      ++run;
    } else if (run > 0) {
      runs.push_back(run);
      run = 0;
    }
  }
  return runs;
}

TEST(LabelPainterTest, PrintedBarcodesDecodeToTheirOwnDigits) {
  const char* codes[] = {"6901234567892", "4006381333931", "10001", "00042",
                         "123",           "1234567",       "9",     "12345678901234567"};
  for (double dpi : {203.0, 600.0}) {
    for (const char* code : codes) {
      const auto found = DecodeCode128(RenderBarcode(code, dpi));
      ASSERT_EQ(found.size(), 1u) << code << " at " << dpi << " dpi";
      EXPECT_EQ(found[0], code) << dpi << " dpi";
    }
  }
}

TEST(LabelPainterTest, ModulesAreTwoDotsOnLabelPrintersAndAQuarterMillimetreAbove) {
  for (auto [dpi, dots] :
       {std::pair{203, 2}, {300, 2}, {400, 4} /* 3.94 */, {600, 6}, {1200, 12}}) {
    EXPECT_EQ(ui::ModuleWidthDots(dpi), dots) << dpi;
  }
  const std::string code = "6901234567892";
  const auto modules = labels::EncodeCode128(code);
  for (const auto& [dpi, dots] : {std::pair{203.0, 2}, std::pair{600.0, 6}}) {
    const QImage image = RenderBarcode(code, dpi);
    const auto runs = DarkRuns(image, static_cast<int>(4.5 * dpi / 25.4));
    ASSERT_FALSE(runs.empty());
    EXPECT_EQ(runs.front(), 2 * dots) << dpi;  // START C opens with a 2-module bar
    // The whole symbol is drawn although its field is only 10 mm long.
    int first = 0;
    int last = 0;
    const int y = static_cast<int>(4.5 * dpi / 25.4);
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) >= 128) continue;
      if (first == 0) first = x;
      last = x;
    }
    EXPECT_EQ(last - first + 1, static_cast<int>(modules.size()) * dots) << dpi;
  }
}

TEST(LabelPainterTest, DrawsOnlyVisibleFieldsInsideTheirRectangles) {
  labels::LabelTemplate label;
  for (auto& field : label.fields) field.visible = false;
  labels::LabelGoods goods;
  goods.barcode = "6901";
  goods.goodsname = "可口可乐可口可乐可口可乐";
  goods.unit = "瓶";
  const double dpi = 203;
  auto render = [&]() {
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ui::PaintLabel(painter, ui::LabelDevice::Printer(dpi), label, goods, {1, 1});
    return image;
  };
  auto inked = [](const QImage& image, const QRect& area) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (qGray(image.pixel(x, y)) < 128) dark += area.contains(x, y) ? 1 : 1000000;
      }
    }
    return dark;
  };
  EXPECT_EQ(inked(render(), QRect()), 0);  // nothing visible, nothing drawn

  // The name, 15 mm long at 2 mm + 10/5 mm: ink only within its box (cut at whole characters).
  label.fields[labels::kGoodsName] = {10, 10, labels::kLarge, true, 15};
  const QRectF box = ui::LabelDevice::Printer(dpi).ToDevice(labels::RectMm{3, 3, 18, 9});
  const int dark = inked(render(), box.toAlignedRect().adjusted(0, 0, 1, 1));
  EXPECT_GT(dark, 0);
  EXPECT_LT(dark, 1000000);
}

class ShippedTemplateTest : public testing_support::TestDatabase {};

TEST_F(ShippedTemplateTest, FieldsNeitherOverlapNorLeaveTheLabelHiddenOnesIncluded) {
  labels::LabelGoods goods;
  goods.barcode = "6901234567892";
  goods.goodsname = "康师傅红烧牛肉面桶装";
  for (const char* kind : {labels::kShelfLabel, labels::kGoodsLabel}) {
    store::Database db = Open();
    labels::LabelTemplate label = labels::LoadTemplate(db, kind);
    for (auto& field : label.fields) field.visible = true;
    const auto placed = labels::PlaceFields(label, goods, {0, 0});
    for (const ui::LabelDevice& device :
         {ui::LabelDevice::Canvas(labels::kDesignPixelsPerMm), ui::LabelDevice::Printer(203),
          ui::LabelDevice::Printer(600)}) {
      std::vector<QRectF> boxes;
      for (const auto& field : placed) boxes.push_back(ui::LabelFieldBox(device, field));
      for (size_t i = 0; i < boxes.size(); ++i) {
        for (size_t j = i + 1; j < boxes.size(); ++j) {
          EXPECT_FALSE(boxes[i].intersects(boxes[j]))
              << kind << ": " << labels::kFields[placed[i].key].tempname << " and "
              << labels::kFields[placed[j].key].tempname << " at " << device.font_dpi;
        }
      }
    }
    // On the label as designed, with bars of 0.25 mm.
    const ui::LabelDevice canvas = ui::LabelDevice::Canvas(labels::kDesignPixelsPerMm);
    const QRectF outline =
        canvas.ToDevice(labels::RectMm{0, 0, double(label.labelwidth), double(label.labelheight)});
    for (const auto& field : placed) {
      EXPECT_TRUE(outline.contains(ui::LabelFieldBox(canvas, field)))
          << kind << ": " << labels::kFields[field.key].tempname;
    }
  }
}

}  // namespace

#include "ui/labels/SimpleLabelPainter.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>

#include "ui/labels/label_test_support.h"

namespace {

// A page of simple labels drawn at a printer's resolution, as large as the page a PDF of the
// run gets.
QImage RenderPage(const std::vector<labels::LabelGoods>& goods, double dpi, bool shelf = false) {
  const ui::SimpleLayout layout = ui::SimpleLabelLayout(dpi, goods);
  const QSizeF mm = ui::SimplePageMm(shelf, layout, dpi);
  QImage page(static_cast<int>(mm.width() * dpi / 25.4), static_cast<int>(mm.height() * dpi / 25.4),
              QImage::Format_RGB32);
  page.fill(Qt::white);
  QPainter painter(&page);
  if (shelf) {
    ui::PaintSimpleShelfLabel(painter, layout, goods.front());
  } else {
    ui::PaintSimpleGoodsLabels(painter, layout, goods);
  }
  return page;
}

// The light gaps along a row that are wider than any space inside a symbol (4 modules): the
// margin before the first symbol and the gaps between symbols.
std::vector<double> GapsInModules(const QImage& page, int y, double module) {
  std::vector<double> gaps;
  int light = 0;
  for (int x = 0; x < page.width(); ++x) {
    if (qGray(page.pixel(x, y)) >= 128) {
      ++light;
      continue;
    }
    if (light > 4 * module) gaps.push_back(light / module);
    light = 0;
  }
  return gaps;
}

TEST(SimpleLabelPainterTest, EveryGoodsLabelAcrossThePageDecodesAtEveryResolution) {
  // Three 13-digit codes, and a run whose 17-digit symbol is wider than the usual pitch.
  const std::vector<std::vector<std::string>> runs = {
      {"6901234567892", "4006381333931", "6920152400012"},
      {"12345678901234567", "6901234567892", "10001"},
  };
  for (const auto& codes : runs) {
    std::vector<labels::LabelGoods> goods;
    for (const std::string& code : codes) {
      labels::LabelGoods label;
      label.barcode = code;
      label.goodsname = "康师傅红烧牛肉面桶装";
      label.salesprice = 4.5;
      goods.push_back(label);
    }
    std::vector<std::string> expected = codes;
    std::sort(expected.begin(), expected.end());
    for (double dpi : {203.0, 300.0, 360.0, 600.0}) {
      const QImage page = RenderPage(goods, dpi);
      std::vector<std::string> found = testing_support::DecodeCode128(page);
      std::sort(found.begin(), found.end());
      EXPECT_EQ(found, expected) << dpi << " dpi";
      const ui::SimpleLayout layout = ui::SimpleLabelLayout(dpi, goods);
      const auto gaps = GapsInModules(page, static_cast<int>(30 * layout.unit), layout.module);
      EXPECT_EQ(gaps.size(), 3u) << dpi << " dpi";
      for (double gap : gaps) EXPECT_GE(gap, 10) << dpi << " dpi";
    }
  }
}

TEST(SimpleLabelPainterTest, AShelfLabelsLongNameEndsInAWholeCharacterOnThePage) {
  labels::LabelGoods goods;
  goods.barcode = "6901234567892";
  goods.goodsname = "康师傅红烧牛肉面桶装超值家庭分享装五连包";
  for (double dpi : {203.0, 600.0}) {
    const QImage page = RenderPage({goods}, dpi, true);
    // Ink in the last column would be a character cut by the page's edge.
    int edge = 0;
    for (int y = 0; y < page.height(); ++y) edge += qGray(page.pixel(page.width() - 1, y)) < 128;
    EXPECT_EQ(edge, 0) << dpi << " dpi";
  }
}

}  // namespace
